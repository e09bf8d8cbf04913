#pragma once
// Content hashes of picture bytes worked out before they reach the store, e.g. on the thread that
// read an import's files, while the bytes were still in that processor's cache. A hash is used
// only for the very bytes it was worked out for: an entry keeps a reference to its bytes, so no
// other content can sit at that address with that length while it is remembered (a change to the
// bytes would copy them first). Anything else is hashed where it is stored.
#include <QByteArray>
#include <QVector>

#include <optional>
#include <utility>

class TKnownPictureHashes {
public:
    explicit TKnownPictureHashes(int capacity = 1) : m_capacity(capacity) {}

    // The oldest is forgotten once more than the capacity are waiting: bytes that are not stored
    // after all (changed on the way, or never written) are not held for long.
    void Remember(const QByteArray &bytes, quint64 hash);
    // The remembered hash of exactly these bytes (the same memory, not an equal copy), forgotten
    // as it is taken.
    std::optional<quint64> Take(const QByteArray &bytes);
    // The hash of the bytes: the remembered one when there is one, else worked out now.
    quint64 HashOf(const QByteArray &bytes);
    void Clear() { m_known.clear(); }

private:
    const int m_capacity;
    QVector<std::pair<QByteArray, quint64>> m_known;
};
