#pragma once
// Marks a running copy of the program under a name, per user. The mark disappears with the process,
// also when it is killed, so a dead copy never refuses a later start.
#include <QString>

class SingleInstanceGuard {
public:
    explicit SingleInstanceGuard(const QString &name);
    ~SingleInstanceGuard();
    SingleInstanceGuard(const SingleInstanceGuard &) = delete;
    SingleInstanceGuard &operator=(const SingleInstanceGuard &) = delete;

    // Takes the mark. False only when another live copy holds it; any other failure (no place to
    // keep the mark) lets the caller go on, as a second copy is harmless compared to no program.
    bool TryAcquire();
    // Where the mark of a name lives (for tests and diagnostics).
    static QString LockFilePath(const QString &name);

private:
    QString m_name;
#ifdef Q_OS_WIN
    void *m_mutex = nullptr;
#else
    // An open file with an exclusive lock on it: the system drops the lock when the process ends,
    // however it ends, so no leftover mark needs telling from a live one.
    int m_fd = -1;
#endif
};
