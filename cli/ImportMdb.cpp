// import-mdb: converts a Jet catalogue file into a new Tavelin catalogue.
#include "cli/CatalogCommands.h"
#include "jet/TMdbImporter.h"
#include "cli/ToolSupport.h"

#include <QDir>
#include <QElapsedTimer>

#include <cstdio>

namespace CatalogTool {
namespace {

QString megabytes(qint64 bytes)
{
    return QString::number(double(bytes) / (1024.0 * 1024.0), 'f', 1);
}

// Progress on stderr: a line per atlas when it is done, and one a second while a long one runs.
class TProgressPrinter {
public:
    TProgressPrinter() { m_timer.start(); }
    void operator()(const TImportProgress &p)
    {
        if (!p.atlasDone && m_timer.elapsed() < 1000)
            return;
        m_timer.start();
        std::fprintf(stderr, "import-mdb: %-5s %-16s %6lld of %lld rows, %s of %s MiB%s\n", qPrintable(p.code),
                     qPrintable(p.table), p.rowsDone, p.rowsTotal, qPrintable(megabytes(p.bytesDone)),
                     qPrintable(megabytes(p.bytesTotal)), p.atlasDone ? " done" : "");
        std::fflush(stderr);
    }

private:
    QElapsedTimer m_timer;
};

void printSummary(const QString &source, const QString &destination, const TImportReport &report)
{
    std::printf("Converted %s (%s) into %s.\n", qPrintable(QDir::toNativeSeparators(source)),
                qPrintable(report.sourceFormat), qPrintable(QDir::toNativeSeparators(destination)));
    std::printf("%-6s %-18s %8s %13s %12s %15s %10s\n", "atlas", "table", "entries", "filled slots", "empty slots",
                "picture bytes", "next key");
    for (const TAtlasImport &a : report.atlases) {
        if (a.missingInSource) {
            std::printf("%-6s %-18s %8s  (not in the source: created empty)\n", qPrintable(a.code), qPrintable(a.table),
                        "0");
            continue;
        }
        std::printf("%-6s %-18s %8lld %13lld %12lld %15lld %10lld\n", qPrintable(a.code), qPrintable(a.table), a.rows,
                    a.filledSlots, a.emptySlots, a.pictureBytes, a.keySequence + 1);
    }
    if (!report.extraTables.isEmpty())
        std::printf("Tables of the source that are no atlas, not converted: %s\n",
                    qPrintable(report.extraTables.join(QStringLiteral(", "))));
    if (!report.ignoredColumns.isEmpty())
        std::printf("Columns of the source that no atlas has, not converted: %s\n",
                    qPrintable(report.ignoredColumns.join(QStringLiteral(", "))));
}

// The new catalogue goes through the same check as any other: every picture decoded.
void printCheck(const QString &destination)
{
    std::printf("Check of the new catalogue (tavelin-catalog verify):\n");
    std::fflush(stdout);
    const int result = Verify({destination});
    std::fflush(stdout);
    if (result == kExitOk)
        std::printf("Every picture decodes.\n");
    else
        std::printf("The slots listed above hold no readable picture; they were copied as the source holds them "
                    "(the old program could not show them either).\n");
}

} // namespace

int ImportMdb(const QStringList &args)
{
    if (args.size() != 2 || args[0].startsWith(QLatin1String("-")) || args[1].startsWith(QLatin1String("-"))) {
        Complain(QStringLiteral("usage: tavelin-catalog import-mdb SRC DEST  (DEST must not exist)"));
        return kExitBadInput;
    }
    TMdbImporter importer(args[0], args[1]);
    TProgressPrinter printer;
    importer.SetProgressHandler([&printer](const TImportProgress &p) { printer(p); });
    const TImportReport report = importer.Run();
    printSummary(args[0], args[1], report);
    printCheck(args[1]);
    return kExitOk;
}

} // namespace CatalogTool
