#pragma once
// The catalogue store over an SQLite file: the engine a single workstation uses.
//
// Storage: each atlas table keeps its own name and columns. Its picture columns hold a reference
// (an integer, or NULL for an empty slot) into a table of picture bytes, so the rows a list or a
// search scans stay a few dozen bytes long whatever the pictures weigh; picture bytes are read
// with incremental BLOB I/O only when a slot is asked for. Triggers remove the bytes with their
// row and when a slot is replaced.
#include "data/TCatalogStore.h"

#include "data/sqlite/TRecoveredCopy.h"

#include <memory>

struct sqlite3;
class TBackgroundCheckpoint;
class TLogWriteback;

class TSqliteCatalogStore final : public TCatalogStore {
public:
    // Opens an existing catalogue file; throws TavelinError naming the file and the problem.
    explicit TSqliteCatalogStore(const QString &path);
    ~TSqliteCatalogStore() override;

    // Makes a new catalogue file: built under a temporary name, filled by fill (when given) in one
    // transaction, then moved into place, so a failure leaves nothing behind.
    static void Create(const QString &path, const std::function<void(TCatalogStore &)> &fill);

    QString Location() const override { return m_path; }
    bool ReadOnly() const override { return m_readOnly; }
    void RequireWritable() const override;

    bool TableExists(const QString &table) override;
    QVector<TStoreColumn> TableColumns(const QString &table) override;
    void Select(const QString &sql, const QHash<QString, QVariant> &parameters, TRowSet &rows) override;
    void ReadPicture(qint64 reference, TMemoryStream &stream) override;
    QHash<qint64, TPictureDigest> PictureDigests(const QVector<qint64> &references) override;
    TTableStatistics Statistics(const QString &table, const QStringList &pictureColumns) override;
    qint64 StoredPictureCount() override;
    qint64 UnreferencedPictureCount() override;
    QString IntegrityProblems() override;
    void Execute(const QString &sql) override;

    qint64 InsertEntry(const QString &table, TEntryValues &values, std::optional<qint64> key) override;
    bool UpdateEntry(const QString &table, qint64 key, TEntryValues &values) override;
    bool DeleteEntry(const QString &table, qint64 key) override;
    void RaiseKeySequence(const QString &table, qint64 atLeast) override;
    qint64 LastIssuedKey(const QString &table) override;

    void Begin() override;
    void Commit() override;
    void Rollback() noexcept override;
    void SetBulkWriting(bool on) override;
    void BeginDurableRun() override;
    void EndDurableRun() override;

private:
    TSqliteCatalogStore() = default;
    // Picture values become references to newly stored bytes.
    void StorePictures(TEntryValues &values);
    // Whether the picture table keeps hashes that can be trusted: the column and the trigger
    // that clears a hash whenever the bytes are written without it are both there.
    bool PictureHashesKept();
    // An older catalogue gets them with its first change, inside that change's transaction.
    void KeepPictureHashes();
    void UseWriteAheadLog();
    // Bytes the catalogue holds on disk (the file and its write-ahead log): no value can be larger.
    qint64 StoredBytes() const;
    void RestoreJournalMode() noexcept;

    QString m_path;
    sqlite3 *m_db = nullptr;
    bool m_readOnly = false;
    int m_transactionDepth = 0;
    // A failure inside a nested part took the whole transaction with it: the outer commit must
    // not report success.
    bool m_transactionLost = false;
    bool m_journalChecked = false;
    bool m_inDurableRun = false;
    // During a durable run: the log's new bytes are sent to the disk as it grows.
    std::unique_ptr<TLogWriteback> m_logWriteback;
    // Whether PictureHashesKept, once known; forgotten when the schema may have changed.
    std::optional<bool> m_hashesKept;
    std::unique_ptr<TBackgroundCheckpoint> m_checkpoint;
    // The journal mode the file had before this store's first change switched it to WAL; given
    // back if that change is rolled back, so a refused change leaves the file as it was.
    QString m_journalBefore;
    // Set when a read-only catalogue is browsed through a recovered private copy.
    std::unique_ptr<TRecoveredCopy> m_recoveredCopy;
};
