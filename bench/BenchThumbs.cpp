// thumbs7, thumbs7_limit and thumbs7_warm: an entry of the herb frame whose seven slots hold
// 4000 x 3000 photographs, loaded into the cells and painted once. Cold (never seen: the thumbnail
// cache starts empty each round and is filled by the run) against a viewer that decodes each
// picture at full size and scales it down, and against libjpeg decoding at 1/8 scale on one thread
// and nothing else; warm (seen once before) against the same 1/8 decode.
#include "bench/BaselineJpeg.h"
#include "bench/BenchClock.h"
#include "bench/BenchData.h"
#include "bench/BenchMeasures.h"
#include "bench/BenchNames.h"
#include "bench/BenchProgram.h"
#include "bench/BenchResult.h"
#include "bench/BenchRunner.h"
#include "bench/BulkCatalogue.h"
#include "bench/PhotoImage.h"

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
#include <QFile>

#include <cstdio>

namespace {

constexpr int kSlots = 7;
constexpr int kWidth = 4000, kHeight = 3000;

// Every cell must hold its picture and, ready for drawing, that picture at the cell's size.
void requireSevenThumbnails(Tm_Frame_ZY &frame)
{
    for (int k = 1; k <= kSlots; ++k) {
        TImage *cell = frame.Cell(k);
        auto *jpeg = cell ? dynamic_cast<TJPEGImage *>(cell->Picture().Graphic()) : nullptr;
        if (!jpeg || jpeg->ImageWidth() != kWidth || jpeg->DisplayImage().size() != cell->size())
            throw TavelinError(QStringLiteral("thumbs7: cell %1 was not loaded at its own size").arg(k));
    }
}

} // namespace

void BenchThumbs(const TBenchOptions &options)
{
    const QString dir = QDir(options.workDir).filePath(QStringLiteral("thumbs7"));
    std::vector<QByteArray> plain;
    auto slotFile = [&](int k) { return QDir(dir).filePath(QStringLiteral("slot%1.jpg").arg(k + 1)); };
    if (!BenchDataReady(dir)) {
        std::fprintf(stderr, "thumbs7: making seven %d x %d photographs ...\n", kWidth, kHeight);
        QList<QByteArray> stored;
        qint64 total = 0;
        for (int k = 0; k < kSlots; ++k) {
            const QByteArray jpeg = MakePhotoJpeg(kWidth, kHeight, 700 + k);
            QFile f(slotFile(k));
            if (!f.open(QIODevice::WriteOnly) || f.write(jpeg) != jpeg.size())
                throw TavelinError(QStringLiteral("cannot write %1").arg(f.fileName()));
            TMemoryStream s;
            s.Write(jpeg);
            EncodePictureStream(s);
            stored << s.Bytes();
            total += jpeg.size();
        }
        std::fprintf(stderr, "thumbs7: %.1f MiB of JPEG in the entry\n", double(total) / (1 << 20));
        TBulkCatalogue catalogue(TBenchProgram::CataloguePath(dir));
        catalogue.Add(QStringLiteral("ZY"), QStringLiteral("黄芪"), QStringLiteral("黄耆 绵芪 HQ"), stored);
        for (int i = 0; i < 200; ++i) {
            const THerbName n = MakeHerbName(i);
            catalogue.Add(QStringLiteral("ZY"), n.drugName, n.otherName);
        }
        catalogue.Finish();
        MarkBenchDataReady(dir);
    }
    // The baselines decode the same files from memory.
    for (int k = 0; k < kSlots; ++k) {
        QFile f(slotFile(k));
        if (!f.open(QIODevice::ReadOnly))
            throw TavelinError(QStringLiteral("cannot read %1").arg(f.fileName()));
        plain.push_back(f.readAll());
    }

    TBenchProgram program(dir);
    Tm_Frame_ZY frame;
    frame.resize(650, 490);
    frame.show();
    QApplication::processEvents();
    frame.ActivateFrame();
    if (frame.ListQuery()->RecNo() != 0 || frame.ListQuery()->FieldAsString(QStringLiteral("DrugName")) != QStringLiteral("黄芪"))
        throw TavelinError(QStringLiteral("thumbs7: the entry with the pictures is not the current row"));
    QImage canvas(frame.size(), QImage::Format_ARGB32_Premultiplied);
    const QString cacheDir = QDir(options.workDir).filePath(QStringLiteral("thumbs7-cache"));
    QDir(cacheDir).removeRecursively();
    int coldRound = 0;
    TThumbnailCache warmCache(QDir(cacheDir).filePath(QStringLiteral("warm.sqlite")));

    volatile int sink = 0;
    const auto figures = RunInTurn(
        {[&] {
             // A first sight: an empty cache, open, that the run fills.
             TThumbnailCache cold(QDir(cacheDir).filePath(QStringLiteral("cold%1.sqlite").arg(++coldRound)));
             cold.Find(QByteArray());
             frame.SetThumbnailCache(&cold);
             QApplication::processEvents(); // repaints left from the previous run, not timed
             const std::int64_t t0 = BenchNowNs();
             frame.m_Button_DisplayPicClick();
             frame.render(&canvas);
             const double ms = BenchMsSince(t0);
             requireSevenThumbnails(frame);
             if (cold.Hits() != 0 || cold.Misses() != kSlots + 1)
                 throw TavelinError(QStringLiteral("thumbs7: the cold strip did not decode every cell"));
             frame.SetThumbnailCache(nullptr);
             return ms;
         },
         [&] {
             const std::int64_t t0 = BenchNowNs();
             for (const QByteArray &jpeg : plain) {
                 const QImage full = BaselineJpeg::Decode(jpeg, 1);
                 const QImage thumb = full.scaled(55, 66, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
                 sink = sink + int(thumb.pixel(27, 33));
             }
             return BenchMsSince(t0);
         },
         [&] {
             const std::int64_t t0 = BenchNowNs();
             for (const QByteArray &jpeg : plain) {
                 const QImage eighth = BaselineJpeg::Decode(jpeg, 8);
                 sink = sink + int(eighth.constBits()[0]);
             }
             return BenchMsSince(t0);
         },
         [&] {
             // Seen before: shown once untimed, so the cache holds the strip.
             frame.SetThumbnailCache(&warmCache);
             frame.m_Button_DisplayPicClick();
             QApplication::processEvents();
             const int hits = warmCache.Hits();
             const std::int64_t t0 = BenchNowNs();
             frame.m_Button_DisplayPicClick();
             frame.render(&canvas);
             const double ms = BenchMsSince(t0);
             requireSevenThumbnails(frame);
             if (warmCache.Hits() - hits != kSlots)
                 throw TavelinError(QStringLiteral("thumbs7_warm: the cells did not come from the cache"));
             frame.SetThumbnailCache(nullptr);
             return ms;
         }},
        options.runs);

    TBenchResult r;
    r.name = QStringLiteral("thumbs7");
    r.ours = Median(figures[0]);
    r.baseline = Median(figures[1]);
    r.unit = QStringLiteral("ms");
    r.goalOp = QStringLiteral("<=");
    r.goal = 0.4;
    PrintBenchResult(r);
    // The cold strip on every core against libjpeg's own 1/8 decode on one.
    r.name = QStringLiteral("thumbs7_limit");
    r.baseline = Median(figures[2]);
    r.goal = 0.65;
    PrintBenchResult(r);
    r.name = QStringLiteral("thumbs7_warm");
    r.ours = Median(figures[3]);
    r.decimals = 2;
    r.goal = 0.05;
    PrintBenchResult(r);
}
