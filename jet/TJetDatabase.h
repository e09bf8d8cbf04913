#pragma once
// A Jet 3 or Jet 4 database file opened for reading through libmdb. Only what converting a
// catalogue needs: the format, the user tables, and their rows (TJetTable).
#include <QString>
#include <QStringList>

#include <memory>

class TJetTable;

struct TJetFormat {
    int jetVersion = 0; // 3, 4, or 5 for the later ACE formats
    int pageSize = 0;
    QString Name() const;
};

class TJetDatabase {
public:
    // Throws TavelinError saying what is wrong when the file is not a readable Jet database.
    explicit TJetDatabase(const QString &path);
    ~TJetDatabase();
    TJetDatabase(const TJetDatabase &) = delete;
    TJetDatabase &operator=(const TJetDatabase &) = delete;

    // Checks the first bytes and the size of a file; throws when it cannot be a whole Jet file.
    static TJetFormat InspectHeader(const QByteArray &head, qint64 fileSize);

    const TJetFormat &Format() const;
    QString Path() const;
    qint64 FileSize() const;
    QStringList UserTables() const;
    // A table must be destroyed before its database. Throws when the table cannot be read.
    std::unique_ptr<TJetTable> OpenTable(const QString &name) const;

    struct Impl;

private:
    friend class TJetTable;
    std::unique_ptr<Impl> d;
};
