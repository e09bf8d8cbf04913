#pragma once
// The per-user thumbnail cache: one SQLite file of small losslessly coded pictures, bounded in
// size, the least recently used dropped first. It is only ever a shortcut: every failure (no
// file, a damaged or read-only file, a full disk, another process holding the lock) makes a
// lookup miss or a store do nothing, and callers decode as if there were no cache.
//
// Keys name the content, not where it came from (ThumbnailKey): a picture replaced in a slot, a
// catalogue swapped under the same name or read from a server gives new bytes and so a new key,
// and an old entry can never answer for it. Safe to use from several threads at once.
#include <QByteArray>
#include <QImage>
#include <QMutex>
#include <QString>
#include <QVector>

#include <atomic>
#include <functional>
#include <memory>

struct sqlite3;
struct sqlite3_stmt;

class TThumbnailCache {
public:
    static constexpr qint64 kDefaultBudget = qint64(48) << 20;

    // Nothing is opened until the first lookup or store.
    explicit TThumbnailCache(const QString &filePath, qint64 budgetBytes = kDefaultBudget);
    ~TThumbnailCache();
    TThumbnailCache(const TThumbnailCache &) = delete;
    TThumbnailCache &operator=(const TThumbnailCache &) = delete;

    // $XDG_CACHE_HOME/tavelin/thumbnails.sqlite (~/.cache when the variable is unset).
    static QString UserCachePath();
    // The process's cache at UserCachePath(), made at the first call.
    static TThumbnailCache &ForUser();
    // Closes the process's cache; the next ForUser() opens it afresh (tests, after changing the
    // environment or the file under it).
    static void ReleaseForUser();

    QString FilePath() const { return m_path; }
    // A null image on a miss or any failure. note: what was stored with the image.
    QImage Find(const QByteArray &key, QByteArray *note = nullptr);
    void Store(const QByteArray &key, const QImage &image, const QByteArray &note = {});
    // Writes the pending recency marks (also done by the destructor and now and then by Store).
    void Flush();

    // Whether the file is open for lookups / for stores; both false before the first use.
    bool Readable();
    bool Writable();
    // Sum of the stored pictures' sizes.
    qint64 StoredBytes();
    // Lookups answered and missed since the cache was made.
    int Hits() const { return m_hits; }
    int Misses() const { return m_misses; }

private:
    QImage FindLocked(const QByteArray &key, QByteArray *note); // takes the lock itself
    bool EnsureOpenLocked();
    void OpenLocked();
    void CloseLocked();
    // Reacts to a failed SQLite call: a damaged file is replaced once, a read-only or full one
    // stops the stores; anything else is only a miss.
    void FailedLocked(int rc);
    void FlushLocked();
    void EvictLocked();
    // Runs the statement once per id (bound by `bind`) in one transaction; false when it was rolled back.
    bool EachInOneTransactionLocked(const char *sql, const QVector<qint64> &ids,
                                    const std::function<void(sqlite3_stmt *, qint64)> &bind);

    QString m_path;
    qint64 m_budget;
    QMutex m_mutex;
    sqlite3 *m_db = nullptr;
    bool m_tried = false;
    bool m_replaced = false;
    bool m_writable = false;
    qint64 m_total = 0;
    qint64 m_clock = 0;
    std::atomic<int> m_hits{0};
    std::atomic<int> m_misses{0};
    QVector<qint64> m_touched; // rows found since the last flush, to mark as recently used
};
