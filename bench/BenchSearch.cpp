// search100k: one keystroke in the herb frame's search box over 100,000 entries (text change to
// the grid's model reset and first paint), against the same LIKE search stepped through SQLite's
// C API over a table of the names alone.
#include "bench/BenchClock.h"
#include "bench/BenchMeasures.h"
#include "bench/BenchProgram.h"
#include "bench/BenchResult.h"

#include "bench/SqliteNamesBaseline.h"
#include "data/TCatalogQuery.h"
#include "frames/SearchStatement.h"
#include "frames/UFrame_ZY.h"
#include "platform/TavelinError.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTableView>

#include <cstdio>

namespace {

// One to three letters, as typed: pinyin initials of varied frequency.
const QStringList kSearches{QStringLiteral("H"), QStringLiteral("S"), QStringLiteral("Z"),
                            QStringLiteral("GC"), QStringLiteral("HQ"), QStringLiteral("DS"),
                            QStringLiteral("BZS"), QStringLiteral("HQJ"), QStringLiteral("SDG")};

// The statement the frame runs for v, on the baseline's table.
QString baselineSql(const QString &v)
{
    QStringList lines = SearchStatement::SearchLines(
        QStringLiteral("select DrugName, OtherName, RecordSN from Names\r\n"), QStringLiteral("DrugName"),
        QStringLiteral("OtherName"), v);
    return lines.join(QStringLiteral("\r\n"));
}

} // namespace

void BenchSearch(const TBenchOptions &options)
{
    const QString dir = HerbCatalogueDir(options);
    TSqliteNamesBaseline names(QDir(dir).filePath(QStringLiteral("names.sqlite")));

    TBenchProgram program(dir);
    Tm_Frame_ZY frame;
    frame.resize(650, 490);
    frame.show();
    QApplication::processEvents();
    frame.ActivateFrame();
    auto *edit = frame.findChild<QLineEdit *>(QStringLiteral("m_Edit_ZYPinYin"));
    auto *grid = frame.findChild<QTableView *>(QStringLiteral("m_DBGrid_ZY"));
    if (!edit || !grid)
        throw TavelinError(QStringLiteral("search100k: the frame has no search box or grid"));
    QImage canvas(grid->size(), QImage::Format_ARGB32_Premultiplied);

    const int n = int(kSearches.size());
    std::vector<int> expected(n, -1);
    auto baseline = [&](int i) {
        const std::int64_t t0 = BenchNowNs();
        const int rows = names.CountRows(baselineSql(kSearches[i]));
        const double ms = BenchMsSince(t0);
        expected[i] = rows;
        return ms;
    };
    auto ours = [&](int i) {
        QApplication::processEvents();
        const std::int64_t t0 = BenchNowNs();
        edit->setText(kSearches[i]);
        grid->render(&canvas);
        const double ms = BenchMsSince(t0);
        if (grid->model()->rowCount() != expected[i])
            throw TavelinError(QStringLiteral("search100k: %1 listed %2 rows, the baseline %3")
                                   .arg(kSearches[i])
                                   .arg(grid->model()->rowCount())
                                   .arg(expected[i]));
        return ms;
    };

    for (int i = 0; i < n; ++i)
        baseline(i); // the row counts ours is checked against

    // Searches follow one another, each a change of the text; ours and the baseline take turns
    // going first. The first round warms up.
    std::vector<std::vector<double>> oursMs(n), baseMs(n);
    for (int round = 0; round <= options.runs; ++round) {
        for (int i = 0; i < n; ++i) {
            double o, b;
            if ((round + i) % 2) {
                b = baseline(i);
                o = ours(i);
            } else {
                o = ours(i);
                b = baseline(i);
            }
            if (round > 0) {
                oursMs[i].push_back(o);
                baseMs[i].push_back(b);
            }
        }
    }
    std::vector<double> oursMedians, baseMedians;
    for (int i = 0; i < n; ++i) {
        oursMedians.push_back(Median(oursMs[i]));
        baseMedians.push_back(Median(baseMs[i]));
        std::fprintf(stderr, "search100k: %-3s %6d rows  ours %7.1f ms  baseline %6.1f ms\n",
                     kSearches[i].toUtf8().constData(), expected[i], oursMedians.back(), baseMedians.back());
    }

    TBenchResult r;
    r.name = QStringLiteral("search100k");
    r.ours = Median(oursMedians);
    r.baseline = Median(baseMedians);
    r.unit = QStringLiteral("ms");
    r.goalOp = QStringLiteral("<=");
    r.goal = 2;
    PrintBenchResult(r);
}
