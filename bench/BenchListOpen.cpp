// listopen_blobs: opening the miscellaneous atlas's list over 2,000 entries of 1 MiB pictures
// (its statement selects the picture columns), time and peak resident memory growth, against the
// same list opened with a statement that selects no picture column.
#include "bench/BenchClock.h"
#include "bench/BenchData.h"
#include "bench/BenchMeasures.h"
#include "bench/BenchProgram.h"
#include "bench/BenchResult.h"
#include "bench/BenchRunner.h"
#include "bench/BulkCatalogue.h"
#include "bench/PhotoImage.h"
#include "bench/ProcessMemory.h"

#include "data/TCatalogQuery.h"
#include "data/TCatalogStore.h"
#include "data/UDataLibModule.h"
#include "frames/UFrame_ZXTP.h"
#include "platform/TavelinError.h"

#include <QDir>

#include <cstdio>
#include <memory>

namespace {

constexpr int kEntries = 2000;
constexpr int kPictureBytes = 1 << 20;

QByteArray megabytePicture()
{
    QByteArray jpeg;
    for (int w = 2000; w >= 400; w -= 100) {
        jpeg = MakePhotoJpeg(w, w * 3 / 4, 2000);
        if (jpeg.size() <= kPictureBytes - 8)
            break;
    }
    QByteArray padded = PadJpegTo(jpeg, kPictureBytes);
    if (padded.size() != kPictureBytes)
        throw TavelinError(QStringLiteral("the 1 MiB picture came out %1 bytes long").arg(padded.size()));
    return padded;
}

// Time and peak memory growth of one opening.
struct TOpening {
    std::vector<double> ms;
    std::vector<double> peakMiB;
    bool peakKnown = true;

    double Run(const std::function<void()> &open)
    {
        peakKnown = ProcessMemory::ResetPeak() && peakKnown;
        const qint64 before = ProcessMemory::ResidentKiB();
        const std::int64_t t0 = BenchNowNs();
        open();
        const double elapsed = BenchMsSince(t0);
        // Without a resettable peak, the growth that stays is the best we can tell.
        const qint64 after = peakKnown ? ProcessMemory::PeakResidentKiB() : ProcessMemory::ResidentKiB();
        ms.push_back(elapsed);
        peakMiB.push_back(double(after - before) / 1024.0);
        return elapsed;
    }
};

} // namespace

void BenchListOpen(const TBenchOptions &options)
{
    const QString dir = QDir(options.workDir).filePath(QStringLiteral("listopen"));
    if (!BenchDataReady(dir)) {
        std::fprintf(stderr, "listopen_blobs: writing %d entries of 1 MiB ...\n", kEntries);
        const QByteArray picture = megabytePicture();
        const QStringList categories{QStringLiteral("胸部"), QStringLiteral("腹部"), QStringLiteral("头颈"),
                                     QStringLiteral("四肢"), QStringLiteral("皮肤")};
        TBulkCatalogue catalogue(TBenchProgram::CataloguePath(dir));
        for (int i = 0; i < kEntries; ++i)
            catalogue.Add(QStringLiteral("ZXTP"), QStringLiteral("IMG_%1.jpg").arg(i + 1, 4, 10, QLatin1Char('0')),
                          categories[i % categories.size()], {picture});
        catalogue.Finish();
        MarkBenchDataReady(dir);
    }

    TBenchProgram program(dir);
    // Each opening gets a new frame or query, kept until the end, so the memory it holds shows as
    // growth every time rather than reusing what an earlier run freed.
    std::vector<std::unique_ptr<Tm_Frame_ZXTP>> frames;
    std::vector<std::unique_ptr<TCatalogQuery>> queries;
    TOpening ours, base;
    const auto figures = RunInTurn(
        {[&] {
             frames.push_back(std::make_unique<Tm_Frame_ZXTP>());
             Tm_Frame_ZXTP *frame = frames.back().get();
             const double ms = ours.Run([&] { frame->ActivateFrame(); });
             if (!frame->ListOpened() || frame->ListQuery()->RecordCount() != kEntries)
                 throw TavelinError(QStringLiteral("listopen_blobs: the list did not open with every entry"));
             return ms;
         },
         [&] {
             queries.push_back(std::make_unique<TCatalogQuery>());
             TCatalogQuery *q = queries.back().get();
             q->SetConnection(m_DataLibModule->m_ADOConnection_KVR);
             q->SQL() << QStringLiteral("select RecordSN,TypeName,ItemName,MemoContent from KVR_ZXTPPicture");
             const double ms = base.Run([&] { q->Open(); });
             if (q->RecordCount() != kEntries)
                 throw TavelinError(QStringLiteral("listopen_blobs: the baseline list is incomplete"));
             return ms;
         }},
        qMax(options.runs, 15)); // cheap and short: more runs steady the median
    if (!ours.peakKnown || !base.peakKnown)
        std::fprintf(stderr, "listopen_blobs: the peak resident size cannot be reset here; growth is measured "
                             "as the resident size kept\n");
    // The warm-up round's figures are left out, as RunInTurn does for the times.
    ours.peakMiB.erase(ours.peakMiB.begin());
    base.peakMiB.erase(base.peakMiB.begin());

    TBenchResult r;
    r.name = QStringLiteral("listopen_blobs");
    r.ours = Median(figures[0]);
    r.baseline = Median(figures[1]);
    r.unit = QStringLiteral("ms");
    r.goalOp = QStringLiteral("<=");
    r.goal = 1.2;
    r.decimals = 2;
    PrintBenchResult(r);

    // On a server the list is kept between openings while nothing changed (the figure above):
    // here each opening follows another workstation's change of one entry, so the list is read.
    const QString server = qEnvironmentVariable("TAVELIN_BENCH_SERVER");
    if (!server.isEmpty()) {
        auto other = CatalogStore::Open(TBenchProgram::ServerCopyOf(dir, server));
        std::vector<double> changed;
        TOpening reading;
        for (int run = 0; run <= qMax(options.runs, 15); ++run) {
            TEntryValues values{{QStringLiteral("MemoContent"), QStringLiteral("changed %1").arg(run)}};
            other->UpdateEntry(QStringLiteral("KVR_ZXTPPicture"), 1, values);
            frames.push_back(std::make_unique<Tm_Frame_ZXTP>());
            Tm_Frame_ZXTP *frame = frames.back().get();
            const double ms = reading.Run([&] { frame->ActivateFrame(); });
            if (run > 0) // the first is the warm-up
                changed.push_back(ms);
        }
        std::fprintf(stderr, "listopen_blobs: on the server, opened after another workstation's change: %.2f ms "
                             "(kept: %.2f ms)\n",
                     Median(changed), Median(figures[0]));
    }

    TBenchResult m;
    m.name = QStringLiteral("listopen_blobs_rss");
    m.ours = Median(ours.peakMiB);
    m.baseline = Median(base.peakMiB);
    m.unit = QStringLiteral("MiB");
    m.goalOp = QStringLiteral("<=");
    m.goal = 64;
    m.goalOnRatio = false;
    m.decimals = 2;
    PrintBenchResult(m);
}
