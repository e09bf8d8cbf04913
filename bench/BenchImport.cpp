// import500: 500 JPEG files of about 1 MiB imported through the miscellaneous atlas's import,
// which returns once every entry is on disk, against copying the same files into a folder with
// cp followed by one sync (cp alone leaves its copies in the page cache).
#include "bench/BenchClock.h"
#include "bench/BenchData.h"
#include "bench/BenchMeasures.h"
#include "bench/BenchProgram.h"
#include "bench/BenchResult.h"
#include "bench/BenchRunner.h"
#include "bench/PhotoImage.h"

#include "data/TCatalogConnection.h"
#include "frames/UFrame_ZXTP.h"
#include "platform/TavelinError.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <cstdio>
#include <ctime>
#include <unistd.h>

namespace {

constexpr int kFiles = 500;
constexpr int kDistinct = 25;
constexpr int kTargetBytes = 1 << 20;

// The photograph size whose JPEG comes nearest to 1 MiB.
QSize sizeNearOneMiB()
{
    QSize best;
    qint64 bestGap = -1;
    for (int w = 1200; w <= 2800; w += 200) {
        const qint64 gap = qAbs(MakePhotoJpeg(w, w * 3 / 4, 1).size() - kTargetBytes);
        if (bestGap < 0 || gap < bestGap) {
            bestGap = gap;
            best = QSize(w, w * 3 / 4);
        }
    }
    return best;
}

QStringList fileNames(const QString &dir)
{
    QStringList files;
    for (int i = 0; i < kFiles; ++i)
        files << QDir(dir).filePath(QStringLiteral("IMG_%1.jpg").arg(i + 1, 4, 10, QLatin1Char('0')));
    return files;
}

void makeFiles(const QString &dir)
{
    const QSize size = sizeNearOneMiB();
    std::vector<QByteArray> pictures;
    for (int k = 0; k < kDistinct; ++k)
        pictures.push_back(MakePhotoJpeg(size.width(), size.height(), 5000 + k));
    const QStringList files = fileNames(dir);
    qint64 total = 0;
    for (int i = 0; i < kFiles; ++i) {
        // Each file its own: a comment naming it follows the start marker.
        QByteArray bytes = pictures[size_t(i % kDistinct)];
        const QByteArray note = QByteArray("file ") + QByteArray::number(i + 1);
        QByteArray segment;
        segment.append(char(0xFF)).append(char(0xFE));
        segment.append(char((note.size() + 2) >> 8)).append(char((note.size() + 2) & 0xFF));
        segment.append(note);
        bytes.insert(2, segment);
        QFile f(files[i]);
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            throw TavelinError(QStringLiteral("cannot write %1").arg(files[i]));
        total += bytes.size();
    }
    std::fprintf(stderr, "import500: %d files of %d x %d, %.2f MiB on average\n", kFiles, size.width(),
                 size.height(), double(total) / kFiles / (1 << 20));
}

} // namespace

void BenchImport(const TBenchOptions &options)
{
    const QString root = QDir(options.workDir).filePath(QStringLiteral("import500"));
    const QString filesDir = QDir(root).filePath(QStringLiteral("files"));
    if (!BenchDataReady(filesDir)) {
        std::fprintf(stderr, "import500: making the files ...\n");
        makeFiles(filesDir);
        MarkBenchDataReady(filesDir);
    }
    const QStringList files = fileNames(filesDir);
    const QString runDir = QDir(root).filePath(QStringLiteral("catalogue"));
    const QString copyDir = QDir(root).filePath(QStringLiteral("copy"));

    const auto figures = RunInTurn(
        {[&] {
             QDir(runDir).removeRecursively();
             QDir().mkpath(runDir);
             CatalogStore::Create(TBenchProgram::CataloguePath(runDir));
             double ms = 0;
             std::int64_t closing = 0;
             {
                 TBenchProgram program(runDir);
                 Tm_Frame_ZXTP frame;
                 frame.ActivateFrame();
                 ::sync(); // the previous run's writes are not this run's
                 timespec c0, c1;
                 clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &c0);
                 const std::int64_t t0 = BenchNowNs();
                 const int imported = frame.ImportFiles(files, QStringLiteral("导入"));
                 ms = BenchMsSince(t0);
                 clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &c1);
                 std::fprintf(stderr, "import500: ours %.0f ms, of which %.0f ms on the processor\n", ms,
                              (c1.tv_sec - c0.tv_sec) * 1e3 + (c1.tv_nsec - c0.tv_nsec) / 1e6);
                 if (imported != kFiles || frame.ListQuery()->RecordCount() != kFiles)
                     throw TavelinError(QStringLiteral("import500: %1 of %2 files imported").arg(imported).arg(kFiles));
                 closing = BenchNowNs();
             }
             // Not part of the figure: the import is on disk already; this is the log's copy into
             // the file, which runs in the background and which closing the catalogue waits for.
             std::fprintf(stderr, "import500: closing the catalogue right after took %.0f ms\n", BenchMsSince(closing));
             return ms;
         },
         [&] {
             QDir(copyDir).removeRecursively();
             QDir().mkpath(copyDir);
             ::sync();
             QProcess cp;
             const std::int64_t t0 = BenchNowNs();
             cp.start(QStringLiteral("cp"), QStringList(files) << copyDir);
             if (!cp.waitForFinished(600000) || cp.exitStatus() != QProcess::NormalExit || cp.exitCode() != 0)
                 throw TavelinError(QStringLiteral("import500: cp failed"));
             ::sync();
             return BenchMsSince(t0);
         }},
        options.runs);
    QDir(runDir).removeRecursively();
    QDir(copyDir).removeRecursively();

    TBenchResult r;
    r.name = QStringLiteral("import500");
    r.ours = Median(figures[0]);
    r.baseline = Median(figures[1]);
    r.unit = QStringLiteral("ms");
    r.goalOp = QStringLiteral("<=");
    r.goal = 1.5;
    PrintBenchResult(r);
}
