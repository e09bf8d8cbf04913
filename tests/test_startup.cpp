// The program as a whole, run as a process: one running copy only (also after a copy was killed),
// the catalogue found beside the executable from any working directory, or else in the user's or
// the system's data folders, and the start-up error path.
// The program writes its boxes and main steps to TAVELIN_TEST_LOG instead of waiting for clicks.
#include "platform/SingleInstanceGuard.h"
#include "support/ProgramRun.h"
#include "support/TestSupport.h"
#include "support/ProgramEnvironment.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using TestSupport::ReadLines;

namespace {

const QString kAlreadyRunning =
    QStringLiteral("Tavelin系统程序已经运行,不能同时重复运行,请从任务栏上将已运行的程序之放到前台!");
const QString kStartupFailed =
    QStringLiteral("系统启动出错,可能你的软件因异常退出导致数据文件被破坏,请联系作者免费获取新的版本!");

} // namespace

class TestStartup : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> m_root;
    QString m_binDir;
    QString m_runtimeDir;
    QString m_dataHome;
    QString m_dataDir;
    QList<QProcess *> m_processes;
    int m_logCount = 0;

    QString Program() const { return m_binDir + QStringLiteral("/tavelin"); }
    QString Catalogue() const { return m_binDir + QStringLiteral("/KVRJetLib.mdb"); }
    QString NewLogPath() { return m_root->filePath(QStringLiteral("log%1.txt").arg(++m_logCount)); }

    QProcess *Start(const QString &logPath, const QString &workingDir = QString())
    {
        auto *p = new QProcess(this);
        QProcessEnvironment env = TestSupport::ProgramEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("TAVELIN_SPLASH_MS"), QStringLiteral("50"));
        env.insert(QStringLiteral("TAVELIN_TEST_LOG"), logPath);
        // The single-instance mark lives in the user's runtime directory: keep ours apart from any
        // copy of the program the user runs meanwhile.
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtimeDir);
        // Nor may a catalogue of the user's or of this machine be found instead of the test's.
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_dataHome);
        env.insert(QStringLiteral("XDG_DATA_DIRS"), m_dataDir);
        p->setProcessEnvironment(env);
        p->setWorkingDirectory(workingDir.isEmpty() ? m_binDir : workingDir);
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(Program(), {});
        m_processes << p;
        return p;
    }

    static bool WaitForLine(const QString &logPath, const QString &line, int timeoutMs = 60000)
    {
        return QTest::qWaitFor([&] { return ReadLines(logPath).contains(line); }, timeoutMs);
    }

    static bool Finish(QProcess *p)
    {
        return p->waitForFinished(60000) && p->exitStatus() == QProcess::NormalExit;
    }

private slots:
    void initTestCase()
    {
        QVERIFY2(QFile::exists(QStringLiteral(TAVELIN_BINARY_DIR "/tavelin")), "build the program first");
    }

    void init()
    {
        m_root = std::make_unique<QTemporaryDir>();
        QVERIFY(m_root->isValid());
        QDir(m_root->path()).mkpath(QStringLiteral("bin"));
        QDir(m_root->path()).mkpath(QStringLiteral("runtime"));
        QDir(m_root->path()).mkpath(QStringLiteral("elsewhere"));
        m_binDir = m_root->filePath(QStringLiteral("bin"));
        m_runtimeDir = m_root->filePath(QStringLiteral("runtime"));
        m_dataHome = m_root->filePath(QStringLiteral("home-data"));
        m_dataDir = m_root->filePath(QStringLiteral("system-data"));
        QFile::setPermissions(m_runtimeDir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(QFile::copy(QStringLiteral(TAVELIN_BINARY_DIR "/tavelin"), Program()));
        QFile::setPermissions(Program(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        TestSupport::MakeCatalogue(Catalogue());
        TestSupport::AddEntry(Catalogue(), QStringLiteral("ZY"), QStringLiteral("黄芪"), QStringLiteral("绵芪"),
                              {TestSupport::MakeJpeg(64, 48)});
    }

    void cleanup()
    {
        for (QProcess *p : std::as_const(m_processes)) {
            if (p->state() != QProcess::NotRunning) {
                p->kill();
                p->waitForFinished(10000);
            }
            delete p;
        }
        m_processes.clear();
        m_root.reset();
    }

    void normalStartShowsTheMainWindowAfterTheSplash()
    {
        const QString log = NewLogPath();
        QProcess *p = Start(log);
        QVERIFY(WaitForLine(log, QStringLiteral("event\tmain-window-shown")));
        QCOMPARE(ReadLines(log), QStringList({QStringLiteral("event\tsplash-shown"), QStringLiteral("event\tsplash-closed"),
                                            QStringLiteral("event\tmain-window-shown")}));
        QCOMPARE(p->state(), QProcess::Running);
    }

    void secondStartWhileTheFirstRunsIsRefused()
    {
        const QString firstLog = NewLogPath();
        QProcess *first = Start(firstLog);
        QVERIFY(WaitForLine(firstLog, QStringLiteral("event\tmain-window-shown")));
        const QStringList firstBefore = ReadLines(firstLog);

        const QString secondLog = NewLogPath();
        QProcess *second = Start(secondLog);
        QVERIFY(Finish(second));
        QCOMPARE(second->exitCode(), 0);
        // The message alone: no splash, no database, no window.
        QCOMPARE(ReadLines(secondLog), QStringList({QStringLiteral("box\t提示\t") + kAlreadyRunning}));

        QCOMPARE(first->state(), QProcess::Running);
        QCOMPARE(ReadLines(firstLog), firstBefore);
    }

    void startAfterAKilledCopyRunsNormally()
    {
        const QString firstLog = NewLogPath();
        QProcess *first = Start(firstLog);
        QVERIFY(WaitForLine(firstLog, QStringLiteral("event\tmain-window-shown")));
        first->kill();
        QVERIFY(first->waitForFinished(10000));
        // The killed copy left its mark behind; it must not count as a running copy.
        QDir runtime(m_runtimeDir);
        QCOMPARE(runtime.entryList({QStringLiteral("*.lock")}, QDir::Files).size(), 1);

        const QString secondLog = NewLogPath();
        QProcess *second = Start(secondLog);
        QVERIFY(WaitForLine(secondLog, QStringLiteral("event\tmain-window-shown")));
        QVERIFY(!ReadLines(secondLog).join(QLatin1Char('\n')).contains(QStringLiteral("box\t")));
        QCOMPARE(second->state(), QProcess::Running);
    }

    void startFromAnotherDirectoryFindsTheCatalogue()
    {
        const QString log = NewLogPath();
        Start(log, m_root->filePath(QStringLiteral("elsewhere")));
        QVERIFY(WaitForLine(log, QStringLiteral("event\tmain-window-shown")));
        QVERIFY(!ReadLines(log).join(QLatin1Char('\n')).contains(QStringLiteral("box\t")));
    }

    // Beside the executable first, then the user's data folder, then the system's: the first place
    // holding a file is used, whether or not it opens.
    void firstPlaceHoldingACatalogueIsUsed_data()
    {
        QTest::addColumn<QString>("beside");
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("system");
        QTest::addColumn<bool>("starts");
        QTest::newRow("the user's alone") << "" << "good" << "" << true;
        QTest::newRow("the system's alone") << "" << "" << "good" << true;
        QTest::newRow("beside before the user's") << "damaged" << "good" << "" << false;
        QTest::newRow("the user's before the system's") << "" << "good" << "damaged" << true;
        QTest::newRow("a damaged user's hides the system's") << "" << "damaged" << "good" << false;
    }

    void firstPlaceHoldingACatalogueIsUsed()
    {
        QFETCH(QString, beside);
        QFETCH(QString, user);
        QFETCH(QString, system);
        QFETCH(bool, starts);
        if (QFileInfo::exists(QStringLiteral("/var/lib/tavelin/KVRJetLib.mdb")))
            QSKIP("this machine has a shared catalogue in /var/lib/tavelin, which comes before the system data folders");
        QVERIFY(QFile::remove(Catalogue()));
        const QString userPlace = m_dataHome + QStringLiteral("/tavelin/KVRJetLib.mdb");
        const QString systemPlace = m_dataDir + QStringLiteral("/tavelin/KVRJetLib.mdb");
        const QList<QPair<QString, QString>> places{{beside, Catalogue()}, {user, userPlace}, {system, systemPlace}};
        for (const auto &[kind, path] : places) {
            if (kind.isEmpty())
                continue;
            QVERIFY(QDir().mkpath(QFileInfo(path).absolutePath()));
            if (kind == QLatin1String("good")) {
                TestSupport::MakeCatalogue(path);
            } else {
                QFile f(path);
                QVERIFY(f.open(QIODevice::WriteOnly));
                f.write(QByteArray(4096, '\x5a'));
            }
        }
        const QString log = NewLogPath();
        QProcess *p = Start(log, m_root->filePath(QStringLiteral("elsewhere")));
        if (starts) {
            QVERIFY(WaitForLine(log, QStringLiteral("event\tmain-window-shown")));
            QVERIFY(!ReadLines(log).join(QLatin1Char('\n')).contains(QStringLiteral("box\t")));
        } else {
            QVERIFY(Finish(p));
            const QStringList lines = ReadLines(log);
            QVERIFY(!lines.contains(QStringLiteral("event\tmain-window-shown")));
            // A catalogue was found: the error is about that file, with no list of places.
            QVERIFY(lines.contains(QStringLiteral("box\t软件数据库出错提示\t") + kStartupFailed));
        }
    }

    void missingEverywhereNamesThePlacesLookedAt()
    {
        if (QFileInfo::exists(QStringLiteral("/var/lib/tavelin/KVRJetLib.mdb")))
            QSKIP("this machine has a shared catalogue in /var/lib/tavelin");
        QVERIFY(QFile::remove(Catalogue()));
        const QString log = NewLogPath();
        QProcess *p = Start(log, m_root->filePath(QStringLiteral("elsewhere")));
        QVERIFY(Finish(p));
        QCOMPARE(p->exitCode(), 0);
        const QStringList lines = ReadLines(log);
        const QString prefix = QStringLiteral("box\t软件数据库出错提示\t") + kStartupFailed + QLatin1Char('\t');
        QStringList failures;
        for (const QString &line : lines) {
            if (line.startsWith(prefix))
                failures << line.mid(prefix.size());
        }
        QCOMPARE(failures.size(), 1);
        // In the log the reason's line breaks are written as \n.
        const QString reason = failures.first();
        const QString userPlace = m_dataHome + QStringLiteral("/tavelin/KVRJetLib.mdb");
        const QStringList expected{Catalogue(), userPlace, QStringLiteral("/var/lib/tavelin/KVRJetLib.mdb"),
                                   m_dataDir + QStringLiteral("/tavelin/KVRJetLib.mdb")};
        qsizetype at = 0;
        for (const QString &place : expected) {
            const qsizetype next = reason.indexOf(QStringLiteral("  ") + place + QStringLiteral("\\n"), at);
            QVERIFY2(next >= at, qPrintable(place + QStringLiteral(" not listed in order: ") + reason));
            at = next + 1;
        }
        QVERIFY2(reason.contains(m_binDir + QStringLiteral("/tavelin-catalog demo ") + userPlace), qPrintable(reason));
    }

    void catalogueThatCannotBeOpened_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("present");
        QTest::newRow("missing") << QByteArray() << false;
        QTest::newRow("damaged") << QByteArray(4096, '\x5a') << true;
        QTest::newRow("empty file") << QByteArray() << true;
    }

    void catalogueThatCannotBeOpened()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, present);
        if (!present && QFileInfo::exists(QStringLiteral("/var/lib/tavelin/KVRJetLib.mdb")))
            QSKIP("this machine has a shared catalogue in /var/lib/tavelin");
        QVERIFY(QFile::remove(Catalogue()));
        if (present) {
            QFile f(Catalogue());
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        }
        const QString log = NewLogPath();
        QProcess *p = Start(log);
        QVERIFY(Finish(p));
        QCOMPARE(p->exitCode(), 0);

        QStringList boxes;
        for (const QString &line : ReadLines(log)) {
            if (line.startsWith(QStringLiteral("box\t")))
                boxes << line;
            QVERIFY2(line != QStringLiteral("event\tmain-window-shown"), "the main window must not be shown");
        }
        // The engine's own error under the title, then the start-up error.
        QCOMPARE(boxes.size(), 2);
        QVERIFY(boxes[0].startsWith(QStringLiteral("box\tTavelin\t")));
        QVERIFY(boxes[0].size() > QStringLiteral("box\tTavelin\t").size());
        // The start-up error's text as it stands; a missing catalogue adds the places looked at.
        const QString failed = QStringLiteral("box\t软件数据库出错提示\t") + kStartupFailed;
        if (present)
            QCOMPARE(boxes[1], failed);
        else
            QVERIFY2(boxes[1].startsWith(failed + QLatin1Char('\t')), qPrintable(boxes[1]));
        // The mark goes with the process: the next start is not refused.
        TestSupport::MakeCatalogue(Catalogue() + QStringLiteral(".new"));
        QFile::remove(Catalogue());
        QVERIFY(QFile::rename(Catalogue() + QStringLiteral(".new"), Catalogue()));
        const QString nextLog = NewLogPath();
        Start(nextLog);
        QVERIFY(WaitForLine(nextLog, QStringLiteral("event\tmain-window-shown")));
    }
};

QTEST_MAIN(TestStartup)
#include "test_startup.moc"
