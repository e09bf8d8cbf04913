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
    QByteArray key = recipe() + "plain |";
    char numbers[24];
    qToLittleEndian<quint32>(quint32(device.width()), numbers);
    qToLittleEndian<quint32>(quint32(device.height()), numbers + 4);
    qToLittleEndian<quint64>(quint64(plainBytes.size()), numbers + 8);
    qToLittleEndian<quint64>(ContentHash::Of(plainBytes), numbers + 16);
    key.append(numbers, sizeof numbers);
    return key;
}

QByteArray ForStored(qint64 storedSize, quint64 storedHash, const QByteArray &transform, const QSize &device)
{
    // The transform's name is as long as it says, so no name is a prefix that runs into the numbers.
    QByteArray key = recipe() + "stored " + QByteArray::number(transform.size()) + ":" + transform + " |";
    char numbers[24];
    qToLittleEndian<quint32>(quint32(device.width()), numbers);
    qToLittleEndian<quint32>(quint32(device.height()), numbers + 4);
    qToLittleEndian<quint64>(quint64(storedSize), numbers + 8);
    qToLittleEndian<quint64>(storedHash, numbers + 16);
    key.append(numbers, sizeof numbers);
    return key;
}

} // namespace ThumbnailKey
