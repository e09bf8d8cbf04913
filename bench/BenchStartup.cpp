// startup100k: the program started on a 100,000-entry catalogue until its main window is shown
// (the splash pause set to 0 ms), against a Qt program that shows one empty window. Both report
// the showing by appending "event<TAB>main-window-shown" to the file named by TAVELIN_TEST_LOG.
#include "bench/BenchClock.h"
#include "bench/BenchMeasures.h"
#include "bench/BenchProgram.h"
#include "bench/BenchResult.h"
#include "bench/BenchRunner.h"

#include "platform/TavelinError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include <cstdio>
#include <unistd.h>

namespace {

const QByteArray kShownLine = "event\tmain-window-shown";

// Starts the program and returns the milliseconds until it reported its main window shown; the
// program is then ended (the baseline quits by itself).
double timeToShown(const QString &program, const QString &workingDir, const QString &logPath,
                   const QString &runtimeDir)
{
    QFile::remove(logPath);
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("TAVELIN_SPLASH_MS"), QStringLiteral("0"));
    env.insert(QStringLiteral("TAVELIN_TEST_LOG"), logPath);
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDir); // the single-instance mark, kept apart
    // No catalogue setting of the user's or of this machine's: the copy beside the catalogue is measured.
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), runtimeDir + QStringLiteral("/config"));
    env.insert(QStringLiteral("XDG_CONFIG_DIRS"), runtimeDir + QStringLiteral("/xdg"));
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(workingDir);
    p.setStandardOutputFile(QProcess::nullDevice()); // standard output carries only the results
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const std::int64_t t0 = BenchNowNs();
    p.start(program, {});
    double ms = -1;
    // Polled every 0.2 ms: fine against start-up times of tens of milliseconds and more.
    while (BenchMsSince(t0) < 60000) {
        QFile log(logPath);
        if (log.open(QIODevice::ReadOnly) && log.readAll().contains(kShownLine)) {
            ms = BenchMsSince(t0);
            break;
        }
        if (p.state() == QProcess::NotRunning && !QFileInfo::exists(logPath))
            break;
        QThread::usleep(200);
    }
    if (p.state() != QProcess::NotRunning) {
        p.terminate();
        if (!p.waitForFinished(10000)) {
            p.kill();
            p.waitForFinished(10000);
        }
    }
    if (ms < 0)
        throw TavelinError(QStringLiteral("startup100k: %1 did not report its main window shown").arg(program));
    return ms;
}

} // namespace

void BenchStartup(const TBenchOptions &options)
{
    const QString dir = HerbCatalogueDir(options);
    if (!QFileInfo(options.programPath).isExecutable() || !QFileInfo(options.minimalWindowPath).isExecutable())
        throw TavelinError(QStringLiteral("startup100k: %1 or %2 is missing").arg(options.programPath,
                                                                                 options.minimalWindowPath));
    // The program looks for its catalogue beside itself: give it a copy of itself beside the
    // catalogue (a hard link where the file system allows).
    const QString program = QDir(dir).filePath(QStringLiteral("tavelin"));
    QFile::remove(program);
    if (::link(QFile::encodeName(options.programPath).constData(), QFile::encodeName(program).constData()) != 0
        && !QFile::copy(options.programPath, program))
        throw TavelinError(QStringLiteral("startup100k: cannot put the program beside the catalogue"));
    const QString runtimeDir = QDir(options.workDir).filePath(QStringLiteral("runtime"));
    QDir().mkpath(runtimeDir);
    QFile::setPermissions(runtimeDir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const QString log = QDir(options.workDir).filePath(QStringLiteral("startup.log"));

    const auto figures = RunInTurn({[&] { return timeToShown(program, dir, log, runtimeDir); },
                                    [&] { return timeToShown(options.minimalWindowPath, dir, log, runtimeDir); }},
                                   options.runs);
    QFile::remove(program);

    TBenchResult r;
    r.name = QStringLiteral("startup100k");
    r.ours = Median(figures[0]);
    r.baseline = Median(figures[1]);
    r.unit = QStringLiteral("ms");
    r.goalOp = QStringLiteral("<=");
    r.goal = 2.5;
    PrintBenchResult(r);
}
