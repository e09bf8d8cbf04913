// The program on a catalogue shared through a server: the workstation setting picks the server,
// browsing sees other workstations' changes, the miscellaneous atlas imports into it, a browsing
// account is refused before any dialog, a server that goes away costs one message, and one that
// cannot be reached at start-up takes the start-up failure path naming it.
#include "data/CatalogSchema.h"
#include "data/TRowSet.h"
#include "data/UDataLibModule.h"
#include "data/postgres/TPgCatalogStore.h"
#include "frames/UFrame_ZXTP.h"
#include "frames/UFrame_ZY.h"
#include "widgets/TImage.h"
#include "platform/TMemoryStream.h"
#include "support/ProgramEnvironment.h"
#include "support/TestPgServer.h"
#include "support/TestProgram.h"
#include "support/ModalBoxes.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using TestSupport::TestPgServer;

namespace {

// Writes with values given in place (the store hands references back through them).
qint64 insertEntry(TCatalogStore &store, const QString &table, TEntryValues values, std::optional<qint64> key = {})
{
    return store.InsertEntry(table, values, key);
}

// The user's own setting, in a settings folder of the test's own; returns the program's
// environment with that folder as the user's settings and no system-wide ones.
QProcessEnvironment pointAt(const QTemporaryDir &config, const QString &location)
{
    QDir().mkpath(config.filePath(QStringLiteral("user/tavelin")));
    QFile f(config.filePath(QStringLiteral("user/tavelin/tavelin.conf")));
    if (f.open(QIODevice::WriteOnly)) {
        f.write(QStringLiteral("[catalogue]\nlocation=%1\n").arg(location).toUtf8());
        f.close();
    }
    f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QProcessEnvironment env = TestSupport::ProgramEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), config.filePath(QStringLiteral("user")));
    return env;
}

int gridRows(QWidget &frame)
{
    return frame.findChild<QTableView *>(QStringLiteral("m_DBGrid_ZY"))->model()->rowCount();
}

} // namespace

class PgProgramTest : public QObject {
    Q_OBJECT

private:
    TestPgServer m_server;
    int m_databases = 0;

    // A server catalogue with two herbs and one miscellaneous entry; returns its database.
    QString newCatalogue()
    {
        const QString db = m_server.CreateDatabase(QStringLiteral("program_%1").arg(++m_databases));
        TPgCatalogStore::Create(m_server.Url(db));
        auto store = TPgCatalogStore::Open(m_server.Url(db));
        insertEntry(*store, QStringLiteral("KVR_ZYPicture"), {{"DrugName", QStringLiteral("甘草")}, {"OtherName", "GANCAO"}});
        insertEntry(*store, QStringLiteral("KVR_ZYPicture"), {{"DrugName", QStringLiteral("黄芪")}, {"OtherName", "HUANGQI"}});
        insertEntry(*store, QStringLiteral("KVR_ZXTPPicture"),
                           {{"TypeName", "old"}, {"ItemName", "first"}, {"pic1", TestSupport::MakeJpeg(30, 20)}});
        return db;
    }

private slots:
    void initTestCase()
    {
        if (const QString missing = m_server.StartWhereInstalled(); !missing.isEmpty())
            QSKIP(qPrintable(missing));
    }

    void browsingSeesOtherWorkstationsOnTheNextList()
    {
        const QString db = newCatalogue();
        TestSupport::TestProgram p(true);
        p.start(m_server.Url(db));
        Tm_Frame_ZY frame;
        frame.ActivateFrame();
        QCOMPARE(frame.findChild<QLabel *>(QStringLiteral("m_Label"))->text(), QStringLiteral("中药列表:  共2条"));

        auto other = TPgCatalogStore::Open(m_server.Url(db)); // another workstation
        insertEntry(*other, QStringLiteral("KVR_ZYPicture"), {{"DrugName", QStringLiteral("甘遂")}, {"OtherName", "GANSUI"}});
        auto *search = frame.findChild<QLineEdit *>(QStringLiteral("m_Edit_ZYPinYin"));
        search->setText(QStringLiteral("gan")); // ASCII letters match either case, as in the file
        QCOMPARE(gridRows(frame), 2);
        other->DeleteEntry(QStringLiteral("KVR_ZYPicture"), 1);
        search->setText(QString());
        QCOMPARE(gridRows(frame), 2); // 黄芪 and 甘遂
        QVERIFY2(p.errors.isEmpty(), qPrintable(p.errors.join('\n')));
    }

    void importIntoTheSharedMiscellaneousAtlas()
    {
        const QString db = newCatalogue();
        TestSupport::TestProgram p(true);
        const QByteArray a = TestSupport::MakeJpeg(40, 30);
        const QString file = p.writeFile(QStringLiteral("a.jpg"), a);
        p.start(m_server.Url(db));
        Tm_Frame_ZXTP frame;
        frame.ActivateFrame();
        TestSupport::WhenModal([&](QWidget *w) {
            auto *dlg = qobject_cast<QFileDialog *>(w);
            dlg->setDirectory(QFileInfo(file).absolutePath());
            dlg->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(QStringLiteral("\"a.jpg\""));
            static_cast<QDialog *>(dlg)->accept();
            TestSupport::WhenModal([&](QWidget *input) {
                input->findChild<QLineEdit *>(QStringLiteral("m_strContent"))->setText(QStringLiteral("眼科"));
                input->findChild<QPushButton *>(QStringLiteral("m_Button_OK"))->click();
                TestSupport::AnswerMessageBox(QMessageBox::Yes);
                QTimer::singleShot(0, [] { TestSupport::AnswerMessageBox(QMessageBox::Ok); });
            });
        });
        frame.JPG1->trigger();
        QTRY_COMPARE(gridRows(frame), 2);
        QVERIFY2(p.errors.isEmpty(), qPrintable(p.errors.join('\n')));

        auto store = TPgCatalogStore::Open(m_server.Url(db));
        TRowSet rows;
        store->Select(QStringLiteral("select pic1, TypeName, ItemName from KVR_ZXTPPicture where RecordSN = 2"), {}, rows);
        QCOMPARE(rows.RowCount(), 1);
        QCOMPARE(rows.Value(0, 1).toString(), QStringLiteral("眼科"));
        QCOMPARE(rows.Value(0, 2).toString(), QStringLiteral("a.jpg"));
        TMemoryStream s;
        store->ReadPicture(rows.Value(0, 0).toLongLong(), s);
        QCOMPARE(s.Bytes(), a);

        // The thumbnail of the new entry comes from the server too.
        frame.findChild<QTableView *>(QStringLiteral("m_DBGrid_ZY"))->selectRow(1);
        frame.m_MenuItem_DisplayDescriblePictureClick();
        QVERIFY(!frame.Cell(1)->Picture().IsEmpty());
    }

    void browsingAccountIsRefusedBeforeAnyDialog()
    {
        const QString db = newCatalogue();
        const QString role = QStringLiteral("viewer_") + db;
        m_server.Exec(QStringLiteral("CREATE ROLE %1 LOGIN; GRANT SELECT ON ALL TABLES IN SCHEMA public TO %1").arg(role), db);
        TestSupport::TestProgram p(true);
        p.start(m_server.Url(db, role));
        Tm_Frame_ZXTP frame;
        frame.ActivateFrame();
        QCOMPARE(gridRows(frame), 1);
        bool dialogShown = false;
        TestSupport::WhenModal([&](QWidget *w) {
            dialogShown = true;
            w->close();
        }, 300);
        frame.JPG1->trigger();
        frame.N8->trigger();
        frame.N9->trigger();
        frame.N7->trigger();
        QTest::qWait(400);
        QVERIFY(!dialogShown);
        QCOMPARE(p.errors.size(), 4);
        for (const QString &e : p.errors)
            QVERIFY2(e.contains(QStringLiteral("只读")), qPrintable(e)); // the read-only refusal
        // Browsing goes on.
        frame.m_MenuItem_DisplayDescriblePictureClick();
        QVERIFY(!frame.Cell(1)->Picture().IsEmpty());
    }

    void serverGoingAwayCostsOneMessage()
    {
        const QString db = newCatalogue();
        TestSupport::TestProgram p(true);
        p.start(m_server.Url(db));
        Tm_Frame_ZY frame;
        frame.ActivateFrame();
        auto *search = frame.findChild<QLineEdit *>(QStringLiteral("m_Edit_ZYPinYin"));

        m_server.TerminateSessions(db);
        search->setText(QStringLiteral("G"));
        QCOMPARE(p.errors.size(), 1);
        QVERIFY2(p.errors[0].startsWith(QStringLiteral("与图库服务器 ")) && p.errors[0].contains(QStringLiteral("的连接断开了")) && p.errors[0].contains(db), qPrintable(p.errors[0]));
        search->setText(QStringLiteral("GA")); // the next action connects again
        QCOMPARE(gridRows(frame), 1);

        m_server.Restart();
        search->setText(QStringLiteral("H"));
        search->setText(QStringLiteral("HU"));
        QCOMPARE(p.errors.size(), 2);
        QCOMPARE(gridRows(frame), 1);
    }

    // The program started as a workstation is: its setting names a server, and a copy of the
    // program in a folder of its own may hold a catalogue beside it.
    void startUpOnTheConfiguredServer_data()
    {
        QTest::addColumn<bool>("reachable");
        QTest::addColumn<bool>("fileBeside");
        QTest::addColumn<bool>("shown");
        QTest::newRow("unreachable server: the failure path names it") << false << false << false;
        QTest::newRow("the server's catalogue is opened") << true << false << true;
        QTest::newRow("a catalogue beside the program comes first") << false << true << true;
    }

    void startUpOnTheConfiguredServer()
    {
        QFETCH(bool, reachable);
        QFETCH(bool, fileBeside);
        QFETCH(bool, shown);
        QTemporaryDir dir;
        QTemporaryDir config;
        const QString unreachable = QStringLiteral("postgresql://viewer@/atlas?host=%1/no-server-here").arg(dir.path());
        QProcessEnvironment env = pointAt(config, reachable ? m_server.Url(newCatalogue()) : unreachable);
        const QString bin = dir.filePath(QStringLiteral("bin"));
        QVERIFY(QDir().mkpath(bin));
        const QString program = bin + QStringLiteral("/tavelin");
        QVERIFY(QFile::copy(QStringLiteral(TAVELIN_BINARY_DIR "/tavelin"), program));
        QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (fileBeside)
            TestSupport::MakeCatalogue(bin + QStringLiteral("/KVRJetLib.mdb"));
        const QString log = dir.filePath(QStringLiteral("log.txt"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("TAVELIN_SPLASH_MS"), QStringLiteral("50"));
        env.insert(QStringLiteral("TAVELIN_TEST_LOG"), log);
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path());
        env.insert(QStringLiteral("XDG_DATA_HOME"), dir.filePath(QStringLiteral("data-home")));
        env.insert(QStringLiteral("XDG_DATA_DIRS"), dir.filePath(QStringLiteral("data-dirs")));
        QProcess p;
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.start(program, {});
        auto readLog = [&log] {
            QFile f(log);
            return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
        };
        QVERIFY(QTest::qWaitFor([&] { return readLog().contains(QStringLiteral("main-window-shown"))
                                             || p.state() == QProcess::NotRunning; }, 60000));
        const QString text = readLog();
        p.kill();
        p.waitForFinished(10000);
        QCOMPARE(text.contains(QStringLiteral("main-window-shown")), shown);
        if (!shown) {
            QVERIFY2(text.contains(QStringLiteral("postgresql://viewer@%1/no-server-here/atlas").arg(dir.path())),
                     qPrintable(text));
            QVERIFY2(text.contains(QStringLiteral("软件数据库出错提示")), qPrintable(text));
        }
    }
};

QTEST_MAIN(PgProgramTest)
#include "test_pg_program.moc"
