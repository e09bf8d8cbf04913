#include "bench/ProcessMemory.h"

#include <QFile>

namespace ProcessMemory {
namespace {

qint64 statusField(const char *key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray prefix = QByteArray(key) + ':';
    for (const QByteArray &line : f.readAll().split('\n')) {
        if (line.startsWith(prefix)) {
            const QByteArray value = line.mid(prefix.size()).trimmed(); // "1234 kB"
            return value.left(value.indexOf(' ')).toLongLong();
        }
    }
    return -1;
}

} // namespace

qint64 ResidentKiB()
{
    return statusField("VmRSS");
}

qint64 PeakResidentKiB()
{
    return statusField("VmHWM");
}

bool ResetPeak()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (!f.open(QIODevice::WriteOnly))
        return false;
    return f.write("5") == 1;
}

} // namespace ProcessMemory
