#pragma once
// Atlas-level reads and writes over any catalogue store. The atlas decides whether its pictures are
// stored transformed; callers hand over and get back plain picture bytes.
#include "data/CatalogSchema.h"
#include "data/TCatalogStore.h"

class TMemoryStream;

namespace AtlasEntries {

// The stored form of a plain picture of the atlas, and back (in place, the whole stream).
QByteArray ToStored(const TAtlasDef &atlas, const QByteArray &plain);
void ToPlain(const TAtlasDef &atlas, TMemoryStream &stream);

// The plain bytes of one slot (1-based); a null array for an empty slot.
QByteArray ReadSlot(TCatalogStore &store, const TAtlasDef &atlas, qint64 key, int slot);
// The plain bytes of the picture a reference names, provided they are still the bytes digest
// describes; raises when they are not (written since) or cannot be read.
QByteArray ReadDescribedPicture(TCatalogStore &store, const TAtlasDef &atlas, qint64 reference,
                                const TPictureDigest &digest);
// Appends an entry with its text fields (cut to their columns' widths) and plain pictures (slot k from pictures[k-1]; a null
// array leaves the slot empty). Returns the entry's RecordSN (key when given, else the next).
qint64 Append(TCatalogStore &store, const TAtlasDef &atlas, const TEntryValues &fields,
              const QVector<QByteArray> &plainPictures, std::optional<qint64> key = {});
// Puts plain bytes into a slot, or empties it for a null array. False when the entry is gone.
bool ReplaceSlot(TCatalogStore &store, const TAtlasDef &atlas, qint64 key, int slot, const QByteArray &plain);

} // namespace AtlasEntries
