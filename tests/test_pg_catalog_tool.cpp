// tavelin-catalog with a catalogue on a server: copy in every direction, the other commands on a
// server, and two processes adding to the miscellaneous atlas at the same moment.
#include "data/TRowSet.h"
#include "data/postgres/TPgCatalogStore.h"
#include "support/ProgramRun.h"
#include "support/SqliteShell.h"
#include "support/TestPgServer.h"
#include "support/TestSupport.h"
#include "support/ProgramEnvironment.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using TestSupport::RunCatalogTool;
using TestSupport::TestPgServer;
using TestSupport::TProgramRun;

namespace {

QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    QFile f(dir.filePath(name));
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return f.fileName();
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

} // namespace

class PgCatalogToolTest : public QObject {
    Q_OBJECT

private:
    TestPgServer m_server;
    QTemporaryDir m_dir;
    QString m_file;  // a small catalogue file with a gap in the misc atlas's numbers
    QByteArray m_a, m_b;

private slots:
    void initTestCase()
    {
        if (const QString missing = m_server.StartWhereInstalled(); !missing.isEmpty())
            QSKIP(qPrintable(missing));

        m_file = m_dir.filePath(QStringLiteral("source.mdb"));
        QCOMPARE(RunCatalogTool({"create", m_file}).code, 0);
        m_a = TestSupport::MakeJpeg(64, 48);
        m_b = TestSupport::MakeJpeg(30, 90, QColor(20, 160, 90));
        const QString a = writeFile(m_dir, QStringLiteral("a.jpg"), m_a);
        const QString b = writeFile(m_dir, QStringLiteral("b.jpg"), m_b);
        QCOMPARE(RunCatalogTool({"add", m_file, "ZY", "--name", QStringLiteral("甘草"), "--other", "GC", a, b}).code, 0);
        QCOMPARE(RunCatalogTool({"add", m_file, "XYJP", "--name", "heart", "--other", "chest", b}).code, 0);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(RunCatalogTool({"add", m_file, "ZXTP", "--name", QStringLiteral("own %1").arg(i), "--other", "mine", a}).code, 0);
        // The last entry is deleted: its number (3) must stay unused in every copy.
        QVERIFY(CatalogStore::Open(m_file)->DeleteEntry(QStringLiteral("KVR_ZXTPPicture"), 3));
    }

    void fileToServerToFileKeepsEverything()
    {
        const QString url = m_server.Url(m_server.CreateDatabase(QStringLiteral("roundtrip")));
        TProgramRun copy = RunCatalogTool({"copy", m_file, url});
        QVERIFY2(copy.code == 0, qPrintable(copy.err));
        QVERIFY2(copy.err.contains(QStringLiteral("copy: KVR_ZXTPPicture 2/2")), qPrintable(copy.err)); // progress
        QVERIFY2(copy.err.contains(QStringLiteral("matches the source")), qPrintable(copy.err));

        QCOMPARE(RunCatalogTool({"verify", url}).code, 0);
        const TProgramRun fileInfo = RunCatalogTool({"info", m_file});
        const TProgramRun serverInfo = RunCatalogTool({"info", url});
        QCOMPARE(serverInfo.code, 0);
        QCOMPARE(serverInfo.out, fileInfo.out);

        const QString out = m_dir.filePath(QStringLiteral("slot.jpg"));
        QCOMPARE(RunCatalogTool({"export-picture", url, "ZY", "1", "2", out}).code, 0);
        QCOMPARE(readAll(out), m_b);

        // New entries on the server get numbers above every one the file issued.
        TProgramRun add = RunCatalogTool({"add", url, "ZXTP", "--name", "new", writeFile(m_dir, QStringLiteral("c.jpg"), m_a)});
        QCOMPARE(add.code, 0);
        QCOMPARE(add.out.trimmed(), QStringLiteral("4"));

        // And back into a new file.
        const QString back = m_dir.filePath(QStringLiteral("back.mdb"));
        copy = RunCatalogTool({"copy", url, back});
        QVERIFY2(copy.code == 0, qPrintable(copy.err));
        QCOMPARE(RunCatalogTool({"info", back}).out, RunCatalogTool({"info", url}).out);
        QCOMPARE(RunCatalogTool({"export-picture", back, "ZXTP", "4", "1", out}).code, 0);
        QCOMPARE(readAll(out), m_a);
        TProgramRun next = RunCatalogTool({"add", back, "ZXTP", "--name", "next", writeFile(m_dir, QStringLiteral("d.jpg"), m_b)});
        QCOMPARE(next.out.trimmed(), QStringLiteral("5"));
    }

    void copyRefusesADestinationWithEntries()
    {
        const QString url = m_server.Url(m_server.CreateDatabase(QStringLiteral("occupied")));
        QCOMPARE(RunCatalogTool({"copy", m_file, url}).code, 0);
        const QString before = RunCatalogTool({"info", url}).out;
        TProgramRun again = RunCatalogTool({"copy", m_file, url});
        QCOMPARE(again.code, 2);
        QVERIFY2(again.err.contains(QStringLiteral("already holds")), qPrintable(again.err));
        QCOMPARE(RunCatalogTool({"info", url}).out, before);
        const TProgramRun toFile = RunCatalogTool({"copy", url, m_file});
        QCOMPARE(toFile.code, 2);
    }

    void aFailedCopyLeavesTheDestinationEmpty()
    {
        // A name longer than the server allows (the file never enforced the width; the file is changed as
        // another program would change it) stops the copy
        // at the last atlas; nothing of the earlier ones may stay behind.
        const QString bad = m_dir.filePath(QStringLiteral("overlong.mdb"));
        QVERIFY(QFile::copy(m_file, bad));
        QCOMPARE(SqliteShell::Run(bad, "UPDATE KVR_ZXTPPicture SET ItemName = printf('%.60c', 'x') WHERE RecordSN = 2"), QString());
        const QString db = m_server.CreateDatabase(QStringLiteral("failed"));
        const QString url = m_server.Url(db);
        TProgramRun copy = RunCatalogTool({"copy", bad, url});
        QCOMPARE(copy.code, 2);
        QVERIFY2(copy.err.contains(QStringLiteral("too long")), qPrintable(copy.err));
        const TProgramRun info = RunCatalogTool({"info", url}); // not even the tables stayed behind
        QCOMPARE(info.code, 2);
        QVERIFY2(info.err.contains(QStringLiteral("中没有 Tavelin 图库")), qPrintable(info.err));
        // Fixed, the same command then succeeds into the same database.
        QCOMPARE(SqliteShell::Run(bad, "UPDATE KVR_ZXTPPicture SET ItemName = 'short' WHERE RecordSN = 2"), QString());
        QCOMPARE(RunCatalogTool({"copy", bad, url}).code, 0);

        // Into a file: the half-made file is removed.
        const QString target = m_dir.filePath(QStringLiteral("never.mdb"));
        QCOMPARE(SqliteShell::Run(bad, "UPDATE KVR_ZXTPPicture SET pic1 = 999999 WHERE RecordSN = 2"), QString()); // a dangling reference
        TProgramRun toFile = RunCatalogTool({"copy", bad, target});
        if (toFile.code != 0)
            QVERIFY(!QFile::exists(target));
    }

    void aServiceNameFromTheServiceFile()
    {
        const QString db = m_server.CreateDatabase(QStringLiteral("by_service"));
        QCOMPARE(RunCatalogTool({"copy", m_file, m_server.Url(db)}).code, 0);
        const QString services = writeFile(m_dir, QStringLiteral("pg_service.conf"),
                                           QStringLiteral("[atlas]\nhost=%1\ndbname=%2\nuser=%3\n")
                                               .arg(m_server.SocketDir(), db, TestPgServer::Superuser())
                                               .toUtf8());
        QProcessEnvironment env = TestSupport::ProgramEnvironment();
        env.insert(QStringLiteral("PGSERVICEFILE"), services);
        TestSupport::TRunOptions withService;
        withService.environment = env;
        const TProgramRun info = RunCatalogTool({"info", "service=atlas"}, withService);
        QVERIFY2(info.code == 0, qPrintable(info.err));
        QCOMPARE(info.out, RunCatalogTool({"info", m_file}).out);
    }

    void unreachableServerIsNamed()
    {
        const TProgramRun r = RunCatalogTool({"info", "postgresql://viewer@/atlas?host=/nonexistent/socket-dir"});
        QCOMPARE(r.code, 2);
        QVERIFY2(r.err.contains(QStringLiteral("postgresql://viewer@/nonexistent/socket-dir/atlas")), qPrintable(r.err));
    }

    // The two accounts with exactly the rights the administrator's set-up gives them: the browsing
    // one may look and make a backup file, never change the server; the editing one may add.
    void theSharedSetUpsAccounts()
    {
        const QString db = m_server.CreateDatabase(QStringLiteral("clinic"));
        QCOMPARE(RunCatalogTool({"copy", m_file, m_server.Url(db)}).code, 0);
        const QString browse = QStringLiteral("browse_") + db, edit = QStringLiteral("edit_") + db;
        m_server.Exec(QStringLiteral("CREATE ROLE %2 LOGIN; CREATE ROLE %3 LOGIN; "
                                     "REVOKE ALL ON DATABASE %1 FROM PUBLIC; "
                                     "GRANT CONNECT ON DATABASE %1 TO %2, %3; "
                                     "GRANT USAGE ON SCHEMA public TO %2, %3; "
                                     "GRANT SELECT ON ALL TABLES IN SCHEMA public TO %2; "
                                     "GRANT SELECT ON ALL SEQUENCES IN SCHEMA public TO %2; "
                                     "GRANT SELECT, INSERT, UPDATE, DELETE ON ALL TABLES IN SCHEMA public TO %3; "
                                     "GRANT USAGE, SELECT, UPDATE ON ALL SEQUENCES IN SCHEMA public TO %3")
                          .arg(db, browse, edit),
                      db);
        const QString picture = writeFile(m_dir, QStringLiteral("clinic.jpg"), m_a);
        const QString before = RunCatalogTool({"info", m_server.Url(db)}).out;

        const TProgramRun refused = RunCatalogTool({"add", m_server.Url(db, browse), "ZXTP", "--name", "no", picture});
        QCOMPARE(refused.code, 2);
        QCOMPARE(RunCatalogTool({"info", m_server.Url(db)}).out, before);

        const QString backup = m_dir.filePath(QStringLiteral("browse-backup.mdb"));
        const TProgramRun copy = RunCatalogTool({"copy", m_server.Url(db, browse), backup});
        QVERIFY2(copy.code == 0, qPrintable(copy.err));
        QCOMPARE(RunCatalogTool({"info", backup}).out, before);
        // The backup goes on numbering above the entry deleted before the copy.
        QCOMPARE(RunCatalogTool({"add", backup, "ZXTP", "--name", "later", picture}).out.trimmed(), QStringLiteral("4"));

        const TProgramRun added = RunCatalogTool({"add", m_server.Url(db, edit), "ZXTP", "--name", "yes", picture});
        QVERIFY2(added.code == 0, qPrintable(added.err));
        QCOMPARE(added.out.trimmed(), QStringLiteral("4"));
    }

    void twoProcessesAddingAtOnceLoseAndDuplicateNothing()
    {
        const QString url = m_server.Url(m_server.CreateDatabase(QStringLiteral("concurrent")));
        QCOMPARE(RunCatalogTool({"copy", m_file, url}).code, 0);
        const QString picture = writeFile(m_dir, QStringLiteral("shared.jpg"), m_b);
        constexpr int kEach = 25;
        // Two shells, each adding its entries one process at a time, both at once.
        QList<QProcess *> workers;
        for (int w = 0; w < 2; ++w) {
            auto *p = new QProcess(this);
            p->setProcessEnvironment(TestSupport::ProgramEnvironment());
            const QString script = QStringLiteral("for i in $(seq 1 %1); do printf 'w%2-%s ' $i; \"$0\" add \"$1\" ZXTP "
                                                  "--name w%2-$i --other import \"$2\" || exit 1; done")
                                       .arg(kEach)
                                       .arg(w);
            p->start(QStringLiteral("sh"), {QStringLiteral("-c"), script, QStringLiteral(TAVELIN_BINARY_DIR "/tavelin-catalog"),
                                            url, picture});
            workers << p;
        }
        QHash<QString, QString> keyOfName; // what each process was told
        for (QProcess *p : workers) {
            QVERIFY(p->waitForFinished(240000));
            QCOMPARE(p->exitCode(), 0);
            const QStringList words = QString::fromUtf8(p->readAllStandardOutput()).split(QRegularExpression("\\s+"), Qt::SkipEmptyParts);
            QCOMPARE(words.size(), 2 * kEach);
            for (int i = 0; i + 1 < words.size(); i += 2)
                keyOfName.insert(words[i], words[i + 1]);
            delete p;
        }
        QCOMPARE(keyOfName.size(), 2 * kEach);
        QCOMPARE(QSet<QString>(keyOfName.cbegin(), keyOfName.cend()).size(), 2 * kEach); // no number twice

        // The server holds each of them once, under the number its process was given, with its picture.
        auto store = TPgCatalogStore::Open(url);
        TRowSet rows;
        store->Select(QStringLiteral("select RecordSN, ItemName from KVR_ZXTPPicture where TypeName = 'import'"), {}, rows);
        QHash<QString, QString> stored;
        for (int r = 0; r < rows.RowCount(); ++r)
            stored.insert(rows.Value(r, 1).toString(), rows.Value(r, 0).toString());
        QCOMPARE(rows.RowCount(), 2 * kEach);
        QCOMPARE(stored, keyOfName);
        const QString out = m_dir.filePath(QStringLiteral("check.jpg"));
        for (auto it = keyOfName.cbegin(); it != keyOfName.cend(); ++it) {
            QCOMPARE(RunCatalogTool({"export-picture", url, "ZXTP", it.value(), "1", out}).code, 0);
            QCOMPARE(readAll(out), m_b);
        }
    }
};

QTEST_GUILESS_MAIN(PgCatalogToolTest)
#include "test_pg_catalog_tool.moc"
