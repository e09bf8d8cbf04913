#pragma once
// The thumbnail cache's key for a picture shown in a cell: everything the shown pixels depend on.
// That is the picture's own bytes (length and a 64-bit hash of all of them), the device size it is
// shrunk to, and the decoder and scaler that make it. Where the bytes came from (catalogue, table,
// entry, slot, picture number) is left out on purpose: the same bytes give the same pixels
// wherever they are, and different bytes never share a key, so a replaced slot, a catalogue
// copied over another, a reused picture number or a server catalogue cannot find a stale entry.
// The bytes may be named by their own hash, or by the hash the catalogue keeps beside them (which
// the catalogue clears whenever the bytes are written without it) together with the transform
// that makes the plain file from them.
#include <QByteArray>
#include <QSize>

namespace ThumbnailKey {

// plainBytes: the JPEG file as stored, after any storage transform is reversed.
QByteArray For(const QByteArray &plainBytes, const QSize &device);

// The same, from what the catalogue keeps beside a picture, without reading it: the length and
// content hash of the bytes as stored, and the name of the storage transform that gives the
// plain file from them (a fixed byte mapping; "" for none). Keys of this kind never equal keys of
// the kind above.
QByteArray ForStored(qint64 storedSize, quint64 storedHash, const QByteArray &transform, const QSize &device);

} // namespace ThumbnailKey
