#pragma once
// A program directory for frame tests: a new catalogue KVRJetLib.mdb in a temporary folder made the
// current directory, the data module opening it as start-up does, and the standard error report
// captured instead of shown.
#include <QByteArray>
#include <QSize>
#include <QStringList>
#include <QTemporaryDir>
#include <memory>

class TAtlasFrame;
class Tm_DataLibModule;

namespace TestSupport {

class TestProgram {
public:
    explicit TestProgram(bool withGlobalObjects = false);
    ~TestProgram();
    TestProgram(const TestProgram &) = delete;
    TestProgram &operator=(const TestProgram &) = delete;

    // Creates the data module (and so opens the catalogue); frames built afterwards bind to it.
    // catalogue: the location start-up chose (a server); empty: the file in the program directory.
    void start(const QString &catalogue = QString());
    // Shows a frame (at the size the main window gives it, unless told) and activates it, as the
    // main window does on a page change; false when it never appeared on screen.
    static bool showFrame(TAtlasFrame &frame, QSize size = QSize(650, 490));
    // Writes a file under pics/ of the program directory; returns its path.
    QString writeFile(const QString &name, const QByteArray &bytes);

    QTemporaryDir dir;
    QString path;    // the catalogue file
    QStringList errors; // what the standard error report would have shown

private:
    QString m_oldDir;
    bool m_globals;
    std::unique_ptr<Tm_DataLibModule> m_module;
};

} // namespace TestSupport
