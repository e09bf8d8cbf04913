#include "picture/JpegHeaderCoding.h"

#include <QtEndian>

#include <cstring>

namespace JpegHeaderCoding {
namespace {

constexpr char kMagic[4] = {'J', 'H', 'D', '1'};
constexpr int kInts = 4 + 8; // width, height, components, colour space; the out sizes
constexpr int kSize = 4 + kInts * 4 + 1 + 8;
constexpr int kMaxSide = 65535; // what a JPEG frame header can say

} // namespace

QByteArray Encode(const JpegDecoder::THeader &header)
{
    QByteArray out(kSize, Qt::Uninitialized);
    char *p = out.data();
    std::memcpy(p, kMagic, 4);
    p += 4;
    const int ints[kInts] = {header.imageWidth,   header.imageHeight,  header.components,    header.colorSpace,
                             header.outWidth[0],  header.outWidth[1],  header.outWidth[2],  header.outWidth[3],
                             header.outHeight[0], header.outHeight[1], header.outHeight[2], header.outHeight[3]};
    for (int v : ints) {
        qToLittleEndian<qint32>(v, p);
        p += 4;
    }
    *p++ = char((header.progressive ? 1 : 0) | (header.arithmetic ? 2 : 0));
    qToLittleEndian<qint64>(header.coefficientBytes, p);
    return out;
}

std::optional<JpegDecoder::THeader> Decode(const QByteArray &data)
{
    if (data.size() != kSize || std::memcmp(data.constData(), kMagic, 4) != 0)
        return std::nullopt;
    const char *p = data.constData() + 4;
    int ints[kInts];
    for (int &v : ints) {
        v = qFromLittleEndian<qint32>(p);
        p += 4;
    }
    JpegDecoder::THeader h;
    h.imageWidth = ints[0];
    h.imageHeight = ints[1];
    h.components = ints[2];
    h.colorSpace = ints[3];
    for (int i = 0; i < 4; ++i) {
        h.outWidth[i] = ints[4 + i];
        h.outHeight[i] = ints[8 + i];
    }
    const unsigned flags = static_cast<unsigned char>(*p++);
    h.progressive = flags & 1;
    h.arithmetic = flags & 2;
    h.coefficientBytes = qFromLittleEndian<qint64>(p);
    if (h.imageWidth < 1 || h.imageWidth > kMaxSide || h.imageHeight < 1 || h.imageHeight > kMaxSide
        || h.components < 1 || h.components > 10 || flags > 3 || h.coefficientBytes < 0)
        return std::nullopt;
    for (int i = 0; i < 4; ++i)
        if (h.outWidth[i] < 1 || h.outWidth[i] > h.imageWidth || h.outHeight[i] < 1 || h.outHeight[i] > h.imageHeight)
            return std::nullopt;
    return h;
}

} // namespace JpegHeaderCoding
