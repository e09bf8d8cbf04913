#include "support/ProgramRun.h"
#include "support/TestSupport.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

using TestSupport::ProjectVersion;
using TestSupport::RunCatalogTool;
using TestSupport::TProgramRun;

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

} // namespace

class TestCatalogTool : public QObject {
    Q_OBJECT
    QTemporaryDir m_runtime;

private slots:
    void initTestCase()
    {
        // Without a runtime folder Qt warns on standard error, which the tool's own output is checked for.
        QVERIFY(m_runtime.isValid());
        QFile::setPermissions(m_runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
    }

    void createAddExportInfo()
    {
        QTemporaryDir dir;
        const QString db = dir.filePath("c.mdb");
        QCOMPARE(RunCatalogTool({"create", db}).code, 0);
        const QByteArray created = readAll(db);
        TProgramRun again = RunCatalogTool({"create", db});
        QCOMPARE(again.code, 2);
        QVERIFY(again.err.contains("already exists"));
        QCOMPARE(readAll(db), created);

        const QByteArray a = TestSupport::MakeJpeg(64, 48), b = TestSupport::MakeJpeg(30, 90);
        QFile fa(dir.filePath("a.jpg")), fb(dir.filePath("b.jpg"));
        QVERIFY(fa.open(QIODevice::WriteOnly) && fb.open(QIODevice::WriteOnly));
        fa.write(a);
        fb.write(b);
        fa.close();
        fb.close();

        TProgramRun add = RunCatalogTool({"add", db, "ZY", "--name", QStringLiteral("甘草"), "--other", "GC", fa.fileName(), fb.fileName()});
        QCOMPARE(add.code, 0);
        QCOMPARE(add.out.trimmed(), QStringLiteral("1"));
        QCOMPARE(RunCatalogTool({"add", db, "ZXTP", "--name", "x", fb.fileName()}).out.trimmed(), QStringLiteral("1"));

        const QString out = dir.filePath("out.jpg");
        QCOMPARE(RunCatalogTool({"export-picture", db, "ZY", "1", "2", out}).code, 0);
        QCOMPARE(readAll(out), b); // transform reversed
        QCOMPARE(RunCatalogTool({"export-picture", db, "ZXTP", "1", "1", out}).code, 0);
        QCOMPARE(readAll(out), b);
        QCOMPARE(RunCatalogTool({"export-picture", db, "ZY", "1", "3", out}).code, 1); // empty slot
        QCOMPARE(RunCatalogTool({"export-picture", db, "ZY", "9", "1", out}).code, 1); // no such entry
        QCOMPARE(RunCatalogTool({"export-picture", db, "ZY", "1", "8", out}).code, 2); // no such slot
        QCOMPARE(RunCatalogTool({"export-picture", db, "QQ", "1", "1", out}).code, 2);

        TProgramRun info = RunCatalogTool({"info", db});
        QCOMPARE(info.code, 0);
        QVERIFY2(info.out.contains(QRegularExpression("ZY\\s+KVR_ZYPicture\\s+1\\s+2\\s+" + QString::number(a.size() + b.size()))),
                 qPrintable(info.out));
    }

    void failedCommandsChangeNothing()
    {
        QTemporaryDir dir;
        const QString db = dir.filePath("c.mdb");
        QCOMPARE(RunCatalogTool({"create", db}).code, 0);
        const QByteArray before = readAll(db);
        QCOMPARE(RunCatalogTool({"add", db, "ZYZJ", "--name", "n", dir.filePath("missing.jpg")}).code, 2);
        QCOMPARE(RunCatalogTool({"add", db, "ZYZJ", "--name", "n", "1", "2", "3", "4", "5"}).code, 2); // more files than slots
        QCOMPARE(RunCatalogTool({"add", db, "ZYZJ", "--other", "n"}).code, 2);                          // no --name
        QCOMPARE(RunCatalogTool({"frobnicate"}).code, 2);
        QCOMPARE(readAll(db), before);
        QCOMPARE(RunCatalogTool({"info", dir.filePath("none.mdb")}).code, 2);
        QVERIFY(!QFile::exists(dir.filePath("none.mdb")));
    }

    // Help and version asked for go to standard output and end with 0; the usage after a wrong call
    // goes to standard error and ends with 2, so a script can tell them apart.
    void helpVersionAndWrongCalls_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("out"); // a pattern standard output matches as a whole
        QTest::addColumn<QString>("err");
        const QString usage = QStringLiteral("Usage: tavelin-catalog COMMAND [^\\n]*\\n(.*\\n)+");
        QTest::newRow("--help") << QStringList{"--help"} << 0 << usage << "";
        QTest::newRow("-h") << QStringList{"-h"} << 0 << usage << "";
        QTest::newRow("--version") << QStringList{"--version"} << 0
                                   << "tavelin-catalog \\(Tavelin\\) " + QRegularExpression::escape(ProjectVersion()) + "\\n"
                                   << "";
        QTest::newRow("no command") << QStringList{} << 2 << "" << usage;
        QTest::newRow("unknown option") << QStringList{"--frobnicate"} << 2 << ""
                                        << "tavelin-catalog: unknown command '--frobnicate'\\n" + usage;
    }

    void helpVersionAndWrongCalls()
    {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QVERIFY(!ProjectVersion().isEmpty());
        const TProgramRun r = RunCatalogTool(args);
        QCOMPARE(r.code, code);
        const auto whole = [](const QString &pattern) {
            return QRegularExpression(QRegularExpression::anchoredPattern(pattern), QRegularExpression::DotMatchesEverythingOption);
        };
        QVERIFY2(whole(out).match(r.out).hasMatch(), qPrintable(r.out));
        QVERIFY2(whole(err).match(r.err).hasMatch(), qPrintable(r.err));
    }

    void createMakesTheMissingFolders()
    {
        QTemporaryDir dir;
        const QString db = dir.filePath("data/tavelin/KVRJetLib.mdb");
        const TProgramRun r = RunCatalogTool({"create", db});
        QCOMPARE(r.code, 0);
        QVERIFY(QFileInfo(db).isFile());
        QCOMPARE(RunCatalogTool({"info", db}).code, 0);
    }
};

QTEST_GUILESS_MAIN(TestCatalogTool)
#include "test_catalog_tool.moc"
