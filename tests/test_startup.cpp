// The program as a whole, run as a process: one running copy only (also after a copy was killed),
// the catalogue found beside the executable from any working directory, and the start-up error path.
// The program writes its boxes and main steps to TAVELIN_TEST_LOG instead of waiting for clicks.
#include "platform/SingleInstanceGuard.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QString kAlreadyRunning =
    QStringLiteral("Tavelin系统程序已经运行,不能同时重复运行,请从任务栏上将已运行的程序之放到前台!");
const QString kStartupFailed =
    QStringLiteral("系统启动出错,可能你的软件因异常退出导致数据文件被破坏,请联系作者免费获取新的版本!");

QStringList ReadLog(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
    lines.removeAll(QString());
    return lines;
}

} // namespace

class TestStartup : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<QTemporaryDir> m_root;
    QString m_binDir;
    QString m_runtimeDir;
    QList<QProcess *> m_processes;
    int m_logCount = 0;

    QString Program() const { return m_binDir + QStringLiteral("/tavelin"); }
    QString Catalogue() const { return m_binDir + QStringLiteral("/KVRJetLib.mdb"); }
    QString NewLogPath() { return m_root->filePath(QStringLiteral("log%1.txt").arg(++m_logCount)); }

    QProcess *Start(const QString &logPath, const QString &workingDir = QString())
    {
        auto *p = new QProcess(this);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("TAVELIN_SPLASH_MS"), QStringLiteral("50"));
        env.insert(QStringLiteral("TAVELIN_TEST_LOG"), logPath);
        // The single-instance mark lives in the user's runtime directory: keep ours apart from any
        // copy of the program the user runs meanwhile.
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtimeDir);
        p->setProcessEnvironment(env);
        p->setWorkingDirectory(workingDir.isEmpty() ? m_binDir : workingDir);
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(Program(), {});
        m_processes << p;
        return p;
    }

    static bool WaitForLine(const QString &logPath, const QString &line, int timeoutMs = 60000)
    {
        return QTest::qWaitFor([&] { return ReadLog(logPath).contains(line); }, timeoutMs);
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
        QCOMPARE(ReadLog(log), QStringList({QStringLiteral("event\tsplash-shown"), QStringLiteral("event\tsplash-closed"),
                                            QStringLiteral("event\tmain-window-shown")}));
        QCOMPARE(p->state(), QProcess::Running);
    }

    void secondStartWhileTheFirstRunsIsRefused()
    {
        const QString firstLog = NewLogPath();
        QProcess *first = Start(firstLog);
        QVERIFY(WaitForLine(firstLog, QStringLiteral("event\tmain-window-shown")));
        const QStringList firstBefore = ReadLog(firstLog);

        const QString secondLog = NewLogPath();
        QProcess *second = Start(secondLog);
        QVERIFY(Finish(second));
        QCOMPARE(second->exitCode(), 0);
        // The message alone: no splash, no database, no window.
        QCOMPARE(ReadLog(secondLog), QStringList({QStringLiteral("box\t提示\t") + kAlreadyRunning}));

        QCOMPARE(first->state(), QProcess::Running);
        QCOMPARE(ReadLog(firstLog), firstBefore);
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
        QVERIFY(!ReadLog(secondLog).join(QLatin1Char('\n')).contains(QStringLiteral("box\t")));
        QCOMPARE(second->state(), QProcess::Running);
    }

    void startFromAnotherDirectoryFindsTheCatalogue()
    {
        const QString log = NewLogPath();
        Start(log, m_root->filePath(QStringLiteral("elsewhere")));
        QVERIFY(WaitForLine(log, QStringLiteral("event\tmain-window-shown")));
        QVERIFY(!ReadLog(log).join(QLatin1Char('\n')).contains(QStringLiteral("box\t")));
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
        for (const QString &line : ReadLog(log)) {
            if (line.startsWith(QStringLiteral("box\t")))
                boxes << line;
            QVERIFY2(line != QStringLiteral("event\tmain-window-shown"), "the main window must not be shown");
        }
        // The engine's own error under the title, then the start-up error.
        QCOMPARE(boxes.size(), 2);
        QVERIFY(boxes[0].startsWith(QStringLiteral("box\tTavelin\t")));
        QVERIFY(boxes[0].size() > QStringLiteral("box\tTavelin\t").size());
        QCOMPARE(boxes[1], QStringLiteral("box\t软件数据库出错提示\t") + kStartupFailed);
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
