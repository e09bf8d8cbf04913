// concurrent: many workstations on one catalogue server. Over the 100,000-entry herb catalogue,
// the herb frame's keystroke-to-repaint (text change to the grid's first paint) while 7 more
// workstations search and 2 import into the miscellaneous atlas, against the same keystrokes with
// this workstation alone (before and after, so a change in the machine's load weighs on both). The
// other workstations are processes of their own (search_client, import_client), running until the
// stop file appears. They stand for computers of their own: what they do themselves (building their
// lists, painting) yields to the measured workstation, while their statements compete with its
// statements in the server as they would in a clinic. The searching ones type as people do, a
// keystroke every kKeystrokeMs; the importing ones store pictures one after the other, as an
// import of a folder does.
#include "bench/BenchClock.h"
#include "bench/BenchMeasures.h"
#include "bench/BenchProgram.h"
#include "bench/BenchResult.h"
#include "bench/PhotoImage.h"

#include "data/TCatalogStore.h"
#include "frames/UFrame_ZY.h"
#include "platform/TavelinError.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTableView>

#include <QThread>

#include <cstdio>
#include <memory>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kSearchers = 8; // this one included
constexpr int kImporters = 2;
constexpr int kClientMaxSeconds = 600;
constexpr int kKeystrokeMs = 250; // a quick typist, typing without pause

const QStringList kSearches{QStringLiteral("H"), QStringLiteral("S"), QStringLiteral("Z"),
                            QStringLiteral("GC"), QStringLiteral("HQ"), QStringLiteral("DS"),
                            QStringLiteral("BZS"), QStringLiteral("HQJ"), QStringLiteral("SDG")};

QString stopFile(const TBenchOptions &options)
{
    return QDir(options.workDir).filePath(QStringLiteral("concurrent.stop"));
}

QString serverOrThrow()
{
    const QString server = qEnvironmentVariable("TAVELIN_BENCH_SERVER");
    if (server.isEmpty())
        throw TavelinError(QStringLiteral("concurrent runs against a catalogue server: set TAVELIN_BENCH_SERVER"));
    return server;
}

// The herb frame on the server, typing one search after the other.
class TSearchingWorkstation {
public:
    explicit TSearchingWorkstation(const QString &dir) : m_program(dir)
    {
        m_frame.resize(650, 490);
        m_frame.show();
        QApplication::processEvents();
        m_frame.ActivateFrame();
        m_edit = m_frame.findChild<QLineEdit *>(QStringLiteral("m_Edit_ZYPinYin"));
        m_grid = m_frame.findChild<QTableView *>(QStringLiteral("m_DBGrid_ZY"));
        if (!m_edit || !m_grid)
            throw TavelinError(QStringLiteral("concurrent: the frame has no search box or grid"));
        m_canvas = QImage(m_grid->size(), QImage::Format_ARGB32_Premultiplied);
    }
    double Keystroke(const QString &text)
    {
        QApplication::processEvents();
        const std::int64_t t0 = BenchNowNs();
        m_edit->setText(text);
        m_grid->render(&m_canvas);
        return BenchMsSince(t0);
    }
    // Keystrokes over rounds of every search, appended to ms.
    void Rounds(int rounds, std::vector<double> &ms)
    {
        for (int round = 0; round < rounds; ++round)
            for (const QString &s : kSearches) {
                m_edit->setText(QString()); // each search a fresh change of the text
                ms.push_back(Keystroke(s));
            }
    }

private:
    TBenchProgram m_program;
    Tm_Frame_ZY m_frame;
    QLineEdit *m_edit = nullptr;
    QTableView *m_grid = nullptr;
    QImage m_canvas;
};

// Another workstation's own processor work comes after the measured one's (see the top).
void RunAsAnotherComputer()
{
    if (::nice(10) == -1)
        std::perror("concurrent: nice");
}

} // namespace

void BenchSearchClient(const TBenchOptions &options)
{
    serverOrThrow();
    RunAsAnotherComputer();
    TSearchingWorkstation ws(HerbCatalogueDir(options));
    std::printf("ready\n");
    std::fflush(stdout);
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; !QFile::exists(stopFile(options)) && clock.elapsed() < kClientMaxSeconds * 1000; ++i) {
        const double ms = ws.Keystroke(kSearches[i % kSearches.size()]);
        if (ms < kKeystrokeMs)
            QThread::msleep(static_cast<unsigned long>(kKeystrokeMs - ms));
    }
}

void BenchImportClient(const TBenchOptions &options)
{
    const QString location = TBenchProgram::ServerCopyOf(HerbCatalogueDir(options), serverOrThrow());
    RunAsAnotherComputer();
    auto store = CatalogStore::Open(location);
    const QByteArray picture = MakePhotoJpeg(320, 240, 80);
    std::printf("ready\n");
    std::fflush(stdout);
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; !QFile::exists(stopFile(options)) && clock.elapsed() < kClientMaxSeconds * 1000; ++i) {
        TEntryValues values{{QStringLiteral("TypeName"), QStringLiteral("bench")},
                            {QStringLiteral("ItemName"), QStringLiteral("import %1").arg(i)},
                            {QStringLiteral("pic1"), picture}};
        store->InsertEntry(QStringLiteral("KVR_ZXTPPicture"), values);
    }
}

void BenchConcurrent(const TBenchOptions &options)
{
    serverOrThrow();
    const QString dir = HerbCatalogueDir(options);
    QFile::remove(stopFile(options));
    TSearchingWorkstation ws(dir); // loads the server on the first run
    std::vector<double> warmUp, aloneMs, loadedMs;
    ws.Rounds(1, warmUp);
    ws.Rounds(options.runs, aloneMs);

    std::vector<std::unique_ptr<QProcess>> others;
    auto start = [&](const char *role) {
        auto p = std::make_unique<QProcess>();
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(role), options.workDir});
        others.push_back(std::move(p));
    };
    for (int i = 1; i < kSearchers; ++i)
        start("search_client");
    for (int i = 0; i < kImporters; ++i)
        start("import_client");
    for (auto &p : others)
        if (!p->waitForReadyRead(120000))
            throw TavelinError(QStringLiteral("concurrent: a workstation process did not start"));

    ws.Rounds(1, warmUp);
    ws.Rounds(options.runs, loadedMs);
    const double loaded = Median(loadedMs);

    QFile stop(stopFile(options));
    stop.open(QIODevice::WriteOnly);
    stop.close();
    for (auto &p : others)
        if (!p->waitForFinished(30000)) {
            p->kill();
            p->waitForFinished(5000);
        }
    QFile::remove(stopFile(options));
    ws.Rounds(options.runs, aloneMs); // alone again
    const double alone = Median(aloneMs);
    std::fprintf(stderr, "concurrent: keystroke alone %.1f ms, with %d searching and %d importing %.1f ms\n", alone,
                 kSearchers - 1, kImporters, loaded);

    TBenchResult r;
    r.name = QStringLiteral("concurrent8x2");
    r.ours = loaded;
    r.baseline = alone;
    r.unit = QStringLiteral("ms");
    r.goalOp = QStringLiteral("<=");
    r.goal = 2;
    PrintBenchResult(r);
}
