#pragma once
// The thumbnail cache's key for a picture shown in a cell: everything the shown pixels depend on.
// That is the picture's own bytes (length and a 64-bit hash of all of them), the device size it is
// shrunk to, and the decoder and scaler that make it. Where the bytes came from (catalogue, table,
// entry, slot, picture number) is left out on purpose: the same bytes give the same pixels
// wherever they are, and different bytes never share a key, so a replaced slot, a catalogue
// copied over another, a reused picture number or a server catalogue cannot find a stale entry.
#include <QByteArray>
#include <QSize>

namespace ThumbnailKey {

// plainBytes: the JPEG file as stored, after any storage transform is reversed.
QByteArray For(const QByteArray &plainBytes, const QSize &device);

} // namespace ThumbnailKey
