#pragma once
// A JPEG header as a few bytes, kept beside a cached thumbnail so that a cell can be given its
// picture (sizes, scales) without the picture's bytes.
#include "picture/JpegDecoder.h"

#include <QByteArray>

#include <optional>

namespace JpegHeaderCoding {

QByteArray Encode(const JpegDecoder::THeader &header);
// None for data of another kind or sizes no JPEG has.
std::optional<JpegDecoder::THeader> Decode(const QByteArray &data);

} // namespace JpegHeaderCoding
