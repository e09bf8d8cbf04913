#include "support/SqliteShell.h"

#include <QProcess>

namespace SqliteShell {

QString Run(const QString &path, const QString &sql)
{
    QProcess shell;
    shell.setProgram(QStringLiteral("sqlite3"));
    shell.setArguments({QStringLiteral("-bail"), QStringLiteral("-batch"), path});
    shell.start();
    if (!shell.waitForStarted(10000))
        return QStringLiteral("the sqlite3 shell cannot be started: %1").arg(shell.errorString());
    shell.write(sql.toUtf8());
    shell.write(";\n");
    shell.closeWriteChannel();
    if (!shell.waitForFinished(60000)) {
        shell.kill();
        shell.waitForFinished();
        return QStringLiteral("the sqlite3 shell did not finish");
    }
    if (shell.exitStatus() != QProcess::NormalExit || shell.exitCode() != 0) {
        const QString err = QString::fromUtf8(shell.readAllStandardError()).trimmed();
        return err.isEmpty() ? QStringLiteral("error") : err;
    }
    return {};
}

} // namespace SqliteShell
