#pragma once
// The stored form of a cached thumbnail: lossless (the exact pixels, format and size) and
// self-checking, so damaged data is refused instead of drawn. A short note (what else the cell's
// picture needs, such as the JPEG header) travels with the pixels under the same check.
#include <QByteArray>
#include <QImage>

namespace ThumbnailCoding {

// An empty array for an image that cannot be kept (null, or one with a colour table).
QByteArray Encode(const QImage &image, const QByteArray &note = {});
// The image exactly as encoded, and its note when asked for; a null image (and an empty note)
// when the data is damaged or of another kind.
QImage Decode(const QByteArray &data, QByteArray *note = nullptr);

} // namespace ThumbnailCoding
