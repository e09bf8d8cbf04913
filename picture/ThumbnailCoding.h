#pragma once
// The stored form of a cached thumbnail: lossless (the exact pixels, format and size) and
// self-checking, so damaged data is refused instead of drawn.
#include <QByteArray>
#include <QImage>

namespace ThumbnailCoding {

// An empty array for an image that cannot be kept (null, or one with a colour table).
QByteArray Encode(const QImage &image);
// The image exactly as encoded; a null image when the data is damaged or of another kind.
QImage Decode(const QByteArray &data);

} // namespace ThumbnailCoding
