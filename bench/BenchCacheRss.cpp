// cache_rss: the resident memory of the program after it has shown the thumbnail strips of 200
// herb entries (seven photographs each, all different), first unseen and then again from the
// thumbnail cache. What the cells keep and what the cache holds in memory must not grow with the
// number of strips seen. The budget is on our own figure; the baseline is the same process before
// the first strip.
#include "bench/BenchData.h"
#include "bench/BenchMeasures.h"
#include "bench/BenchProgram.h"
#include "bench/BenchResult.h"
#include "bench/BulkCatalogue.h"
#include "bench/PhotoImage.h"
#include "bench/ProcessMemory.h"

#include "data/PictureTransform.h"
#include "data/TCatalogQuery.h"
#include "data/sqlite/TThumbnailCache.h"
#include "frames/UFrame_ZY.h"
#include "picture/TJPEGImage.h"
#include "platform/TMemoryStream.h"
#include "platform/TavelinError.h"
#include "widgets/TImage.h"

#include <QApplication>
#include <QDir>

#include <cstdio>

namespace {

constexpr int kEntries = 200;
constexpr int kSlots = 7;
constexpr int kDistinct = 14;

// The picture with a comment after its start marker, so every slot holds bytes of its own.
QByteArray withNote(const QByteArray &jpeg, int n)
{
    const QByteArray note = QByteArray("slot ") + QByteArray::number(n);
    QByteArray segment;
    segment.append(char(0xFF)).append(char(0xFE));
    segment.append(char((note.size() + 2) >> 8)).append(char((note.size() + 2) & 0xFF));
    segment.append(note);
    QByteArray bytes = jpeg;
    bytes.insert(2, segment);
    return bytes;
}

} // namespace

void BenchCacheRss(const TBenchOptions &options)
{
    const QString dir = QDir(options.workDir).filePath(QStringLiteral("cache_rss"));
    if (!BenchDataReady(dir)) {
        std::fprintf(stderr, "cache_rss: making %d entries of %d photographs ...\n", kEntries, kSlots);
        std::vector<QByteArray> pictures;
        for (int k = 0; k < kDistinct; ++k)
            pictures.push_back(MakePhotoJpeg(1200, 900, 900 + k));
        TBulkCatalogue catalogue(TBenchProgram::CataloguePath(dir));
        for (int e = 0; e < kEntries; ++e) {
            QList<QByteArray> stored;
            for (int k = 0; k < kSlots; ++k) {
                TMemoryStream s;
                s.Write(withNote(pictures[size_t((e + k) % kDistinct)], e * kSlots + k));
                EncodePictureStream(s);
                stored << s.Bytes();
            }
            catalogue.Add(QStringLiteral("ZY"), QStringLiteral("药%1").arg(e, 3, 10, QLatin1Char('0')), QString(), stored);
        }
        catalogue.Finish();
        MarkBenchDataReady(dir);
    }
    const QString cachePath = QDir(dir).filePath(QStringLiteral("thumbnails.sqlite"));
    for (const char *suffix : {"", "-wal", "-shm"})
        QFile::remove(cachePath + QLatin1String(suffix));

    TBenchProgram program(dir);
    TThumbnailCache cache(cachePath);
    Tm_Frame_ZY frame;
    frame.SetThumbnailCache(&cache);
    frame.resize(650, 490);
    frame.show();
    QApplication::processEvents();
    frame.ActivateFrame();
    if (frame.ListQuery()->RecordCount() != kEntries)
        throw TavelinError(QStringLiteral("cache_rss: the list holds %1 entries").arg(frame.ListQuery()->RecordCount()));
    QImage canvas(frame.size(), QImage::Format_ARGB32_Premultiplied);
    frame.render(&canvas);
    const qint64 before = ProcessMemory::ResidentKiB();

    for (int pass = 0; pass < 2; ++pass) {
        for (int e = 0; e < kEntries; ++e) {
            frame.ListQuery()->SetRecNo(e);
            frame.m_Button_DisplayPicClick();
            frame.render(&canvas);
            QApplication::processEvents();
            for (int k = 1; k <= kSlots; ++k) {
                auto *jpeg = dynamic_cast<TJPEGImage *>(frame.Cell(k)->Picture().Graphic());
                if (!jpeg || jpeg->DisplayImage().isNull())
                    throw TavelinError(QStringLiteral("cache_rss: entry %1, cell %2 not shown").arg(e).arg(k));
            }
        }
    }
    const qint64 after = ProcessMemory::ResidentKiB();
    std::fprintf(stderr, "cache_rss: %d hits, %d misses, %.1f MiB in the cache file\n", cache.Hits(), cache.Misses(),
                 double(cache.StoredBytes()) / (1 << 20));
    if (cache.Hits() != kEntries * kSlots)
        throw TavelinError(QStringLiteral("cache_rss: the second pass did not come from the cache"));

    TBenchResult r;
    r.name = QStringLiteral("cache_rss");
    r.ours = double(after) / 1024;
    r.baseline = double(before) / 1024;
    r.unit = QStringLiteral("MiB");
    r.goalOp = QStringLiteral("<=");
    r.goal = 128;
    r.goalOnRatio = false;
    PrintBenchResult(r);
}
