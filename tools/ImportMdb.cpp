// import-mdb: converts a Jet catalogue file into a new Tavelin catalogue.
#include "data/CatalogSchema.h"
#include "data/PictureTransform.h"
#include "data/TCatalogConnection.h"
#include "data/TSqlStatement.h"
#include "tools/CatalogCommands.h"
#include "tools/TMdbImporter.h"
#include "tools/ToolSupport.h"

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

struct TBadSlot {
    QString code;
    qint64 key;
    int slot;
    qint64 size;
};

// Until the full decoding check is at hand: every filled slot's plain bytes must begin like a JPEG.
QVector<TBadSlot> slotsNotLikeJpeg(const QString &path)
{
    TCatalogConnection conn;
    OpenCatalogue(conn, path);
    QVector<TBadSlot> bad;
    for (const TAtlasDef &a : CatalogSchema::Atlases()) {
        for (int k = 1; k <= a.slotCount; ++k) {
            TSqlStatement st(conn.Handle(),
                             QStringLiteral("SELECT t.RecordSN, substr(d.Bytes, 1, 3), length(d.Bytes) FROM %1 t JOIN %2 d "
                                            "ON d.PictureID = t.%3 WHERE length(d.Bytes) > 0 ORDER BY t.RecordSN")
                                 .arg(a.table, QLatin1String(CatalogSchema::kPictureDataTable), CatalogSchema::SlotColumn(k)));
            while (st.Step()) {
                QByteArray head = st.Blob(1);
                if (a.transformed)
                    PictureTransform::DecodeBuffer(reinterpret_cast<std::uint8_t *>(head.data()), std::size_t(head.size()));
                if (!head.startsWith("\xFF\xD8\xFF"))
                    bad.append({a.code, st.Int64(0), k, st.Int64(2)});
            }
        }
    }
    return bad;
}

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

void printCheck(const QString &destination)
{
    const QVector<TBadSlot> bad = slotsNotLikeJpeg(destination);
    if (bad.isEmpty()) {
        std::printf("Check of the new catalogue: every filled slot begins like a JPEG file (header check only; "
                    "tavelin-catalog verify decodes them).\n");
        return;
    }
    std::printf("Check of the new catalogue: %lld filled slots do not begin like a JPEG file; they were copied as the "
                "source holds them and will show no picture:\n",
                qint64(bad.size()));
    for (const TBadSlot &b : bad)
        std::printf("  %s RecordSN %lld pic%d (%lld bytes)\n", qPrintable(b.code), b.key, b.slot, b.size);
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
