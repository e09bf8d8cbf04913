#include "support/SqliteShell.h"

namespace SqliteShell {
namespace {

const QString kProgram = QStringLiteral("sqlite3");

QString notStarted(const QProcess &shell)
{
    return QStringLiteral("the sqlite3 shell cannot be started: %1").arg(shell.errorString());
}

} // namespace

QString Run(const QString &path, const QString &sql, QString *output)
{
    QProcess shell;
    shell.setProgram(kProgram);
    shell.setArguments({QStringLiteral("-bail"), QStringLiteral("-batch"), path});
    shell.start();
    if (!shell.waitForStarted(10000))
        return notStarted(shell);
    shell.write(sql.toUtf8());
    shell.write(";\n");
    shell.closeWriteChannel();
    if (!shell.waitForFinished(60000)) {
        shell.kill();
        shell.waitForFinished();
        return QStringLiteral("the sqlite3 shell did not finish");
    }
    if (output)
        *output = QString::fromUtf8(shell.readAllStandardOutput());
    if (shell.exitStatus() != QProcess::NormalExit || shell.exitCode() != 0) {
        const QString err = QString::fromUtf8(shell.readAllStandardError()).trimmed();
        return err.isEmpty() ? QStringLiteral("error") : err;
    }
    return {};
}

Session::Session(const QString &path)
{
    m_shell.setProgram(kProgram);
    // -bail: a failed statement ends the shell, so Run sees the failure instead of waiting on.
    m_shell.setArguments({QStringLiteral("-bail"), QStringLiteral("-batch"), path});
    m_shell.start();
    m_shell.waitForStarted(10000);
}

Session::~Session()
{
    if (m_shell.state() == QProcess::NotRunning)
        return;
    m_shell.write(".quit\n");
    m_shell.closeWriteChannel();
    if (!m_shell.waitForFinished(30000))
        m_shell.kill();
    m_shell.waitForFinished();
}

QString Session::Run(const QString &sql)
{
    if (m_shell.state() != QProcess::Running)
        return m_shell.error() == QProcess::FailedToStart ? notStarted(m_shell)
                                                          : QStringLiteral("the sqlite3 shell has ended");
    // The shell prints the mark only after everything before it is done.
    const QByteArray mark = "statements-done";
    m_shell.write(sql.toUtf8() + ";\n.print " + mark + "\n");
    QByteArray printed;
    while (!printed.contains(mark)) {
        if (!m_shell.waitForReadyRead(60000)) {
            if (m_shell.state() == QProcess::Running)
                return QStringLiteral("the sqlite3 shell did not finish the statements");
            const QString err = QString::fromUtf8(m_shell.readAllStandardError()).trimmed();
            return err.isEmpty() ? QStringLiteral("the sqlite3 shell ended") : err;
        }
        printed += m_shell.readAllStandardOutput();
    }
    return {};
}

} // namespace SqliteShell
