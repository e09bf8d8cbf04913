// Faults while the miscellaneous atlas imports pictures: the disk fills up, or the process is
// killed. A child process (this executable, started with --import-child) runs the atlas's import
// command on JPEG files and prints each RecordSN once its row is posted. Afterwards the catalogue must
// pass SQLite's integrity check, hold every reported row with its exact bytes and no stray
// picture data, and the error the child reported must say what failed.
#include "data/CatalogSchema.h"
#include "data/TCatalogConnection.h"
#include "data/TCatalogQuery.h"
#include "data/UDataLibModule.h"
#include "frames/UFrame_ZXTP.h"
#include "glo/GlobalObjects.h"
#include "platform/ErrorReport.h"
#include "platform/TMemoryStream.h"
#include "platform/TavelinError.h"
#include "support/ModalBoxes.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <functional>
#include <cstdio>
#include <sys/resource.h>


namespace {

constexpr const char *kChildSwitch = "--import-child";

// ---- The child: the miscellaneous atlas's own import command (menu item "导入一个/多个JPG图片")
// with its dialogs answered: the files chosen, the category "faults", the confirmation. It prints
// each RecordSN once its row is posted, and the error the program reports, if any.

using Answer = std::function<void(QWidget *)>;

void answerChain(QList<Answer> steps)
{
    if (steps.isEmpty())
        return;
    const Answer first = steps.takeFirst();
    TestSupport::WhenModal(
        [first, steps](QWidget *w) {
            first(w);
            answerChain(steps);
        },
        60000);
}

int importChild(int argc, char **argv)
{
    // argv after the switch: catalogue, file-size limit in bytes (0: none), files...
    if (argc < 5)
        return 2;
    QApplication app(argc, argv);
    const QString catalogue = QString::fromLocal8Bit(argv[2]);
    const qint64 limit = QByteArray(argv[3]).toLongLong();
    QStringList files;
    for (int i = 4; i < argc; ++i)
        files << QString::fromLocal8Bit(argv[i]);
    if (limit > 0) {
        // A full disk: writes past the limit fail with EFBIG instead of killing the process.
        std::signal(SIGXFSZ, SIG_IGN);
        rlimit rl{rlim_t(limit), rlim_t(limit)};
        if (setrlimit(RLIMIT_FSIZE, &rl) != 0)
            return 2;
    }
    QDir::setCurrent(QFileInfo(catalogue).absolutePath());
    QString error;
    SetStandardErrorSink([&](const QString &m) { error = m; });
    CreateGlobalObjects();
    int status = 0;
    {
        Tm_DataLibModule module;
        m_DataLibModule = &module;
        if (!module.m_ADOConnection_KVR->Connected())
            return 2;
        Tm_Frame_ZXTP frame;
        frame.ActivateFrame();
        TCatalogQuery *list = frame.ListQuery();
        QObject::connect(list, &TCatalogQuery::rowAppended, [list](int row) {
            std::printf("imported %lld %s\n", list->Value(row, list->FieldIndex(QStringLiteral("RecordSN"))).toLongLong(),
                        qPrintable(list->Value(row, list->FieldIndex(QStringLiteral("ItemName"))).toString()));
            std::fflush(stdout);
        });
        answerChain({[&](QWidget *w) {
                         auto *dialog = qobject_cast<QFileDialog *>(w);
                         dialog->setDirectory(QFileInfo(files.first()).absolutePath());
                         QStringList quoted;
                         for (const QString &f : files)
                             quoted << QLatin1Char('"') + QFileInfo(f).fileName() + QLatin1Char('"');
                         dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(quoted.join(QLatin1Char(' ')));
                         static_cast<QDialog *>(dialog)->accept();
                     },
                     [](QWidget *w) {
                         w->findChild<QLineEdit *>(QStringLiteral("m_strContent"))->setText(QStringLiteral("faults"));
                         w->findChild<QPushButton *>(QStringLiteral("m_Button_OK"))->click();
                     },
                     [](QWidget *w) { qobject_cast<QMessageBox *>(w)->button(QMessageBox::Yes)->click(); },
                     [](QWidget *w) { qobject_cast<QMessageBox *>(w)->button(QMessageBox::Ok)->click(); }});
        frame.JPG1Click();
        if (!error.isEmpty()) {
            std::printf("error %s\n", qPrintable(error.simplified()));
            status = 3;
        } else {
            std::printf("done\n");
        }
        std::fflush(stdout);
        m_DataLibModule = nullptr;
    }
    FreeGlobalObjects();
    return status;
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

// count files cycling through pictures of a few sizes (30 to 200 KiB), so that a write is cut at
// many places.
QStringList makePictures(const QString &folder, int count)
{
    QList<QByteArray> pictures;
    const QList<QSize> sizes = {{640, 480}, {320, 240}, {800, 600}, {480, 360}, {720, 540}, {400, 300}};
    for (int i = 0; i < sizes.size(); ++i)
        pictures << TestSupport::MakeJpeg(sizes[i].width(), sizes[i].height(), QColor::fromHsv(i * 50, 200, 220), 97);
    QStringList files;
    for (int i = 0; i < count; ++i) {
        const QString path = QDir(folder).filePath(QStringLiteral("picture-%1.jpg").arg(i + 1, 3, 10, QLatin1Char('0')));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly))
            return {};
        f.write(pictures[i % pictures.size()]);
        files << path;
    }
    return files;
}

QString integrityCheck(const QString &path)
{
    // Opened for writing, so that a write-ahead log left by the killed child is recovered first.
    try {
        const QString problems = CatalogStore::Open(path)->IntegrityProblems();
        return problems.isEmpty() ? QStringLiteral("ok") : problems;
    } catch (const TavelinError &e) {
        return e.message();
    }
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
    QCOMPARE(c.Store().UnreferencedPictureCount(), qint64(0));
}

QProcess *startChild(QObject *owner, const QString &catalogue, qint64 limit, const QStringList &files)
{
    auto *child = new QProcess(owner);
    child->setProgram(QCoreApplication::applicationFilePath());
    child->setArguments(QStringList{QString::fromLatin1(kChildSwitch), catalogue, QString::number(limit)} + files);
    child->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child->setProcessEnvironment(env);
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
    const QStringList files = makePictures(dir.path(), 18);
    QVERIFY(!files.isEmpty());
    // Room for a few pictures more than the empty catalogue holds.
    const qint64 limit = QFileInfo(catalogue).size() + 600 * 1024;
    QProcess *child = startChild(this, catalogue, limit, files);
    QVERIFY(child->waitForFinished(120000));
    const TChildReport report = parseReport(child->readAllStandardOutput());
    qInfo("%lld imported, then: %s", qint64(report.imported.size()), qPrintable(report.error));
    QCOMPARE(child->exitCode(), 3);
    QVERIFY2(report.imported.size() >= 1, "the limit left no room for a single picture");
    QVERIFY2(report.imported.size() < files.size(), "the disk never filled up");
    QVERIFY2(report.error.contains(QLatin1String("KVR_ZXTPPicture")), qPrintable(report.error));
    // The failed write, and which file it was.
    QVERIFY2(report.error.contains(QStringLiteral("写入图库文件 \"%1\"失败").arg(catalogue)), qPrintable(report.error));
    QVERIFY2(report.error.contains(QStringLiteral("磁盘")), qPrintable(report.error));
    verifyImported(catalogue, dir.path(), report, 0);
}

void TestWriteFaults::processKilledDuringAnImport()
{
    QTemporaryDir dir;
    const QString catalogue = dir.filePath("KVRJetLib.mdb");
    TestSupport::MakeCatalogue(catalogue);
    const QStringList files = makePictures(dir.path(), 150);
    QVERIFY(!files.isEmpty());
    // Three kills at different moments, each on the catalogue the previous one left.
    TChildReport all;
    for (int kill = 0; kill < 3; ++kill) {
        QProcess *child = startChild(this, catalogue, 0, files);
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
    if (argc > 1 && qstrcmp(argv[1], kChildSwitch) == 0)
        return importChild(argc, argv);
    QCoreApplication app(argc, argv);
    TestWriteFaults tc;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&tc, argc, argv);
}

#include "test_write_faults.moc"
