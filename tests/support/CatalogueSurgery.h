#pragma once
// Byte-level damage to catalogue files that SQLite itself never writes, for hostile fixtures.
#include <QString>

namespace CatalogueSurgery {

// Rewrites the catalogue with 512-byte pages and makes the stored picture `pictureId` claim about
// half a MiB more (far more than the file holds), its overflow chain looping back to its first overflow
// page so that all the claimed bytes can be read. The picture must be larger than 16 KiB. Returns
// the claimed size, or -1 with a reason in *why.
qint64 LoopPictureOverflowChain(const QString &path, qint64 pictureId, QString *why);

} // namespace CatalogueSurgery
