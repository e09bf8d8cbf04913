#pragma once
// The catalogue store: the one place that knows how a catalogue keeps its entries and pictures.
//
// Callers speak of tables, columns, entries (RecordSN) and picture values; an engine behind this
// interface decides where the picture bytes live, how keys are issued, which pragmas or settings
// a connection needs and how the program's statements are spoken in its dialect. The SQLite engine
// (a catalogue file) is the one built in; another engine is a new subclass and a new branch in
// CatalogStore::Open, never an edit of the callers.
//
// Picture columns: in a row read through Select a picture column holds an opaque reference (an
// integer) or NULL for an empty slot; ReadPicture turns a reference into the stored bytes. In
// writes a picture column takes the stored bytes themselves (QByteArray; an empty array is an
// empty picture, a null QVariant an empty slot).
#include "data/TKnownPictureHashes.h"
#include "data/TRowSet.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>

#include <functional>
#include <memory>
#include <optional>
#include <utility>

class TMemoryStream;

// A column as the catalogue declares it: the type words are SQL-style ("INTEGER", "VARCHAR(50)",
// "TEXT", "PICTURE"), whatever the engine calls them internally.
struct TStoreColumn {
    QString name;
    QString declaredType;
};

// Column values of one entry for a write, in the order given.
using TEntryValues = QVector<std::pair<QString, QVariant>>;

// What one table holds, read without reading picture bytes.
// A stored picture named without reading it: the length of its stored bytes and the content hash
// (picture/ContentHash) of all of them, as the store wrote them.
struct TPictureDigest {
    qint64 size = 0;
    quint64 hash = 0;
    bool operator==(const TPictureDigest &o) const { return size == o.size && hash == o.hash; }
};

struct TTableStatistics {
    qint64 entries = 0;
    qint64 filledSlots = 0;  // picture values of at least one byte
    qint64 pictureBytes = 0; // their total size
};

class TCatalogStore {
public:
    virtual ~TCatalogStore();
    TCatalogStore(const TCatalogStore &) = delete;
    TCatalogStore &operator=(const TCatalogStore &) = delete;

    // Where the catalogue is, as a person names it in a message: a file path, or a server address
    // without its password.
    virtual QString Location() const = 0;
    virtual bool ReadOnly() const = 0;
    // Throws the refusal a read-only catalogue gives for every change.
    virtual void RequireWritable() const;

    // The catalogue's tables as it has them (atlas objects must be tables, not views).
    virtual bool TableExists(const QString &table) = 0;
    virtual QVector<TStoreColumn> TableColumns(const QString &table) = 0;

    // Runs one of the program's read statements (list, search, picture statement; named
    // parameters ":Name") and fills rows with its result, replacing what they held.
    virtual void Select(const QString &sql, const QHash<QString, QVariant> &parameters, TRowSet &rows) = 0;
    // The stored bytes of the picture a reference names, appended at the stream's position.
    virtual void ReadPicture(qint64 reference, TMemoryStream &stream) = 0;
    // The stored bytes of several pictures, handed to each (reference, bytes) one picture at a time
    // in any order, so the caller can start on the first while the others are read. A reference
    // that names no picture, or whose bytes cannot be read, is left out. The default reads them
    // one by one with ReadPicture.
    virtual void ReadPictures(const QVector<qint64> &references, const std::function<void(qint64, QByteArray)> &each);
    // The digests of the pictures the references name, in one small query that reads no picture
    // bytes. A store writes a picture's hash with its bytes, and any write of the bytes that does
    // not also write the hash (another program, an older version of this one) clears it; a
    // picture whose hash is cleared, or a catalogue that keeps none, is left out, and whoever
    // needs to know its content reads the bytes. The default keeps none.
    virtual QHash<qint64, TPictureDigest> PictureDigests(const QVector<qint64> &references);
    virtual TTableStatistics Statistics(const QString &table, const QStringList &pictureColumns) = 0;
    // Pictures stored in the whole catalogue, whichever entry holds them, and those of them that no
    // slot refers to any more (left behind by a fault).
    virtual qint64 StoredPictureCount() = 0;
    virtual qint64 UnreferencedPictureCount() = 0;
    // The engine's own consistency check of the whole catalogue: empty when it is intact, else what
    // the engine found.
    virtual QString IntegrityProblems() = 0;
    // Runs a statement without results (schema maintenance).
    virtual void Execute(const QString &sql) = 0;

    // Writes. Each runs in the caller's transaction when one is open, else in its own.
    // InsertEntry returns the entry's RecordSN: the next one when no key is given, else key itself
    // (kept, as an import keeps the numbers of the old catalogue).
    // On return the picture values hold their references, as a read of the row would give them.
    virtual qint64 InsertEntry(const QString &table, TEntryValues &values, std::optional<qint64> key = {}) = 0;
    // False when the entry no longer exists.
    virtual bool UpdateEntry(const QString &table, qint64 key, TEntryValues &values) = 0;
    virtual bool DeleteEntry(const QString &table, qint64 key) = 0;
    // New entries get numbers above atLeast (numbers an old catalogue once issued stay unused).
    virtual void RaiseKeySequence(const QString &table, qint64 atLeast) = 0;
    // The highest RecordSN the table has issued, deleted entries' numbers included, so that a copy
    // of the catalogue keeps them unused too. The default knows only the entries that are there.
    virtual qint64 LastIssuedKey(const QString &table);

    // Transactions; nested calls are counted, the outermost commits. Prefer TStoreTransaction.
    virtual void Begin() = 0;
    virtual void Commit() = 0;
    virtual void Rollback() noexcept = 0;

    // A run of changes that each commit on their own (an import): within the run a commit need not
    // wait for the disk as long as a killed process keeps it; ending the run returns once every
    // change of the run is on disk, and raises when the disk refused. Runs do not nest. By default
    // every commit is durable by itself and a run changes nothing.
    virtual void BeginDurableRun() {}
    virtual void EndDurableRun() {}

    // Filling a catalogue nobody else sees yet (an import into a new file): the engine may skip
    // per-commit syncs; everything is durable when bulk mode ends. Called outside transactions.
    virtual void SetBulkWriting(bool on) = 0;

    // The content hash of picture bytes about to be written, worked out by the caller (an import
    // hashes each file on its reading thread). Used only if exactly these bytes are stored next.
    void KnowPictureHash(const QByteArray &bytes, quint64 hash) { m_knownHashes.Remember(bytes, hash); }

protected:
    TCatalogStore() = default;
    // The hash kept beside stored bytes: the caller's, when it gave one for these bytes.
    quint64 PictureHashOf(const QByteArray &bytes) { return m_knownHashes.HashOf(bytes); }

private:
    TKnownPictureHashes m_knownHashes;
};

// Commits when asked, rolls back when it goes out of scope uncommitted (an exception passing by).
class TStoreTransaction {
public:
    explicit TStoreTransaction(TCatalogStore &store) : m_store(store) { m_store.Begin(); }
    ~TStoreTransaction()
    {
        if (!m_done)
            m_store.Rollback();
    }
    TStoreTransaction(const TStoreTransaction &) = delete;
    TStoreTransaction &operator=(const TStoreTransaction &) = delete;
    void Commit()
    {
        m_store.Commit();
        m_done = true;
    }

private:
    TCatalogStore &m_store;
    bool m_done = false;
};

inline QHash<qint64, TPictureDigest> TCatalogStore::PictureDigests(const QVector<qint64> &)
{
    return {};
}

inline qint64 TCatalogStore::LastIssuedKey(const QString &table)
{
    TRowSet rows;
    Select(QStringLiteral("select max(RecordSN) from ") + table, {}, rows);
    return rows.IsEmpty() ? 0 : rows.Value(0, 0).toLongLong();
}

namespace CatalogStore {

// Opens the catalogue at location: a file path, or a catalogue server (a postgresql:// URL or a
// libpq connection string such as "service=clinic"). Throws TavelinError naming the location and
// the problem: missing, empty, damaged, of another kind, locked, unreachable.
std::unique_ptr<TCatalogStore> Open(const QString &location);
// Makes a new catalogue at location atomically: under a temporary name, filled by fill (when given)
// in one transaction with bulk writing, then moved into place, so a failure leaves nothing behind.
// Refuses an existing catalogue.
void Create(const QString &location, const std::function<void(TCatalogStore &)> &fill = {});

} // namespace CatalogStore
