#include "platform/TMemoryStream.h"

#include <algorithm>
#include <cstring>

void TMemoryStream::SetPosition(qint64 pos)
{
    m_position = std::max<qint64>(0, pos);
}

void TMemoryStream::Write(const char *data, qint64 count)
{
    if (count <= 0)
        return;
    const qint64 end = m_position + count;
    if (end > m_data.size()) {
        const qint64 old = m_data.size();
        m_data.resize(end);
        if (m_position > old)
            std::memset(m_data.data() + old, 0, m_position - old);
    }
    std::memcpy(m_data.data() + m_position, data, count);
    m_position = end;
}

qint64 TMemoryStream::Read(char *data, qint64 count)
{
    const qint64 available = std::max<qint64>(0, m_data.size() - m_position);
    const qint64 n = std::min(available, std::max<qint64>(0, count));
    if (n > 0)
        std::memcpy(data, m_data.constData() + m_position, n);
    m_position += n;
    return n;
}

void TMemoryStream::Clear()
{
    m_data.clear();
    m_position = 0;
}

void TMemoryStream::SetSize(qint64 size)
{
    const qint64 old = m_data.size();
    m_data.resize(std::max<qint64>(0, size));
    if (size > old)
        std::memset(m_data.data() + old, 0, size - old);
    m_position = std::min(m_position, m_data.size());
}

void TMemoryStream::SetBytes(const QByteArray &bytes)
{
    m_data = bytes;
    m_position = 0;
}
