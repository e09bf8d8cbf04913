#include "data/TKnownPictureHashes.h"

#include "picture/ContentHash.h"

void TKnownPictureHashes::Remember(const QByteArray &bytes, quint64 hash)
{
    if (bytes.isEmpty()) {
        m_known.reset(); // nothing to save on an empty picture
        return;
    }
    m_known.emplace(bytes, hash);
}

quint64 TKnownPictureHashes::HashOf(const QByteArray &bytes)
{
    if (m_known && m_known->first.constData() == bytes.constData() && m_known->first.size() == bytes.size()) {
        const quint64 hash = m_known->second;
        m_known.reset();
        return hash;
    }
    return ContentHash::Of(bytes);
}
