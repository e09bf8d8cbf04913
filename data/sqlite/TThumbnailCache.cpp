#include "data/sqlite/TThumbnailCache.h"

#include "picture/ThumbnailCoding.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutexLocker>
#include <QStandardPaths>

#include <sqlite3.h>

namespace {

// A lookup must never keep the strip waiting: another process holding the file gets a miss.
constexpr int kBusyWaitMs = 20;
// Recency marks are written in batches, not one write per lookup.
constexpr int kTouchBatch = 64;

// Write permission as the user set it, also for root (who could write regardless).
bool permitsWriting(const QFileInfo &info)
{
    const auto anyWrite = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    return info.isWritable() && (info.permissions() & anyWrite);
}

class TStatement {
public:
    TStatement(sqlite3 *db, const char *sql) { m_rc = sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr); }
    ~TStatement() { sqlite3_finalize(m_stmt); }
    TStatement(const TStatement &) = delete;
    TStatement &operator=(const TStatement &) = delete;
    bool Prepared() const { return m_rc == SQLITE_OK; }
    int PrepareError() const { return m_rc; }
    sqlite3_stmt *operator*() const { return m_stmt; }

private:
    sqlite3_stmt *m_stmt = nullptr;
    int m_rc = SQLITE_OK;
};

std::unique_ptr<TThumbnailCache> &userCache()
{
    static std::unique_ptr<TThumbnailCache> cache;
    return cache;
}

} // namespace

TThumbnailCache::TThumbnailCache(const QString &filePath, qint64 budgetBytes) : m_path(filePath), m_budget(budgetBytes) {}

TThumbnailCache::~TThumbnailCache()
{
    QMutexLocker lock(&m_mutex);
    FlushLocked();
    CloseLocked();
}

QString TThumbnailCache::UserCachePath()
{
    QString base = qEnvironmentVariable("XDG_CACHE_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::home().filePath(QStringLiteral(".cache"));
    return QDir(base).filePath(QStringLiteral("tavelin/thumbnails.sqlite"));
}

TThumbnailCache &TThumbnailCache::ForUser()
{
    auto &cache = userCache();
    if (!cache)
        cache = std::make_unique<TThumbnailCache>(UserCachePath());
    return *cache;
}

void TThumbnailCache::ReleaseForUser()
{
    userCache().reset();
}

bool TThumbnailCache::EnsureOpenLocked()
{
    if (!m_tried)
        OpenLocked();
    return m_db != nullptr;
}

void TThumbnailCache::OpenLocked()
{
    m_tried = true;
    const QFileInfo info(m_path);
    const bool exists = info.exists();
    if (!QDir().mkpath(info.absolutePath()))
        return;
    m_writable = permitsWriting(QFileInfo(info.absolutePath())) && (!exists || permitsWriting(info));
    if (!m_writable && !exists)
        return;
    const QByteArray path = QFile::encodeName(info.absoluteFilePath());
    const int flags = (m_writable ? SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE : SQLITE_OPEN_READONLY) | SQLITE_OPEN_NOMUTEX;
    int rc = sqlite3_open_v2(path.constData(), &m_db, flags, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_busy_timeout(m_db, kBusyWaitMs);
        if (m_writable) {
            // Losing the last few stores to a power cut costs only a decode: no sync per store.
            rc = sqlite3_exec(m_db,
                              "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; PRAGMA journal_size_limit=4194304;"
                              "CREATE TABLE IF NOT EXISTS thumbnail (id INTEGER PRIMARY KEY, key BLOB NOT NULL UNIQUE,"
                              " picture BLOB NOT NULL, used INTEGER NOT NULL);"
                              "CREATE INDEX IF NOT EXISTS thumbnail_used ON thumbnail(used);",
                              nullptr, nullptr, nullptr);
        }
    }
    if (rc == SQLITE_OK) {
        TStatement st(m_db, "SELECT coalesce(sum(length(picture)), 0), coalesce(max(used), 0) FROM thumbnail");
        rc = st.Prepared() ? sqlite3_step(*st) : st.PrepareError();
        if (rc == SQLITE_ROW) {
            m_total = sqlite3_column_int64(*st, 0);
            m_clock = sqlite3_column_int64(*st, 1);
            rc = SQLITE_OK;
        }
    }
    if (rc != SQLITE_OK)
        FailedLocked(rc);
}

void TThumbnailCache::CloseLocked()
{
    if (m_db) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
    }
    m_touched.clear();
}

void TThumbnailCache::FailedLocked(int rc)
{
    const int primary = rc & 0xff;
    if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED)
        return; // another process is busy with the file: this time only a miss
    const bool damaged = primary == SQLITE_CORRUPT || primary == SQLITE_NOTADB;
    if (damaged && m_writable && !m_replaced) {
        // The cache holds nothing that cannot be made again: a damaged file is started afresh, once.
        CloseLocked();
        m_replaced = true;
        for (const char *suffix : {"", "-wal", "-shm", "-journal"})
            QFile::remove(m_path + QLatin1String(suffix));
        OpenLocked();
        return;
    }
    if (!damaged && m_db && (primary == SQLITE_FULL || primary == SQLITE_READONLY || primary == SQLITE_IOERR
                             || primary == SQLITE_CANTOPEN || primary == SQLITE_PERM)
        && m_writable) {
        // Stores stop; what is there can still be found.
        m_writable = false;
        m_touched.clear();
        return;
    }
    CloseLocked();
}

QImage TThumbnailCache::Find(const QByteArray &key, QByteArray *note)
{
    if (note)
        note->clear();
    const QImage image = FindLocked(key, note);
    ++(image.isNull() ? m_misses : m_hits);
    return image;
}

QImage TThumbnailCache::FindLocked(const QByteArray &key, QByteArray *note)
{
    QMutexLocker lock(&m_mutex);
    if (!EnsureOpenLocked())
        return {};
    qint64 id = 0;
    QByteArray stored;
    {
        TStatement st(m_db, "SELECT id, picture FROM thumbnail WHERE key = ?1");
        if (!st.Prepared()) {
            FailedLocked(st.PrepareError());
            return {};
        }
        sqlite3_bind_blob(*st, 1, key.constData(), int(key.size()), SQLITE_TRANSIENT);
        const int rc = sqlite3_step(*st);
        if (rc == SQLITE_DONE)
            return {};
        if (rc != SQLITE_ROW) {
            FailedLocked(rc);
            return {};
        }
        id = sqlite3_column_int64(*st, 0);
        stored = QByteArray(static_cast<const char *>(sqlite3_column_blob(*st, 1)), sqlite3_column_bytes(*st, 1));
    }
    const QImage image = ThumbnailCoding::Decode(stored, note);
    if (image.isNull()) {
        // Damaged in the file: never drawn, and made again by the caller's next store.
        if (m_writable) {
            TStatement del(m_db, "DELETE FROM thumbnail WHERE id = ?1");
            if (del.Prepared()) {
                sqlite3_bind_int64(*del, 1, id);
                sqlite3_step(*del);
            }
        }
        return {};
    }
    if (m_writable) {
        m_touched.append(id);
        if (m_touched.size() >= kTouchBatch)
            FlushLocked();
    }
    return image;
}

void TThumbnailCache::Store(const QByteArray &key, const QImage &image, const QByteArray &note)
{
    const QByteArray coded = ThumbnailCoding::Encode(image, note);
    if (coded.isEmpty() || coded.size() > m_budget / 4)
        return;
    QMutexLocker lock(&m_mutex);
    if (!EnsureOpenLocked() || !m_writable)
        return;
    {
        TStatement st(m_db, "INSERT OR REPLACE INTO thumbnail (key, picture, used) VALUES (?1, ?2, ?3)");
        if (!st.Prepared()) {
            FailedLocked(st.PrepareError());
            return;
        }
        sqlite3_bind_blob(*st, 1, key.constData(), int(key.size()), SQLITE_TRANSIENT);
        sqlite3_bind_blob(*st, 2, coded.constData(), int(coded.size()), SQLITE_STATIC);
        sqlite3_bind_int64(*st, 3, ++m_clock);
        const int rc = sqlite3_step(*st);
        if (rc != SQLITE_DONE) {
            FailedLocked(rc);
            return;
        }
    }
    m_total += coded.size();
    if (m_total > m_budget)
        EvictLocked();
}

void TThumbnailCache::Flush()
{
    QMutexLocker lock(&m_mutex);
    FlushLocked();
}

void TThumbnailCache::FlushLocked()
{
    if (!m_db || !m_writable || m_touched.isEmpty())
        return;
    const QVector<qint64> touched = std::exchange(m_touched, {});
    EachInOneTransactionLocked("UPDATE thumbnail SET used = ?1 WHERE id = ?2", touched, [this](sqlite3_stmt *st, qint64 id) {
        sqlite3_bind_int64(st, 1, ++m_clock);
        sqlite3_bind_int64(st, 2, id);
    });
}

bool TThumbnailCache::EachInOneTransactionLocked(const char *sql, const QVector<qint64> &ids,
                                                 const std::function<void(sqlite3_stmt *, qint64)> &bind)
{
    if (sqlite3_exec(m_db, "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK)
        return false;
    TStatement st(m_db, sql);
    int rc = st.Prepared() ? SQLITE_DONE : st.PrepareError();
    for (qint64 id : ids) {
        if (rc != SQLITE_DONE)
            break;
        bind(*st, id);
        rc = sqlite3_step(*st);
        sqlite3_reset(*st);
    }
    if (rc == SQLITE_DONE)
        rc = sqlite3_exec(m_db, "COMMIT", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK && rc != SQLITE_DONE) {
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        FailedLocked(rc);
        return false;
    }
    return true;
}

void TThumbnailCache::EvictLocked()
{
    FlushLocked();
    if (!m_db || !m_writable)
        return;
    // Down to three quarters of the budget, so eviction runs once per many stores.
    const qint64 target = m_budget * 3 / 4;
    QVector<qint64> victims;
    qint64 total = 0;
    {
        TStatement sum(m_db, "SELECT coalesce(sum(length(picture)), 0) FROM thumbnail");
        if (!sum.Prepared() || sqlite3_step(*sum) != SQLITE_ROW)
            return;
        total = sqlite3_column_int64(*sum, 0);
        TStatement oldest(m_db, "SELECT id, length(picture) FROM thumbnail ORDER BY used");
        if (!oldest.Prepared())
            return;
        qint64 left = total;
        while (left > target && sqlite3_step(*oldest) == SQLITE_ROW) {
            victims.append(sqlite3_column_int64(*oldest, 0));
            left -= sqlite3_column_int64(*oldest, 1);
        }
    }
    if (!EachInOneTransactionLocked("DELETE FROM thumbnail WHERE id = ?1", victims,
                                    [](sqlite3_stmt *st, qint64 id) { sqlite3_bind_int64(st, 1, id); }))
        return;
    TStatement sum(m_db, "SELECT coalesce(sum(length(picture)), 0) FROM thumbnail");
    m_total = (sum.Prepared() && sqlite3_step(*sum) == SQLITE_ROW) ? sqlite3_column_int64(*sum, 0) : 0;
}

bool TThumbnailCache::Readable()
{
    QMutexLocker lock(&m_mutex);
    return m_db != nullptr;
}

bool TThumbnailCache::Writable()
{
    QMutexLocker lock(&m_mutex);
    return m_db != nullptr && m_writable;
}

qint64 TThumbnailCache::StoredBytes()
{
    QMutexLocker lock(&m_mutex);
    return m_db ? m_total : 0;
}
