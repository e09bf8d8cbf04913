#pragma once
// The one connection to a catalogue file. It reads the keys of a Jet-style connection string;
// "Data Source" names the file, an SQLite database holding the six atlas tables.
#include <QHash>
#include <QObject>
#include <QString>

#include <memory>

struct sqlite3;
class TRecoveredCopy;

class TCatalogConnection : public QObject {
    Q_OBJECT
public:
    explicit TCatalogConnection(QObject *parent = nullptr);
    ~TCatalogConnection() override;

    void SetConnectionString(const QString &text);
    QString ConnectionString() const { return m_connectionString; }
    // A connection string naming just the given file.
    static QString ConnectionStringForFile(const QString &path);
    // Keys of a connection string, as written (case kept); later duplicates win.
    static QHash<QString, QString> ParseConnectionString(const QString &text);

    // Opening fails with TavelinError naming the problem; true on an open one, or false on a
    // closed one, changes nothing.
    void SetConnected(bool connected);
    bool Connected() const { return m_db != nullptr; }

    QString FilePath() const { return m_filePath; }
    // Bytes the catalogue holds on disk (the file and its write-ahead log): no value can be larger.
    qint64 StoredBytes() const;
    bool ReadOnly() const { return m_readOnly; }
    // Whether a crash's unfinished change was finished in a private copy, which is what is browsed.
    bool BrowsesRecoveredCopy() const { return m_recoveredCopy != nullptr; }
    sqlite3 *Handle() const { return m_db; }

    // Runs statements without results; throws on error.
    void Exec(const QString &sql);
    // A table of that name; views and other objects do not count.
    bool TableExists(const QString &table);
    // "table", "view", "index", "trigger", or empty when the catalogue has no such object.
    QString ObjectType(const QString &name);

    // Transactions for writes; nested calls are counted. The first one switches the file to WAL.
    void Begin();
    void Commit();
    void Rollback() noexcept;

    // Throws a clear error when the catalogue cannot be written.
    void RequireWritable() const;

    // Makes a new, empty catalogue file; refuses an existing path.
    static void CreateCatalogueFile(const QString &path);

signals:
    void connectedChanged(bool connected);

private:
    void Open();
    void Close();
    void RestoreJournalMode() noexcept;

    QString m_connectionString;
    QString m_filePath;
    sqlite3 *m_db = nullptr;
    bool m_readOnly = false;
    int m_transactionDepth = 0;
    bool m_journalChecked = false;
    // The journal mode the file had before this connection's first change switched it to WAL;
    // given back if that change is rolled back, so a refused change leaves the file as it was.
    QString m_journalBefore;
    // Set when a read-only catalogue is browsed through a recovered private copy.
    std::unique_ptr<TRecoveredCopy> m_recoveredCopy;
};
