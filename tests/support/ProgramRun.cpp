#include "support/ProgramRun.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>

namespace TestSupport {

TProgramRun RunProgram(const QString &program, const QStringList &args, const TRunOptions &options)
{
    QProcess p;
    p.setProcessEnvironment(options.environment);
    if (!options.workingDir.isEmpty())
        p.setWorkingDirectory(options.workingDir);
    p.start(program, args);
    if (!p.waitForStarted(30000))
        return {-1, QString(), QStringLiteral("%1 did not start: %2").arg(program, p.errorString())};
    if (!options.input.isEmpty())
        p.write(options.input);
    p.closeWriteChannel();
    bool overran = false;
    if (!p.waitForFinished(options.timeoutMs)) {
        overran = true;
        p.kill();
        p.waitForFinished(10000);
    }
    TProgramRun run;
    run.code = !overran && p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.out = QString::fromUtf8(p.readAllStandardOutput());
    run.err = QString::fromUtf8(p.readAllStandardError());
    if (overran)
        run.err += QStringLiteral("\n%1 did not finish within %2 s").arg(program).arg(options.timeoutMs / 1000);
    return run;
}

QStringList ReadLines(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
    lines.removeAll(QString());
    return lines;
}

QString ProjectVersionIn(const QString &sourceDir)
{
    QFile f(sourceDir + QStringLiteral("/CMakeLists.txt"));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    return QRegularExpression(QStringLiteral("project\\(Tavelin VERSION ([0-9.]+)"))
        .match(QString::fromUtf8(f.readAll()))
        .captured(1);
}

} // namespace TestSupport
