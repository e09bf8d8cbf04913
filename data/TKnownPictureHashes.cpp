#include "data/TKnownPictureHashes.h"

#include "picture/ContentHash.h"

void TKnownPictureHashes::Remember(const QByteArray &bytes, quint64 hash)
{
    if (bytes.isEmpty() || m_capacity <= 0)
        return; // nothing to save on an empty picture
    if (m_known.size() >= m_capacity)
        m_known.removeFirst();
    m_known.append({bytes, hash});
}

std::optional<quint64> TKnownPictureHashes::Take(const QByteArray &bytes)
{
    for (qsizetype i = 0; i < m_known.size(); ++i) {
        const QByteArray &known = m_known[i].first;
        if (known.constData() == bytes.constData() && known.size() == bytes.size()) {
            const quint64 hash = m_known[i].second;
            m_known.removeAt(i);
            return hash;
        }
    }
    return std::nullopt;
}

quint64 TKnownPictureHashes::HashOf(const QByteArray &bytes)
{
    if (const std::optional<quint64> known = Take(bytes))
        return *known;
    return ContentHash::Of(bytes);
}
