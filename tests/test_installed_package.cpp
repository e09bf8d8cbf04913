// The Debian packages as an administrator installs them: built by CPack from this build, installed
// with apt-get, the installed programs run (the tool's version; the program offscreen against a
// catalogue in a scratch XDG data folder, then against the demo package's), and removed again
// whatever happened. It changes the machine, so it runs only as root and never beside another run
// of itself, and it leaves alone a tavelin package it did not install.
#include "support/ProgramRun.h"
#include "support/TestSupport.h"
#include "support/ProgramEnvironment.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include <dlfcn.h>
#include <pwd.h>
#include <unistd.h>

using TestSupport::ProjectVersion;
using TestSupport::ReadLines;

namespace {

const QString kLockPath = QStringLiteral("/tmp/tavelin-package-test.lock");
// Present while the packages this test installed are on the machine: a later run removes what a run
// that was killed left behind, and only that.
const QString kInstalledMark = QStringLiteral("/tmp/tavelin-package-test.installed");
const QStringList kPackages{QStringLiteral("tavelin"), QStringLiteral("tavelin-demo")};

struct Run {
    int code = -1;
    QString out;
    QString err;
};

Run Execute(const QString &program, const QStringList &args, int timeoutMs = 600000,
            const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment(),
            const QString &workingDir = QString())
{
    QProcess p;
    p.setProcessEnvironment(env);
    if (!workingDir.isEmpty())
        p.setWorkingDirectory(workingDir);
    p.start(program, args);
    if (!p.waitForStarted(30000))
        return {-1, QString(), program + QStringLiteral(" did not start")};
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished(10000);
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromUtf8(p.readAllStandardOutput()),
            QString::fromUtf8(p.readAllStandardError())};
}

QProcessEnvironment AptEnvironment()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DEBIAN_FRONTEND"), QStringLiteral("noninteractive"));
    return env;
}

// apt-get waits for another package tool to finish instead of failing at once.
Run Apt(const QStringList &args)
{
    return Execute(QStringLiteral("apt-get"),
                   QStringList{QStringLiteral("-o"), QStringLiteral("DPkg::Lock::Timeout=600"), QStringLiteral("-y"),
                               QStringLiteral("-q")}
                       + args,
                   900000, AptEnvironment());
}

bool IsInstalled(const QString &package)
{
    const Run r = Execute(QStringLiteral("dpkg-query"), {QStringLiteral("-W"), QStringLiteral("-f=${Status}"), package});
    return r.code == 0 && r.out.contains(QStringLiteral("install ok installed"));
}

// The sonames a program needs, as its dynamic section lists them.
QStringList Needed(const QString &program)
{
    const Run r = Execute(QStringLiteral("readelf"), {QStringLiteral("-d"), program});
    QStringList names;
    const QRegularExpression needed(QStringLiteral("\\(NEEDED\\)\\s+Shared library: \\[([^\\]]+)\\]"));
    for (auto it = needed.globalMatch(r.out); it.hasNext();)
        names << it.next().captured(1);
    return names;
}

// Where the dynamic loader finds each library a program loads, by soname.
QMap<QString, QString> Resolved(const QString &program)
{
    const Run r = Execute(QStringLiteral("ldd"), {program});
    QMap<QString, QString> paths;
    const QRegularExpression line(QStringLiteral("^\\s*(\\S+) => (/\\S+) \\("), QRegularExpression::MultilineOption);
    for (auto it = line.globalMatch(r.out); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        paths.insert(m.captured(1), m.captured(2));
    }
    // The dynamic loader itself (needed once a program uses a loader symbol, e.g. for thread-local
    // storage) is listed by its path alone.
    const QRegularExpression loader(QStringLiteral("^\\s*(/\\S+) \\("), QRegularExpression::MultilineOption);
    for (auto it = loader.globalMatch(r.out); it.hasNext();) {
        const QString path = it.next().captured(1);
        paths.insert(path.section(QLatin1Char('/'), -1), path);
    }
    return paths;
}

// The package that holds the file at path; with /usr merged the loader and dpkg may name it with
// or without the /usr in front.
QString PackageOf(const QString &path)
{
    QStringList candidates{path};
    candidates << (path.startsWith(QLatin1String("/usr/")) ? path.mid(4) : QStringLiteral("/usr") + path);
    for (const QString &candidate : candidates) {
        const Run r = Execute(QStringLiteral("dpkg-query"), {QStringLiteral("-S"), candidate});
        if (r.code == 0)
            return r.out.section(QLatin1Char(':'), 0, 0).trimmed();
    }
    return QString();
}

} // namespace

class TestInstalledPackage : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<QLockFile> m_lock;
    QTemporaryDir m_work;
    QString m_programDeb;
    QString m_demoDeb;
    bool m_ready = false;
    struct {
        uid_t uid;
        gid_t gid;
    } m_user{};

    QString Work(const QString &name) const { return m_work.filePath(name); }

    void RemoveOurPackages()
    {
        if (!QFile::exists(kInstalledMark))
            return;
        QStringList present;
        for (const QString &p : kPackages) {
            if (IsInstalled(p))
                present << p;
        }
        if (!present.isEmpty()) {
            const Run r = Apt(QStringList{QStringLiteral("purge")} + present);
            if (r.code != 0)
                qWarning("removing %s failed: %s", qPrintable(present.join(QLatin1Char(' '))), qPrintable(r.out + r.err));
        }
        bool gone = true;
        for (const QString &p : kPackages)
            gone = gone && !IsInstalled(p);
        if (gone)
            QFile::remove(kInstalledMark);
    }

    // The installed programs run as an ordinary user, as on a clinic's workstation: the package's
    // files are the administrator's and only read. The user's folders live in the test's own.
    QString UserFolder(const QString &name) const
    {
        const QString path = Work(QStringLiteral("user/") + name);
        QDir().mkpath(path);
        if (::chown(QFile::encodeName(path).constData(), m_user.uid, m_user.gid) != 0)
            qWarning("cannot hand %s to the test user", qPrintable(path));
        return path;
    }

    QProcessEnvironment UserEnvironment(const QString &dataHome, const QString &dataDirs) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), Work(QStringLiteral("user/home")));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), Work(QStringLiteral("user/runtime")));
        env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
        env.insert(QStringLiteral("XDG_DATA_DIRS"), dataDirs);
        // No catalogue setting of this machine's (/etc/xdg) or the tester's applies.
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), Work(QStringLiteral("user/config")));
        env.insert(QStringLiteral("XDG_CONFIG_DIRS"), Work(QStringLiteral("user/xdg")));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        return env;
    }

    QStringList AsUser(const QString &program, const QStringList &args) const
    {
        return QStringList{QStringLiteral("--reuid=%1").arg(m_user.uid), QStringLiteral("--regid=%1").arg(m_user.gid),
                           QStringLiteral("--clear-groups"), QStringLiteral("--"), program}
               + args;
    }

    Run RunAsUser(const QString &program, const QStringList &args) const
    {
        return Execute(QStringLiteral("setpriv"), AsUser(program, args), 120000,
                       UserEnvironment(Work(QStringLiteral("user/data-home")), Work(QStringLiteral("user/no-system-data"))),
                       Work(QStringLiteral("user")));
    }

    // The installed program, offscreen, until its main window shows or it ends; returns its start-up log.
    QStringList StartInstalledProgram(const QString &dataHome, const QString &dataDirs)
    {
        static int count = 0;
        const QString log = UserFolder(QStringLiteral("logs")) + QStringLiteral("/start%1.log").arg(++count);
        QProcessEnvironment env = UserEnvironment(dataHome, dataDirs);
        env.insert(QStringLiteral("TAVELIN_SPLASH_MS"), QStringLiteral("50"));
        env.insert(QStringLiteral("TAVELIN_TEST_LOG"), log);
        QProcess p;
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(Work(QStringLiteral("user")));
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.start(QStringLiteral("setpriv"), AsUser(QStringLiteral("/usr/bin/tavelin"), {}));
        // Either way the log tells what happened; the caller checks it.
        static_cast<void>(QTest::qWaitFor(
            [&] {
                return ReadLines(log).contains(QStringLiteral("event\tmain-window-shown")) || p.state() == QProcess::NotRunning;
            },
            60000));
        p.kill();
        p.waitForFinished(10000);
        return ReadLines(log);
    }

private slots:
    void initTestCase()
    {
        if (geteuid() != 0)
            QSKIP("installs a system package: runs only as root");
        for (const char *tool : {"apt-get", "dpkg", "dpkg-deb", "dpkg-query", "cpack", "readelf", "ldd", "setpriv"}) {
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
                QSKIP(qPrintable(QStringLiteral("%1 is not available").arg(QString::fromLatin1(tool))));
        }
        const passwd *user = getpwnam("nobody");
        if (!user)
            QSKIP("there is no user 'nobody' to run the installed programs as");
        m_user = {user->pw_uid, user->pw_gid};
        QVERIFY(m_work.isValid());
        // The test user walks into the work folder; only its own folders inside are writable to it.
        QFile::setPermissions(m_work.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
                                                 | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther);
        for (const char *folder : {"", "home", "runtime", "no-system-data"})
            UserFolder(QString::fromLatin1(folder));
        QFile::setPermissions(Work(QStringLiteral("user/runtime")), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        m_lock = std::make_unique<QLockFile>(kLockPath);
        m_lock->setStaleLockTime(0);
        QVERIFY2(m_lock->tryLock(45 * 60 * 1000), "another run of this test holds the lock for too long");

        RemoveOurPackages();
        for (const QString &p : kPackages) {
            if (IsInstalled(p))
                QSKIP(qPrintable(QStringLiteral("the package %1 is installed on this machine; the test would replace it").arg(p)));
        }

        // The packages of this build, as make package makes them, into a folder of the test's own.
        const QString out = Work(QStringLiteral("packages"));
        const Run cpack = Execute(QStringLiteral("cpack"),
                                  {QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("-B"), out,
                                   QStringLiteral("--config"), QStringLiteral(TAVELIN_BINARY_DIR "/CPackConfig.cmake")},
                                  900000, QProcessEnvironment::systemEnvironment(), QStringLiteral(TAVELIN_BINARY_DIR));
        QVERIFY2(cpack.code == 0, qPrintable(cpack.out + cpack.err));
        const QString arch = Execute(QStringLiteral("dpkg"), {QStringLiteral("--print-architecture")}).out.trimmed();
        m_programDeb = out + QStringLiteral("/tavelin_%1_%2.deb").arg(ProjectVersion(), arch);
        m_demoDeb = out + QStringLiteral("/tavelin-demo_%1_all.deb").arg(ProjectVersion());
        QVERIFY2(QFile::exists(m_programDeb), qPrintable(cpack.out));
        QVERIFY2(QFile::exists(m_demoDeb), qPrintable(cpack.out));
        m_ready = true;
    }

    void cleanupTestCase()
    {
        if (m_ready)
            RemoveOurPackages();
        m_lock.reset();
    }

    // Every shared library the programs link comes with a package the program's package depends on.
    void dependsCoversTheLinkedLibraries()
    {
        const Run depends = Execute(QStringLiteral("dpkg-deb"), {QStringLiteral("-f"), m_programDeb, QStringLiteral("Depends")});
        QCOMPARE(depends.code, 0);
        QStringList dependedOn;
        for (const QString &alternatives : depends.out.split(QLatin1Char(','), Qt::SkipEmptyParts))
            dependedOn << alternatives.trimmed().section(QLatin1Char(' '), 0, 0).section(QLatin1Char(':'), 0, 0);
        for (const QString &program : {QStringLiteral("tavelin"), QStringLiteral("tavelin-catalog")}) {
            const QString path = QStringLiteral(TAVELIN_BINARY_DIR "/") + program;
            const QStringList needed = Needed(path);
            QVERIFY2(needed.size() >= 4, qPrintable(needed.join(QLatin1Char(' '))));
            // Loaded when a server catalogue is first used, never by the loader at every start.
            QVERIFY2(!needed.contains(QStringLiteral("libpq.so.5")), qPrintable(program));
            const QMap<QString, QString> resolved = Resolved(path);
            for (const QString &soname : needed) {
                QVERIFY2(resolved.contains(soname), qPrintable(soname + QStringLiteral(" is not found by the loader")));
                const QString package = PackageOf(resolved.value(soname));
                QVERIFY2(!package.isEmpty(), qPrintable(resolved.value(soname)));
                QVERIFY2(dependedOn.contains(package),
                         qPrintable(QStringLiteral("%1 needs %2 from %3; Depends: %4").arg(program, soname, package, depends.out)));
            }
        }
        // The server client library, which the programs load themselves, is depended on as well.
        void *client = ::dlopen("libpq.so.5", RTLD_LAZY | RTLD_LOCAL);
        QVERIFY2(client, ::dlerror());
        Dl_info where{};
        QVERIFY(::dladdr(::dlsym(client, "PQconnectdb"), &where) && where.dli_fname);
        const QString clientPackage = PackageOf(QString::fromLocal8Bit(where.dli_fname));
        ::dlclose(client);
        QVERIFY2(!clientPackage.isEmpty() && dependedOn.contains(clientPackage),
                 qPrintable(QStringLiteral("libpq.so.5 from %1; Depends: %2").arg(clientPackage, depends.out)));
        const Run demoDepends = Execute(QStringLiteral("dpkg-deb"), {QStringLiteral("-f"), m_demoDeb, QStringLiteral("Architecture")});
        QCOMPARE(demoDepends.out.trimmed(), QStringLiteral("all"));
    }

    void installRunAndRemove()
    {
        QFile mark(kInstalledMark);
        QVERIFY(mark.open(QIODevice::WriteOnly));
        mark.close();
        const Run install = Apt({QStringLiteral("install"), QStringLiteral("--no-install-recommends"), m_programDeb});
        QVERIFY2(install.code == 0, qPrintable(install.out + install.err));
        QVERIFY(IsInstalled(QStringLiteral("tavelin")));

        const Run version = Execute(QStringLiteral("/usr/bin/tavelin-catalog"), {QStringLiteral("--version")}, 600000,
                                    TestSupport::ProgramEnvironment());
        QCOMPARE(version.code, 0);
        QCOMPARE(version.out, QStringLiteral("tavelin-catalog (Tavelin) %1\n").arg(ProjectVersion()));

        // A catalogue in the user's data folder, made by the installed tool (which makes the folder).
        const QString dataHome = UserFolder(QStringLiteral("data-home"));
        const QString catalogue = dataHome + QStringLiteral("/tavelin/KVRJetLib.mdb");
        const Run create = RunAsUser(QStringLiteral("/usr/bin/tavelin-catalog"), {QStringLiteral("create"), catalogue});
        QVERIFY2(create.code == 0, qPrintable(create.err));
        const QString picture = Work(QStringLiteral("user/leaf.jpg"));
        QFile jpeg(picture);
        QVERIFY(jpeg.open(QIODevice::WriteOnly));
        jpeg.write(TestSupport::MakeJpeg(64, 48));
        jpeg.close();
        const Run add = RunAsUser(QStringLiteral("/usr/bin/tavelin-catalog"),
                                  {QStringLiteral("add"), catalogue, QStringLiteral("ZY"), QStringLiteral("--name"),
                                   QStringLiteral("黄芪"), picture});
        QVERIFY2(add.code == 0, qPrintable(add.err));

        // No system data folder: the user's catalogue is the only one there is.
        const QString noData = Work(QStringLiteral("user/no-system-data"));
        QStringList log = StartInstalledProgram(dataHome, noData);
        QVERIFY2(log.contains(QStringLiteral("event\tmain-window-shown")), qPrintable(log.join(QLatin1Char('\n'))));
        QVERIFY2(!log.join(QLatin1Char('\n')).contains(QStringLiteral("box\t")), qPrintable(log.join(QLatin1Char('\n'))));

        // A shared catalogue of this machine's would be found before the demo package's.
        if (QFileInfo::exists(QStringLiteral("/var/lib/tavelin/KVRJetLib.mdb")))
            QSKIP("this machine has a shared catalogue in /var/lib/tavelin; the rest would find it");
        // Without any catalogue the start-up error lists the places, the user's among them.
        const QString emptyHome = UserFolder(QStringLiteral("empty-data-home"));
        log = StartInstalledProgram(emptyHome, noData);
        QVERIFY(!log.contains(QStringLiteral("event\tmain-window-shown")));
        QVERIFY2(log.join(QLatin1Char('\n')).contains(QStringLiteral("/usr/bin/tavelin-catalog demo ") + emptyHome
                                                      + QStringLiteral("/tavelin/KVRJetLib.mdb")),
                 qPrintable(log.join(QLatin1Char('\n'))));

        // The demo package's catalogue in /usr/share/tavelin serves a user who has none; the user
        // only reads it, so nothing is left beside it.
        const Run demo = Apt({QStringLiteral("install"), m_demoDeb});
        QVERIFY2(demo.code == 0, qPrintable(demo.out + demo.err));
        const Run verify = RunAsUser(QStringLiteral("/usr/bin/tavelin-catalog"),
                                     {QStringLiteral("verify"), QStringLiteral("/usr/share/tavelin/KVRJetLib.mdb")});
        QVERIFY2(verify.code == 0, qPrintable(verify.out + verify.err));
        log = StartInstalledProgram(emptyHome, QStringLiteral("/usr/share"));
        QVERIFY2(log.contains(QStringLiteral("event\tmain-window-shown")), qPrintable(log.join(QLatin1Char('\n'))));
        QVERIFY2(!log.join(QLatin1Char('\n')).contains(QStringLiteral("box\t")), qPrintable(log.join(QLatin1Char('\n'))));
        QCOMPARE(QDir(QStringLiteral("/usr/share/tavelin")).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("KVRJetLib.mdb")});

        const Run purge = Apt({QStringLiteral("purge"), QStringLiteral("tavelin"), QStringLiteral("tavelin-demo")});
        QVERIFY2(purge.code == 0, qPrintable(purge.out + purge.err));
        QVERIFY(!QFile::exists(QStringLiteral("/usr/bin/tavelin")));
        QVERIFY(!QFileInfo::exists(QStringLiteral("/usr/share/tavelin")));
        QVERIFY(!QFile::exists(QStringLiteral("/usr/share/applications/org.tavelin.Tavelin.desktop")));
        QFile::remove(kInstalledMark);
    }
};

QTEST_MAIN(TestInstalledPackage)
#include "test_installed_package.moc"
