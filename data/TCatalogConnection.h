#pragma once
// The one connection to a catalogue file. It reads the keys of a Jet-style connection string;
// "Data Source" names the file, an SQLite database holding the six atlas tables.
#include <QHash>
#include <QObject>
#include <QString>

#include <memory>

struct sqlite3;
class TBackgroundCheckpoint;

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
    bool ReadOnly() const { return m_readOnly; }
    sqlite3 *Handle() const { return m_db; }

    // Runs statements without results; throws on error.
    void Exec(const QString &sql);
    bool TableExists(const QString &table);

    // Transactions for writes; nested calls are counted. The first one switches the file to WAL.
    void Begin();
    void Commit();
    void Rollback() noexcept;

    // A run of changes that each commit on their own (an import). Within the run a commit does
    // not wait for the disk: it is in the write-ahead log when it returns, so a killed process
    // keeps it, while a power cut may take the latest ones (never the file's consistency).
    // Ending the run waits until every change of the run is on disk, then leaves the copy from
    // the log into the file to a background checkpoint. Ending raises when the disk refused.
    void BeginDurableRun();
    void EndDurableRun();

    // Throws a clear error when the catalogue cannot be written.
    void RequireWritable() const;

    // Makes a new, empty catalogue file; refuses an existing path.
    static void CreateCatalogueFile(const QString &path);

signals:
    void connectedChanged(bool connected);

private:
    void Open();
    void Close();
    void UseWriteAheadLog();

    QString m_connectionString;
    QString m_filePath;
    sqlite3 *m_db = nullptr;
    bool m_readOnly = false;
    int m_transactionDepth = 0;
    bool m_journalChecked = false;
    int m_durableRunDepth = 0;
    std::unique_ptr<TBackgroundCheckpoint> m_checkpoint;
};
