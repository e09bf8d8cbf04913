#pragma once
// A growable in-memory byte buffer with a read/write position, as the picture code and the
// dataset layer exchange picture bytes.
#include <QByteArray>
#include <cstdint>

class TMemoryStream {
public:
    TMemoryStream() = default;

    qint64 Size() const { return m_data.size(); }
    qint64 Position() const { return m_position; }
    void SetPosition(qint64 pos);

    // Writes at the position, growing the buffer as needed, and advances the position.
    void Write(const char *data, qint64 count);
    void Write(const QByteArray &bytes) { Write(bytes.constData(), bytes.size()); }
    // Reads at most count bytes from the position and advances it; returns the number read.
    qint64 Read(char *data, qint64 count);

    void Clear();
    // Sets the size; a grown buffer is zero-filled; the position is clamped.
    void SetSize(qint64 size);

    char *Memory() { return m_data.data(); }
    const char *Memory() const { return m_data.constData(); }
    // The whole buffer, sharing its storage (implicit sharing, no copy until written).
    const QByteArray &Bytes() const { return m_data; }
    void SetBytes(const QByteArray &bytes);

private:
    QByteArray m_data;
    qint64 m_position = 0;
};
