#pragma once
// A measure's data folder is made once: a marker file says it is complete, so a measure run again
// on the same work folder (while tuning or profiling) reuses it.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

// True when dir holds complete data; otherwise empties it (whatever a broken run left) and
// creates it, ready to be filled.
inline bool BenchDataReady(const QString &dir)
{
    if (QFileInfo::exists(QDir(dir).filePath(QStringLiteral("complete"))))
        return true;
    QDir(dir).removeRecursively();
    QDir().mkpath(dir);
    return false;
}

inline void MarkBenchDataReady(const QString &dir)
{
    QFile marker(QDir(dir).filePath(QStringLiteral("complete")));
    marker.open(QIODevice::WriteOnly);
}
