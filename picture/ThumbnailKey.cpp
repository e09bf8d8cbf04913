#include "picture/ThumbnailKey.h"

#include "picture/ContentHash.h"

#include <QtEndian>

#include <cstdio>
#include <jpeglib.h>

namespace ThumbnailKey {
namespace {

// Changes whenever the way a cell's picture is made changes (decode options, reduction choice,
// scaling), so entries made the old way are never used again.
constexpr char kRecipe[] = "cell-v1";

const QByteArray &recipe()
{
    static const QByteArray tag = QByteArray(kRecipe) + " jpeg " + QByteArray::number(JPEG_LIB_VERSION)
#ifdef LIBJPEG_TURBO_VERSION_NUMBER
                                  + "/" + QByteArray::number(LIBJPEG_TURBO_VERSION_NUMBER)
#endif
                                  + " qt " + QByteArray(qVersion()) + " |";
    return tag;
}

} // namespace

QByteArray For(const QByteArray &plainBytes, const QSize &device)
{
    QByteArray key = recipe();
    char numbers[24];
    qToLittleEndian<quint32>(quint32(device.width()), numbers);
    qToLittleEndian<quint32>(quint32(device.height()), numbers + 4);
    qToLittleEndian<quint64>(quint64(plainBytes.size()), numbers + 8);
    qToLittleEndian<quint64>(ContentHash::Of(plainBytes), numbers + 16);
    key.append(numbers, sizeof numbers);
    return key;
}

} // namespace ThumbnailKey
