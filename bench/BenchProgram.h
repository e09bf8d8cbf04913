#pragma once
// The program's data side as a measure needs it: the catalogue KVRJetLib.mdb in a folder that
// plays the program's folder, opened by the data module the frames bind to.
#include <QString>
#include <memory>

class Tm_DataLibModule;

class TBenchProgram {
public:
    // Makes dir the current folder and creates the data module; raises when the catalogue does not open.
    // With TAVELIN_BENCH_SERVER set (a postgresql:// URL of a server's maintenance database), the
    // catalogue of dir is copied once into a database of that server and the data module opens
    // that instead, as a workstation pointed at the server does.
    explicit TBenchProgram(const QString &dir);
    ~TBenchProgram();
    TBenchProgram(const TBenchProgram &) = delete;
    TBenchProgram &operator=(const TBenchProgram &) = delete;

    static QString CataloguePath(const QString &dir);

    // The server database holding dir's catalogue (copied there at the first call).
    static QString ServerCopyOf(const QString &dir, const QString &server);

private:

    QString m_oldDir;
    std::unique_ptr<Tm_DataLibModule> m_module;
};
