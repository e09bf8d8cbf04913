#include "support/TestPgServer.h"

#include "platform/TavelinError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

#include <libpq-fe.h>

#include <pwd.h>
#include <signal.h>
#include <unistd.h>

namespace TestSupport {
namespace {

QString binDir()
{
    const QString fromEnv = qEnvironmentVariable("TAVELIN_PG_BIN");
    return fromEnv.isEmpty() ? QStringLiteral("/usr/lib/postgresql/15/bin") : fromEnv;
}

bool runningAsRoot()
{
    return ::geteuid() == 0;
}

QString shellQuoted(const QString &s)
{
    QString q = s;
    q.replace(QLatin1Char('\''), QLatin1String("'\\''"));
    return QLatin1Char('\'') + q + QLatin1Char('\'');
}

struct PgConnCloser {
    void operator()(PGconn *c) const { PQfinish(c); }
};
struct PgResultCloser {
    void operator()(PGresult *r) const { PQclear(r); }
};

} // namespace

TestPgServer::TestPgServer() = default;

TestPgServer::~TestPgServer()
{
    try {
        Stop();
    } catch (...) {
        // The watchdog below still stops it.
    }
    if (m_watchdog > 0)
        ::kill(pid_t(m_watchdog), SIGTERM);
}

QString TestPgServer::MissingReason()
{
    for (const char *program : {"initdb", "pg_ctl", "postgres"}) {
        const QString path = binDir() + QLatin1Char('/') + QLatin1String(program);
        if (!QFileInfo(path).isExecutable())
            return QStringLiteral("PostgreSQL server programs not found (%1 is missing; install postgresql-15 "
                                  "with scripts/install-deps, or set TAVELIN_PG_BIN)").arg(path);
    }
    if (runningAsRoot() && !::getpwnam("postgres"))
        return QStringLiteral("running as root but there is no `postgres` user to run the server as");
    return {};
}

QString TestPgServer::DataDir() const
{
    return m_dir->path() + QStringLiteral("/data");
}

QString TestPgServer::SocketDir() const
{
    return m_dir->path();
}

QStringList TestPgServer::Command(const QString &program, const QStringList &args) const
{
    QStringList cmd;
    if (runningAsRoot())
        cmd << QStringLiteral("runuser") << QStringLiteral("-u") << Superuser() << QStringLiteral("--");
    cmd << binDir() + QLatin1Char('/') + program;
    cmd << args;
    return cmd;
}

void TestPgServer::Run(const QString &program, const QStringList &args, int timeoutMs) const
{
    QStringList cmd = Command(program, args);
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.setWorkingDirectory(m_dir->path());
    const QString exe = cmd.takeFirst();
    p.start(exe, cmd);
    if (!p.waitForFinished(timeoutMs) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        p.kill();
        p.waitForFinished(5000);
        QString log;
        QFile f(m_dir->path() + QStringLiteral("/server.log"));
        if (f.open(QIODevice::ReadOnly))
            log = QString::fromLocal8Bit(f.readAll().right(4000));
        throw TavelinError(QStringLiteral("%1 failed: %2\n%3").arg(program, QString::fromLocal8Bit(p.readAll()), log));
    }
}

QString TestPgServer::StartWhereInstalled()
{
    const QString missing = MissingReason();
    if (missing.isEmpty())
        Start();
    return missing;
}

void TestPgServer::Start()
{
    if (m_running)
        return;
    if (!m_dir) {
        m_dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/tavelin-pg-XXXXXX"));
        if (!m_dir->isValid())
            throw TavelinError(QStringLiteral("cannot make a folder for the test server"));
        if (runningAsRoot()) {
            const passwd *pw = ::getpwnam("postgres");
            if (!pw || ::chown(QFile::encodeName(m_dir->path()).constData(), pw->pw_uid, pw->pw_gid) != 0)
                throw TavelinError(QStringLiteral("cannot hand %1 to the postgres user").arg(m_dir->path()));
        }
        Run(QStringLiteral("initdb"), {QStringLiteral("-D"), DataDir(), QStringLiteral("-U"), Superuser(),
                                       QStringLiteral("--auth=trust"), QStringLiteral("-E"), QStringLiteral("UTF8"),
                                       QStringLiteral("--locale=C.UTF-8"), QStringLiteral("--no-sync")});
    }
    const QString options = QStringLiteral("-c listen_addresses='' -k %1 -c fsync=off -c synchronous_commit=off "
                                           "-c full_page_writes=off -c max_connections=60")
                                .arg(SocketDir());
    Run(QStringLiteral("pg_ctl"), {QStringLiteral("start"), QStringLiteral("-w"), QStringLiteral("-D"), DataDir(),
                                   QStringLiteral("-l"), m_dir->path() + QStringLiteral("/server.log"),
                                   QStringLiteral("-o"), options});
    m_running = true;
    if (m_watchdog == 0) {
        // Stops the server and removes its folder once this process is gone, however it ended.
        const QStringList stop = Command(QStringLiteral("pg_ctl"), {QStringLiteral("stop"), QStringLiteral("-m"),
                                                                    QStringLiteral("immediate"), QStringLiteral("-D"),
                                                                    DataDir()});
        QStringList quoted;
        for (const QString &a : stop)
            quoted << shellQuoted(a);
        const QString script = QStringLiteral("while [ -d /proc/%1 ]; do sleep 1; done; %2 >/dev/null 2>&1; rm -rf %3")
                                   .arg(QCoreApplication::applicationPid())
                                   .arg(quoted.join(QLatin1Char(' ')), shellQuoted(m_dir->path()));
        QProcess::startDetached(QStringLiteral("sh"), {QStringLiteral("-c"), script}, QString(), &m_watchdog);
    }
}

void TestPgServer::Stop()
{
    if (!m_running)
        return;
    m_running = false;
    Run(QStringLiteral("pg_ctl"), {QStringLiteral("stop"), QStringLiteral("-w"), QStringLiteral("-m"),
                                   QStringLiteral("immediate"), QStringLiteral("-D"), DataDir()});
}

void TestPgServer::Restart()
{
    Run(QStringLiteral("pg_ctl"), {QStringLiteral("stop"), QStringLiteral("-w"), QStringLiteral("-m"),
                                   QStringLiteral("fast"), QStringLiteral("-D"), DataDir()});
    m_running = false;
    Start();
}

QString TestPgServer::Url(const QString &db, const QString &user) const
{
    const QString who = user.isEmpty() ? Superuser() : user;
    return QStringLiteral("postgresql:///%1?host=%2&user=%3")
        .arg(QString::fromLatin1(QUrl::toPercentEncoding(db)), QString::fromLatin1(QUrl::toPercentEncoding(SocketDir())),
             QString::fromLatin1(QUrl::toPercentEncoding(who)));
}

void TestPgServer::Exec(const QString &sql, const QString &db) const
{
    std::unique_ptr<PGconn, PgConnCloser> conn(PQconnectdb(Url(db).toUtf8().constData()));
    if (PQstatus(conn.get()) != CONNECTION_OK)
        throw TavelinError(QStringLiteral("test server: %1").arg(QString::fromUtf8(PQerrorMessage(conn.get()))));
    std::unique_ptr<PGresult, PgResultCloser> res(PQexec(conn.get(), sql.toUtf8().constData()));
    const ExecStatusType st = PQresultStatus(res.get());
    if (st != PGRES_COMMAND_OK && st != PGRES_TUPLES_OK)
        throw TavelinError(QStringLiteral("test server: %1\n%2").arg(sql, QString::fromUtf8(PQerrorMessage(conn.get()))));
}

QString TestPgServer::CreateDatabase(const QString &name)
{
    Exec(QStringLiteral("CREATE DATABASE \"%1\"").arg(name));
    return name;
}

void TestPgServer::TerminateSessions(const QString &db) const
{
    std::unique_ptr<PGconn, PgConnCloser> conn(PQconnectdb(Url(QStringLiteral("postgres")).toUtf8().constData()));
    const QByteArray name = db.toUtf8();
    const char *values[] = {name.constData()};
    std::unique_ptr<PGresult, PgResultCloser> res(PQexecParams(
        conn.get(), "SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = $1 AND pid <> pg_backend_pid()",
        1, nullptr, values, nullptr, nullptr, 0));
    if (PQresultStatus(res.get()) != PGRES_TUPLES_OK)
        throw TavelinError(QStringLiteral("test server: %1").arg(QString::fromUtf8(PQerrorMessage(conn.get()))));
}

} // namespace TestSupport
