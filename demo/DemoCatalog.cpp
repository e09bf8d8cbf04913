// The demo catalogue: a new catalogue that shows the program at its best on a fresh machine.
#include "demo/DemoCatalog.h"

#include "data/AtlasEntries.h"
#include "data/CatalogSchema.h"
#include "picture/JpegEncoder.h"
#include "platform/TavelinError.h"

#include <algorithm>

namespace {

void storeEntry(TCatalogStore &store, const TAtlasDef &atlas, const TDemoEntry &e, TDemoCatalogueStats &stats)
{
    if (e.pictures.size() > atlas.slotCount)
        throw TavelinError(QStringLiteral("%1 has %2 picture pictures; the entry %3 has %4")
                               .arg(atlas.code)
                               .arg(atlas.slotCount)
                               .arg(e.name)
                               .arg(e.pictures.size()));
    TEntryValues fields{{atlas.nameColumn, e.name}, {atlas.otherColumn, e.other}};
    const bool hasMemo = std::any_of(atlas.columns.begin(), atlas.columns.end(),
                                     [](const TFieldDef &f) { return f.name == QLatin1String("MemoContent"); });
    if (hasMemo && !e.memo.isEmpty())
        fields.append({QStringLiteral("MemoContent"), e.memo});
    QVector<QByteArray> pictures(e.pictures.size());
    for (int k = 0; k < e.pictures.size(); ++k) {
        if (!e.pictures[k])
            continue;
        TJpegEncodeOptions options;
        options.quality = 85;
        pictures[k] = EncodeJpeg(DrawDemoSlot(e, k + 1), options);
        stats.pictures += 1;
        stats.pictureBytes += pictures[k].size();
    }
    AtlasEntries::Append(store, atlas, fields, pictures);
    stats.entries += 1;
}

} // namespace

TDemoCatalogueStats BuildDemoCatalogue(const QString &path, const QVector<TDemoEntry> &entries)
{
    TDemoCatalogueStats stats;
    // Pictures are drawn here, one after the other: drawn on several threads at once, Qt's shared
    // font engines give slightly different glyphs from run to run, and the file must come out the
    // same every time.
    CatalogStore::Create(path, [&](TCatalogStore &store) {
        for (const TDemoEntry &e : entries)
            storeEntry(store, CatalogSchema::AtlasOrThrow(e.atlas), e, stats);
    });
    return stats;
}
