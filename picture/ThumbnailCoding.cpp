#include "picture/ThumbnailCoding.h"

#include "picture/ContentHash.h"

#include <QtEndian>

#include <cstring>

namespace ThumbnailCoding {
namespace {

constexpr char kMagic[4] = {'T', 'V', 'T', '2'};
// magic, format, width, height, hash of the pixels, hash of the note and the compressed pixels,
// length of the note; then the note, then the compressed pixels
constexpr int kHeaderSize = 4 + 4 + 4 + 4 + 8 + 8 + 4;
constexpr int kMaxSide = 4096;
constexpr int kMaxNote = 4096;

bool keepable(QImage::Format f)
{
    switch (f) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
    case QImage::Format_RGB888:
    case QImage::Format_Grayscale8:
        return true;
    default:
        return false;
    }
}

// The pixel rows without their padding.
QByteArray packedRows(const QImage &image)
{
    const qsizetype row = qsizetype(image.width()) * image.depth() / 8;
    QByteArray out(row * image.height(), Qt::Uninitialized);
    for (int y = 0; y < image.height(); ++y)
        std::memcpy(out.data() + y * row, image.constScanLine(y), size_t(row));
    return out;
}

} // namespace

QByteArray Encode(const QImage &image, const QByteArray &note)
{
    if (image.isNull() || !keepable(image.format()) || image.width() > kMaxSide || image.height() > kMaxSide
        || note.size() > kMaxNote)
        return {};
    const QByteArray rows = packedRows(image);
    QByteArray out(kHeaderSize, Qt::Uninitialized);
    char *h = out.data();
    std::memcpy(h, kMagic, 4);
    qToLittleEndian<quint32>(quint32(image.format()), h + 4);
    qToLittleEndian<quint32>(quint32(image.width()), h + 8);
    qToLittleEndian<quint32>(quint32(image.height()), h + 12);
    qToLittleEndian<quint64>(ContentHash::Of(rows), h + 16);
    qToLittleEndian<quint32>(quint32(note.size()), h + 32);
    out += note;
    out += qCompress(rows, 1);
    qToLittleEndian<quint64>(ContentHash::Of(out.constData() + kHeaderSize, out.size() - kHeaderSize), out.data() + 24);
    return out;
}

QImage Decode(const QByteArray &data, QByteArray *note)
{
    if (note)
        note->clear();
    if (data.size() < kHeaderSize || std::memcmp(data.constData(), kMagic, 4) != 0)
        return {};
    const char *h = data.constData();
    const auto format = QImage::Format(qFromLittleEndian<quint32>(h + 4));
    const quint32 width = qFromLittleEndian<quint32>(h + 8);
    const quint32 height = qFromLittleEndian<quint32>(h + 12);
    const quint64 hash = qFromLittleEndian<quint64>(h + 16);
    const quint64 packedHash = qFromLittleEndian<quint64>(h + 24);
    const quint32 noteSize = qFromLittleEndian<quint32>(h + 32);
    if (!keepable(format) || width == 0 || height == 0 || width > kMaxSide || height > kMaxSide || noteSize > kMaxNote
        || data.size() < kHeaderSize + qsizetype(noteSize))
        return {};
    const char *packed = h + kHeaderSize + noteSize;
    const qsizetype packedSize = data.size() - kHeaderSize - noteSize;
    QImage image(int(width), int(height), format);
    if (image.isNull())
        return {};
    const qsizetype row = qsizetype(width) * image.depth() / 8;
    // The compressed stream opens with the size it unpacks to: checked first, so damage there
    // cannot ask for a huge allocation.
    if (packedSize < 4 || qFromBigEndian<quint32>(packed) != quint64(row) * height
        || ContentHash::Of(h + kHeaderSize, data.size() - kHeaderSize) != packedHash)
        return {};
    // qUncompress checks the zlib stream's own checksum; the pixel hash catches the rest.
    const QByteArray rows = qUncompress(reinterpret_cast<const uchar *>(packed), packedSize);
    if (rows.size() != row * qsizetype(height) || ContentHash::Of(rows) != hash)
        return {};
    for (int y = 0; y < int(height); ++y)
        std::memcpy(image.scanLine(y), rows.constData() + y * row, size_t(row));
    if (note)
        *note = data.mid(kHeaderSize, noteSize);
    return image;
}

} // namespace ThumbnailCoding
