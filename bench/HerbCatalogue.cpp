// The 100,000-entry herb catalogue of search100k and startup100k, each entry with a 16 KiB
// picture in pic1, and beside it the baseline's table of the same names without pictures.
#include "bench/BenchMeasures.h"
#include "bench/BenchData.h"
#include "bench/BenchNames.h"
#include "bench/BenchProgram.h"
#include "bench/BulkCatalogue.h"
#include "bench/PhotoImage.h"

#include "data/PictureTransform.h"
#include "data/sqlite/TSqlStatement.h"
#include "platform/TMemoryStream.h"
#include "platform/TavelinError.h"

#include <QDir>

#include <cstdio>
#include <sqlite3.h>

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

void makeNamesTable(const QString &path)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        sqlite3_close_v2(db);
        throw TavelinError(QStringLiteral("cannot create %1").arg(path));
    }
    sqlite3_exec(db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN;"
                     "CREATE TABLE Names (RecordSN INTEGER PRIMARY KEY, DrugName VARCHAR(50), OtherName TEXT)",
                 nullptr, nullptr, nullptr);
    {
        TSqlStatement insert(db, QStringLiteral("INSERT INTO Names VALUES(?1, ?2, ?3)"));
        for (int i = 0; i < kEntries; ++i) {
            const THerbName n = MakeHerbName(std::uint64_t(i));
            insert.BindInt64(1, i + 1);
            insert.BindText(2, n.drugName);
            insert.BindText(3, n.otherName);
            insert.Step();
            insert.Reset();
        }
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close_v2(db);
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
    makeNamesTable(QDir(dir).filePath(QStringLiteral("names.sqlite")));
    MarkBenchDataReady(dir);
    return dir;
}
