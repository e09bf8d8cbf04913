#include "data/AtlasEntries.h"

#include "data/PictureTransform.h"
#include "data/TCatalogQuery.h"
#include "data/TRowSet.h"
#include "picture/ContentHash.h"
#include "platform/TMemoryStream.h"
#include "platform/TavelinError.h"

namespace AtlasEntries {
namespace {

void requireSlot(const TAtlasDef &atlas, int slot)
{
    if (slot < 1 || slot > atlas.slotCount)
        throw TavelinError(QStringLiteral("%1 has slots 1..%2, not %3").arg(atlas.code).arg(atlas.slotCount).arg(slot));
}

} // namespace

QByteArray ToStored(const TAtlasDef &atlas, const QByteArray &plain)
{
    if (!atlas.transformed || plain.isEmpty())
        return plain;
    TMemoryStream stream;
    stream.Write(plain);
    EncodePictureStream(stream);
    return stream.Bytes();
}

void ToPlain(const TAtlasDef &atlas, TMemoryStream &stream)
{
    if (atlas.transformed)
        DecodePictureStream(stream);
}

QByteArray ReadSlot(TCatalogStore &store, const TAtlasDef &atlas, qint64 key, int slot)
{
    requireSlot(atlas, slot);
    TRowSet rows;
    store.Select(QStringLiteral("select %1 from %2 where RecordSN = :SQLRecordSN")
                     .arg(CatalogSchema::SlotColumn(slot), atlas.table),
                 {{QStringLiteral("SQLRecordSN"), key}}, rows);
    const QVariant reference = rows.Value(0, 0);
    if (reference.isNull())
        return {};
    TMemoryStream stream;
    store.ReadPicture(reference.toLongLong(), stream);
    ToPlain(atlas, stream);
    QByteArray bytes = stream.Bytes();
    if (bytes.isNull())
        bytes = QByteArray("", 0);
    return bytes;
}

QByteArray ReadDescribedPicture(TCatalogStore &store, const TAtlasDef &atlas, qint64 reference,
                                const TPictureDigest &digest)
{
    TMemoryStream stream;
    store.ReadPicture(reference, stream);
    if (stream.Size() != digest.size || ContentHash::Of(stream.Bytes()) != digest.hash)
        throw TavelinError(QStringLiteral("The picture has changed in the catalogue %1 since its thumbnail was shown; "
                                          "show the entry again.")
                               .arg(store.Location()));
    ToPlain(atlas, stream);
    return stream.Bytes();
}

qint64 Append(TCatalogStore &store, const TAtlasDef &atlas, const TEntryValues &fields,
              const QVector<QByteArray> &plainPictures, std::optional<qint64> key)
{
    if (plainPictures.size() > atlas.slotCount)
        throw TavelinError(QStringLiteral("%1 holds at most %2 pictures an entry").arg(atlas.code).arg(atlas.slotCount));
    TEntryValues values = fields;
    // Text is cut to its column's width, as the dataset cuts what is typed.
    for (auto &value : values)
        for (const TFieldDef &def : atlas.columns)
            if (def.type == TFieldType::String && def.name.compare(value.first, Qt::CaseInsensitive) == 0
                && !value.second.isNull())
                value.second = TCatalogQuery::CutToCharacters(value.second.toString(), def.size);
    for (int k = 0; k < plainPictures.size(); ++k) {
        if (plainPictures[k].isNull())
            continue;
        QByteArray stored = ToStored(atlas, plainPictures[k]);
        if (stored.isNull())
            stored = QByteArray("", 0);
        values.append({CatalogSchema::SlotColumn(k + 1), QVariant(stored)});
    }
    return store.InsertEntry(atlas.table, values, key);
}

bool ReplaceSlot(TCatalogStore &store, const TAtlasDef &atlas, qint64 key, int slot, const QByteArray &plain)
{
    requireSlot(atlas, slot);
    QVariant value;
    if (!plain.isNull()) {
        QByteArray stored = ToStored(atlas, plain);
        if (stored.isNull())
            stored = QByteArray("", 0);
        value = QVariant(stored);
    }
    TEntryValues values{{CatalogSchema::SlotColumn(slot), value}};
    return store.UpdateEntry(atlas.table, key, values);
}

} // namespace AtlasEntries
