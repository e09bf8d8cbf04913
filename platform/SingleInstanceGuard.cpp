#include "platform/SingleInstanceGuard.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

SingleInstanceGuard::SingleInstanceGuard(const QString &name) : m_name(name) {}

SingleInstanceGuard::~SingleInstanceGuard()
{
#ifdef Q_OS_WIN
    // The handle stays open for the life of the process; the system closes it at exit.
#else
    if (m_fd >= 0)
        ::close(m_fd); // releases the lock; the file stays for the next copy
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
    if (m_fd >= 0)
        return true;
    // Nothing is written to the file and nothing synced: the lock itself is the mark, held by
    // the open file, so taking it costs no disk write at start-up.
    const QByteArray path = QFile::encodeName(LockFilePath(m_name));
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return true;
    int rc;
    do
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    while (rc != 0 && errno == EINTR);
    if (rc == 0) {
        m_fd = fd;
        return true;
    }
    const bool heldElsewhere = errno == EWOULDBLOCK;
    ::close(fd);
    return !heldElsewhere;
#endif
}
