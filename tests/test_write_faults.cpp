// Faults while the miscellaneous atlas imports pictures: the disk fills up, or the process is
// killed. A child process (this executable, started with --import-child) imports JPEG files as
// new entries and prints each RecordSN once its row is posted. Afterwards the catalogue must
// pass SQLite's integrity check, hold every reported row with its exact bytes and no stray
// picture data, and the error the child reported must say what failed.
#include "data/CatalogSchema.h"
#include "data/TCatalogConnection.h"
#include "data/TCatalogQuery.h"
#include "picture/TJPEGImage.h"
#include "platform/TMemoryStream.h"
#include "platform/TavelinError.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstdio>
#include <sys/resource.h>

#include <sqlite3.h>

namespace {

constexpr const char *kChildSwitch = "--import-child";

// ---- The child: import the files in order, `rounds` times over; print each posted RecordSN.

int importChild(const QStringList &args)
{
    // args: catalogue, file-size limit in bytes (0: none), rounds, files...
    if (args.size() < 4)
        return 2;
    const QString catalogue = args[0];
    const qint64 limit = args[1].toLongLong();
    const int rounds = args[2].toInt();
    const QStringList files = args.mid(3);
    if (limit > 0) {
        // A full disk: writes past the limit fail with EFBIG instead of killing the process.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit rl{rlim_t(limit), rlim_t(limit)};
        if (setrlimit(RLIMIT_FSIZE, &rl) != 0)
            return 2;
    }
    try {
        TCatalogConnection connection;
        connection.SetConnectionString(TCatalogConnection::ConnectionStringForFile(catalogue));
        connection.SetConnected(true);
        TCatalogQuery list;
        list.SetConnection(&connection);
        list.SQL() << CatalogSchema::FindAtlas(QStringLiteral("ZXTP"))->listSql;
        list.Open();
        TMemoryStream buffer;
        TJPEGImage picture;
        for (int round = 0; round < rounds; ++round) {
            for (const QString &path : files) {
                buffer.Clear();
                QFile file(path);
                if (!file.open(QIODevice::ReadOnly))
                    throw TavelinError(file.errorString());
                buffer.Write(file.readAll());
                picture.LoadFromBytes(buffer.Bytes()); // the header must parse, as the import requires
                buffer.SetPosition(0);
                list.Append();
                list.BlobFromStream(QStringLiteral("pic1"), buffer);
                list.SetFieldText(QStringLiteral("TypeName"), QStringLiteral("faults"));
                list.SetFieldText(QStringLiteral("ItemName"), QFileInfo(path).fileName());
                list.Post();
                std::printf("imported %d %s\n", list.FieldAsInteger(QStringLiteral("RecordSN")),
                            qPrintable(QFileInfo(path).fileName()));
                std::fflush(stdout);
            }
        }
    } catch (const TavelinError &e) {
        std::printf("error %s\n", qPrintable(e.message().simplified()));
        std::fflush(stdout);
        return 3;
    }
    std::printf("done\n");
    return 0;
}

// ---- The parent's checks

struct TChildReport {
    QList<QPair<int, QString>> imported; // RecordSN, file name
    QString error;
    bool done = false;
};

TChildReport parseReport(const QByteArray &out)
{
    TChildReport r;
    for (const QByteArray &raw : out.split('\n')) {
        const QString line = QString::fromUtf8(raw);
        if (line.startsWith(QLatin1String("imported "))) {
            const QStringList parts = line.split(QLatin1Char(' '));
            if (parts.size() >= 3)
                r.imported.append({parts[1].toInt(), parts.mid(2).join(QLatin1Char(' '))});
        } else if (line.startsWith(QLatin1String("error "))) {
            r.error = line.mid(6);
        } else if (line == QLatin1String("done")) {
            r.done = true;
        }
    }
    return r;
}

QStringList makePictures(const QString &folder)
{
    // Pictures of a few sizes, 30 to 200 KiB, so that a write is cut at many places.
    QStringList files;
    const QList<QSize> sizes = {{640, 480}, {320, 240}, {800, 600}, {480, 360}, {720, 540}, {400, 300}};
    for (int i = 0; i < sizes.size(); ++i) {
        const QString path = QDir(folder).filePath(QStringLiteral("picture-%1.jpg").arg(i + 1));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return {};
        f.write(TestSupport::MakeJpeg(sizes[i].width(), sizes[i].height(), QColor::fromHsv(i * 50, 200, 220), 97));
        files << path;
    }
    return files;
}

QString integrityCheck(const QString &path)
{
    sqlite3 *db = nullptr;
    QString result;
    // Read-write, so that a write-ahead log left by the killed child is recovered first.
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
        sqlite3_stmt *st = nullptr;
        if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &st, nullptr) == SQLITE_OK) {
            while (sqlite3_step(st) == SQLITE_ROW)
                result += QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(st, 0))) + QLatin1Char(' ');
        } else {
            result = QString::fromUtf8(sqlite3_errmsg(db));
        }
        sqlite3_finalize(st);
    } else {
        result = QString::fromUtf8(sqlite3_errmsg(db));
    }
    sqlite3_close(db);
    return result.trimmed();
}

qint64 scalar(const QString &path, const QString &sql)
{
    TCatalogConnection c;
    c.SetConnectionString(TCatalogConnection::ConnectionStringForFile(path));
    c.SetConnected(true);
    sqlite3_stmt *st = nullptr;
    qint64 v = -1;
    if (sqlite3_prepare_v2(c.Handle(), sql.toUtf8().constData(), -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
        v = sqlite3_column_int64(st, 0);
    sqlite3_finalize(st);
    return v;
}

// Every reported row is there with its file's bytes; the rows of the table are the reported
// ones plus at most `unreported` whose report the child could not print; no picture data is
// left without an entry.
void verifyImported(const QString &catalogue, const QString &folder, const TChildReport &report, int unreported)
{
    QCOMPARE(integrityCheck(catalogue), QStringLiteral("ok"));
    TCatalogConnection c;
    c.SetConnectionString(TCatalogConnection::ConnectionStringForFile(catalogue));
    c.SetConnected(true);
    TCatalogQuery list;
    list.SetConnection(&c);
    list.SQL() << CatalogSchema::FindAtlas(QStringLiteral("ZXTP"))->listSql;
    list.Open();
    QHash<int, int> rowOf;
    for (int r = 0; r < list.RecordCount(); ++r) {
        list.SetRecNo(r);
        rowOf.insert(list.FieldAsInteger(QStringLiteral("RecordSN")), r);
    }
    for (const auto &[sn, name] : report.imported) {
        QVERIFY2(rowOf.contains(sn), qPrintable(QStringLiteral("entry %1 (%2) was reported but is missing").arg(sn).arg(name)));
        list.SetRecNo(rowOf.value(sn));
        QCOMPARE(list.FieldAsString(QStringLiteral("ItemName")), name);
        TMemoryStream bytes;
        list.BlobToStream(QStringLiteral("pic1"), bytes);
        QFile f(QDir(folder).filePath(name));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY2(bytes.Bytes() == f.readAll(), qPrintable(QStringLiteral("the bytes of entry %1 differ").arg(sn)));
    }
    QVERIFY2(list.RecordCount() >= report.imported.size() && list.RecordCount() <= report.imported.size() + unreported,
             qPrintable(QStringLiteral("%1 rows for %2 reported").arg(list.RecordCount()).arg(report.imported.size())));
    QStringList referenced;
    for (const TAtlasDef &a : CatalogSchema::Atlases())
        for (int k = 1; k <= a.slotCount; ++k)
            referenced << QStringLiteral("SELECT %1 AS ref FROM %2").arg(CatalogSchema::SlotColumn(k), a.table);
    QCOMPARE(scalar(catalogue, QStringLiteral("SELECT count(*) FROM KVR_PictureData WHERE PictureID NOT IN "
                                              "(SELECT ref FROM (%1) WHERE ref IS NOT NULL)")
                                   .arg(referenced.join(QStringLiteral(" UNION ALL ")))),
             qint64(0));
}

QProcess *startChild(QObject *owner, const QString &catalogue, qint64 limit, int rounds, const QStringList &files)
{
    auto *child = new QProcess(owner);
    child->setProgram(QCoreApplication::applicationFilePath());
    child->setArguments(QStringList{QString::fromLatin1(kChildSwitch), catalogue, QString::number(limit),
                                    QString::number(rounds)}
                        + files);
    child->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child->start();
    return child;
}

} // namespace

class TestWriteFaults : public QObject {
    Q_OBJECT
private slots:
    void diskFullDuringAnImport();
    void processKilledDuringAnImport();
};

void TestWriteFaults::diskFullDuringAnImport()
{
    QTemporaryDir dir;
    const QString catalogue = dir.filePath("KVRJetLib.mdb");
    TestSupport::MakeCatalogue(catalogue);
    const QStringList files = makePictures(dir.path());
    QVERIFY(!files.isEmpty());
    // Room for a few pictures more than the empty catalogue holds.
    const qint64 limit = QFileInfo(catalogue).size() + 600 * 1024;
    QProcess *child = startChild(this, catalogue, limit, 3, files);
    QVERIFY(child->waitForFinished(120000));
    const TChildReport report = parseReport(child->readAllStandardOutput());
    qInfo("%lld imported, then: %s", qint64(report.imported.size()), qPrintable(report.error));
    QCOMPARE(child->exitCode(), 3);
    QVERIFY2(report.imported.size() >= 1, "the limit left no room for a single picture");
    QVERIFY2(report.imported.size() < 3 * files.size(), "the disk never filled up");
    QVERIFY2(report.error.contains(QLatin1String("KVR_ZXTPPicture")), qPrintable(report.error));
    QVERIFY2(report.error.contains(QLatin1String("writing to the catalogue file failed")), qPrintable(report.error));
    QVERIFY2(report.error.contains(QLatin1String("disk")), qPrintable(report.error));
    verifyImported(catalogue, dir.path(), report, 0);
}

void TestWriteFaults::processKilledDuringAnImport()
{
    QTemporaryDir dir;
    const QString catalogue = dir.filePath("KVRJetLib.mdb");
    TestSupport::MakeCatalogue(catalogue);
    const QStringList files = makePictures(dir.path());
    QVERIFY(!files.isEmpty());
    // Three kills at different moments, each on the catalogue the previous one left.
    TChildReport all;
    for (int kill = 0; kill < 3; ++kill) {
        QProcess *child = startChild(this, catalogue, 0, 1000, files);
        QVERIFY(child->waitForStarted());
        QByteArray out;
        const int wanted = all.imported.size() + 5 + 4 * kill;
        while (parseReport(out).imported.size() + all.imported.size() < wanted) {
            QVERIFY2(child->state() == QProcess::Running || child->waitForReadyRead(0), "the child ended early");
            child->waitForReadyRead(1000);
            out += child->readAllStandardOutput();
        }
        QTest::qWait(3 * kill); // vary where in the next write the kill lands
        child->kill();          // SIGKILL
        QVERIFY(child->waitForFinished(30000));
        out += child->readAllStandardOutput();
        const TChildReport report = parseReport(out);
        QVERIFY2(report.error.isEmpty(), qPrintable(report.error));
        all.imported += report.imported;
        verifyImported(catalogue, dir.path(), all, kill + 1);
    }
}

int main(int argc, char **argv)
{
    if (argc > 1 && qstrcmp(argv[1], kChildSwitch) == 0) {
        QCoreApplication app(argc, argv);
        return importChild(app.arguments().mid(2));
    }
    QCoreApplication app(argc, argv);
    TestWriteFaults tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "test_write_faults.moc"
