#include "platform/SingleInstanceGuard.h"

#include <QDir>
#include <QLockFile>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include <windows.h>
#endif

SingleInstanceGuard::SingleInstanceGuard(const QString &name) : m_name(name) {}

SingleInstanceGuard::~SingleInstanceGuard()
{
#ifdef Q_OS_WIN
    // The handle stays open for the life of the process; the system closes it at exit.
#endif
}

QString SingleInstanceGuard::LockFilePath(const QString &name)
{
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty())
        dir = QDir::tempPath();
    // Separators in the name would make it a path; nothing else in a name needs care.
    QString file = name;
    file.replace(QLatin1Char('/'), QLatin1Char('_')).replace(QLatin1Char('\\'), QLatin1Char('_'));
    return QDir(dir).filePath(file + QStringLiteral(".lock"));
}

bool SingleInstanceGuard::TryAcquire()
{
#ifdef Q_OS_WIN
    // The mutex's existence alone marks a running copy: nobody owns or waits on it.
    m_mutex = CreateMutexW(nullptr, FALSE, reinterpret_cast<LPCWSTR>(m_name.utf16()));
    return GetLastError() != ERROR_ALREADY_EXISTS;
#else
    m_lock = std::make_unique<QLockFile>(LockFilePath(m_name));
    // Never stale by age: a copy may run for weeks. A lock whose process is gone is stale anyway,
    // and tryLock removes it.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0))
        return true;
    return m_lock->error() != QLockFile::LockFailedError;
#endif
}
