#pragma once
// Programs run as processes to their end, with what they printed, and what the tests read back of
// the project's own files.
#include "support/ProgramEnvironment.h"

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

namespace TestSupport {

struct TProgramRun {
    int code = -1; // the exit code; -1 when it did not start, crashed or overran its time
    QString out;
    QString err; // ends with what went wrong when code is -1
};

struct TRunOptions {
    // The test's own, with the settings folders in a scratch folder (see ProgramEnvironment).
    QProcessEnvironment environment = ProgramEnvironment();
    QString workingDir;   // empty: the test's own
    QByteArray input;     // written to its standard input, which is then closed
    int timeoutMs = 120000; // killed when it runs longer
};

TProgramRun RunProgram(const QString &program, const QStringList &args, const TRunOptions &options = {});

// The lines of a text file (a log the program writes), empty lines left out; none when it is missing.
QStringList ReadLines(const QString &path);
// The version the project is built as, from the top-level CMakeLists.txt in sourceDir.
QString ProjectVersionIn(const QString &sourceDir);

// Each test executable knows the trees it was built from and into.
#if defined(TAVELIN_SOURCE_DIR) && defined(TAVELIN_BINARY_DIR)
inline QString ProjectVersion()
{
    return ProjectVersionIn(QStringLiteral(TAVELIN_SOURCE_DIR));
}
// This build's catalogue tool.
inline TProgramRun RunCatalogTool(const QStringList &args, const TRunOptions &options = {})
{
    return RunProgram(QStringLiteral(TAVELIN_BINARY_DIR "/tavelin-catalog"), args, options);
}
#endif

} // namespace TestSupport
