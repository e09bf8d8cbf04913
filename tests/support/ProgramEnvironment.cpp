#include "support/ProgramEnvironment.h"

#include <QDir>
#include <QTemporaryDir>

namespace TestSupport {
namespace {

const QTemporaryDir &scratch()
{
    static const QTemporaryDir dir;
    return dir;
}

} // namespace

QString ScratchConfigHome()
{
    return scratch().filePath(QStringLiteral("config"));
}

QProcessEnvironment ProgramEnvironment(const QProcessEnvironment &base)
{
    QProcessEnvironment env = base;
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), ScratchConfigHome());
    // Not empty: an empty list means the default, /etc/xdg.
    env.insert(QStringLiteral("XDG_CONFIG_DIRS"), scratch().filePath(QStringLiteral("xdg")));
    return env;
}

} // namespace TestSupport
