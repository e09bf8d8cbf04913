#pragma once
// A throwaway PostgreSQL cluster for one test executable: initdb into a temporary folder, a server
// listening only on a Unix socket in that folder, fsync off. Stopped in the destructor; a watchdog
// stops it too if the test process dies without running destructors. As root the cluster runs as
// the `postgres` user (the server refuses to run as root).
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

namespace TestSupport {

class TestPgServer {
public:
    TestPgServer();
    ~TestPgServer();
    TestPgServer(const TestPgServer &) = delete;
    TestPgServer &operator=(const TestPgServer &) = delete;

    // Why the server cannot run here (its programs are missing), or empty when it can.
    static QString MissingReason();

    // initdb and start; throws TavelinError with the server's log on failure.
    void Start();
    // Starts it where its programs are installed; else returns why it cannot run here (the caller skips).
    QString StartWhereInstalled();
    void Stop();
    // A fast restart: every open connection is dropped.
    void Restart();
    bool Running() const { return m_running; }

    // A libpq URL for database db on this server, as user (the superuser when empty).
    QString Url(const QString &db, const QString &user = QString()) const;
    QString SocketDir() const;
    static QString Superuser() { return QStringLiteral("postgres"); }

    // Runs SQL statements as the superuser on database db (default: postgres); throws on error.
    void Exec(const QString &sql, const QString &db = QStringLiteral("postgres")) const;
    // A fresh, empty database; returns its name.
    QString CreateDatabase(const QString &name);
    // Ends every session of database db from the server side (a dropped connection).
    void TerminateSessions(const QString &db) const;

private:
    QStringList Command(const QString &program, const QStringList &args) const;
    void Run(const QString &program, const QStringList &args, int timeoutMs = 60000) const;
    QString DataDir() const;

    std::unique_ptr<QTemporaryDir> m_dir;
    bool m_running = false;
    qint64 m_watchdog = 0;
};

} // namespace TestSupport
