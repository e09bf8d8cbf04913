#pragma once
// The content hash of picture bytes worked out before they reach the store, e.g. on the thread that
// read an import's file, while the bytes were still in that processor's cache. The hash is used
// only for the very bytes it was worked out for: it keeps a reference to its bytes, so no other
// content can sit at that address with that length while it is remembered (a change to the bytes
// would copy them first). Anything else is hashed where it is stored.
#include <QByteArray>

#include <optional>
#include <utility>

class TKnownPictureHashes {
public:
    // One is remembered at a time, the latest: bytes that are not stored after all (changed on the
    // way, or never written) are not held for long.
    void Remember(const QByteArray &bytes, quint64 hash);
    // The hash of the bytes: the remembered one when it is for exactly these bytes (the same
    // memory, not an equal copy; forgotten as it is used), else worked out now.
    quint64 HashOf(const QByteArray &bytes);

private:
    std::optional<std::pair<QByteArray, quint64>> m_known;
};
