// The 100,000-entry herb catalogue of search100k and startup100k, each entry with a 16 KiB
// picture in pic1, and beside it the baseline's table of the same names without pictures.
#include "bench/BenchMeasures.h"
#include "bench/BenchData.h"
#include "bench/BenchNames.h"
#include "bench/BenchProgram.h"
#include "bench/BulkCatalogue.h"
#include "bench/PhotoImage.h"

#include "bench/SqliteNamesBaseline.h"
#include "data/PictureTransform.h"
#include "platform/TMemoryStream.h"
#include "platform/TavelinError.h"

#include <QDir>

#include <cstdio>

namespace {

constexpr int kEntries = 100000;
constexpr int kPictureBytes = 16 * 1024;

QByteArray storedPicture()
{
    // The largest small photograph that fits, padded to exactly 16 KiB.
    QByteArray jpeg;
    for (int w = 200; w >= 40; w -= 20) {
        jpeg = MakePhotoJpeg(w, w * 3 / 4, 16);
        if (jpeg.size() <= kPictureBytes - 8)
            break;
    }
    TMemoryStream s;
    s.Write(PadJpegTo(jpeg, kPictureBytes));
    if (s.Size() != kPictureBytes)
        throw TavelinError(QStringLiteral("the 16 KiB picture came out %1 bytes long").arg(s.Size()));
    EncodePictureStream(s);
    return s.Bytes();
}

} // namespace

QString HerbCatalogueDir(const TBenchOptions &options)
{
    const QString dir = QDir(options.workDir).filePath(QStringLiteral("herbs100k"));
    if (BenchDataReady(dir))
        return dir;
    std::fprintf(stderr, "herbs100k: writing %d entries with a %d KiB picture each ...\n", kEntries, kPictureBytes / 1024);
    const QByteArray picture = storedPicture();
    {
        TBulkCatalogue catalogue(TBenchProgram::CataloguePath(dir));
        for (int i = 0; i < kEntries; ++i) {
            const THerbName n = MakeHerbName(std::uint64_t(i));
            // RecordSN runs 1..100000 in the same order as the baseline's table.
            if (catalogue.Add(QStringLiteral("ZY"), n.drugName, n.otherName, {picture}) != i + 1)
                throw TavelinError(QStringLiteral("herbs100k: unexpected RecordSN"));
        }
        catalogue.Finish();
    }
    MakeSqliteNamesTable(QDir(dir).filePath(QStringLiteral("names.sqlite")), kEntries, [](int i) {
        const THerbName n = MakeHerbName(std::uint64_t(i));
        return std::make_pair(n.drugName, n.otherName);
    });
    MarkBenchDataReady(dir);
    return dir;
}
