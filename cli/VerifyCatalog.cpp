// verify: decodes every filled picture slot and lists the unreadable ones, and those whose bytes
// are not what the hash the catalogue keeps beside them says.
#include "data/AtlasEntries.h"
#include "data/CatalogSchema.h"
#include "data/TCatalogConnection.h"
#include "data/TCatalogQuery.h"
#include "picture/ContentHash.h"
#include "picture/TJPEGImage.h"
#include "platform/TMemoryStream.h"
#include "platform/TavelinError.h"
#include "cli/CatalogCommands.h"
#include "cli/ToolSupport.h"

#include <cstdio>

namespace CatalogTool {

namespace {

// Why the plain bytes of one slot are not a readable picture; empty when they are. The whole
// picture is decoded, so damage anywhere in it is found, but at 1/8 scale, which costs far
// less than a full-size decode.
QString ProblemOf(TMemoryStream &plain)
{
    try {
        TJPEGImage jpeg;
        jpeg.LoadFromStream(plain);
        jpeg.SetScale(TJPEGScale::jsEighth);
        jpeg.Image();
        const QString damage = jpeg.DecodeWarning();
        return damage.isEmpty() ? QString() : QStringLiteral("The picture data is damaged: %1").arg(damage);
    } catch (const TavelinError &e) {
        return e.message();
    }
}

struct TVerifyCounts {
    int checked = 0;
    int unreadable = 0;
};

void VerifyAtlas(TCatalogConnection &conn, const TAtlasDef &atlas, TVerifyCounts &counts)
{
    QStringList columns;
    for (int k = 1; k <= atlas.slotCount; ++k)
        columns << CatalogSchema::SlotColumn(k);
    // The cursor holds only references to the pictures; each slot's bytes are read when asked for.
    TCatalogQuery q;
    q.SetConnection(&conn);
    q.SQL() << QStringLiteral("select %1, RecordSN from %2 order by RecordSN").arg(columns.join(QLatin1Char(',')), atlas.table);
    q.Open();
    TMemoryStream stream;
    for (int row = 0; row < q.RecordCount(); ++row) {
        q.SetRecNo(row);
        const qint32 sn = q.FieldAsInteger(QStringLiteral("RecordSN"));
        QVector<qint64> references;
        for (int k = 1; k <= atlas.slotCount; ++k)
            if (const auto reference = q.PictureReference(CatalogSchema::SlotColumn(k)))
                references << *reference;
        const QHash<qint64, TPictureDigest> digests = conn.Store().PictureDigests(references);
        for (int k = 1; k <= atlas.slotCount; ++k) {
            stream.Clear();
            QString problem;
            try {
                const QString column = CatalogSchema::SlotColumn(k);
                q.BlobToStream(column, stream);
                if (stream.Size() == 0)
                    continue; // an empty slot is no picture, not a broken one
                // A wrong hash would let the thumbnail cache show another picture for this one.
                const auto reference = q.PictureReference(column);
                const auto digest = reference ? digests.constFind(*reference) : digests.constEnd();
                if (digest != digests.constEnd()
                    && (digest->size != stream.Size() || digest->hash != ContentHash::Of(stream.Bytes())))
                    problem = QStringLiteral("The hash the catalogue keeps beside the picture does not match its bytes.");
                AtlasEntries::ToPlain(atlas, stream);
                stream.SetPosition(0);
                if (problem.isEmpty())
                    problem = ProblemOf(stream);
            } catch (const TavelinError &e) {
                problem = e.message();
            }
            ++counts.checked;
            if (!problem.isEmpty()) {
                ++counts.unreadable;
                std::printf("%s %d %d: %s\n", qPrintable(atlas.code), sn, k, qPrintable(problem));
                std::fflush(stdout);
            }
        }
    }
}

} // namespace

int Verify(const QStringList &args)
{
    if (args.size() != 1) {
        Complain(QStringLiteral("usage: tavelin-catalog verify PATH"));
        return kExitBadInput;
    }
    TCatalogConnection conn;
    OpenCatalogue(conn, args[0]);
    TVerifyCounts counts;
    bool atlasFailed = false;
    for (const TAtlasDef &atlas : CatalogSchema::Atlases()) {
        try {
            VerifyAtlas(conn, atlas, counts);
        } catch (const TavelinError &e) {
            // A damaged table must not hide the state of the others.
            Complain(QStringLiteral("%1: %2").arg(atlas.code, e.message()));
            atlasFailed = true;
        }
    }
    if (counts.unreadable > 0)
        Complain(QStringLiteral("%1 of %2 pictures unreadable").arg(counts.unreadable).arg(counts.checked));
    return counts.unreadable > 0 || atlasFailed ? kExitNotFound : kExitOk;
}

} // namespace CatalogTool
