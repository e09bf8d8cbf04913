// thumbs7 and thumbs7_limit: an entry of the herb frame whose seven slots hold 4000 x 3000
// photographs, loaded into the cells and painted once, against a viewer that decodes each picture
// at full size and scales it down, and against libjpeg decoding at 1/8 scale and nothing else.
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
#include "frames/UFrame_ZY.h"
#include "picture/TImage.h"
#include "picture/TJPEGImage.h"
#include "platform/TMemoryStream.h"
#include "platform/TavelinError.h"

#include <QApplication>
#include <QDir>
#include <QFile>

#include <cstdio>

namespace {

constexpr int kSlots = 7;
constexpr int kWidth = 4000, kHeight = 3000;

// Every cell must hold its picture, decoded at the reduction that covers the cell.
void requireSevenThumbnails(Tm_Frame_ZY &frame)
{
    for (int k = 1; k <= kSlots; ++k) {
        TImage *cell = frame.Cell(k);
        auto *jpeg = cell ? dynamic_cast<TJPEGImage *>(cell->Picture().Graphic()) : nullptr;
        if (!jpeg || jpeg->ImageWidth() != kWidth || jpeg->ReducedSize() != QSize(kWidth / 8, kHeight / 8))
            throw TavelinError(QStringLiteral("thumbs7: cell %1 was not loaded and drawn from its 1/8 decode").arg(k));
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

    volatile int sink = 0;
    const auto figures = RunInTurn(
        {[&] {
             QApplication::processEvents(); // repaints left from the previous run, not timed
             const std::int64_t t0 = BenchNowNs();
             frame.m_Button_DisplayPicClick();
             frame.render(&canvas);
             const double ms = BenchMsSince(t0);
             requireSevenThumbnails(frame);
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
    r.name = QStringLiteral("thumbs7_limit");
    r.baseline = Median(figures[2]);
    r.goal = 1.3;
    PrintBenchResult(r);
}
