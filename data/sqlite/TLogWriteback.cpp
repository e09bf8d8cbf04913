#include "data/sqlite/TLogWriteback.h"

#include <QFile>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

TLogWriteback::TLogWriteback(const QString &path, qint64 step)
    : m_path(path), m_step(qMax<qint64>(step, 1)), m_thread([this] { Run(); })
{
}

TLogWriteback::~TLogWriteback()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_one();
    m_thread.join();
    if (m_fd >= 0)
        ::close(m_fd);
}

void TLogWriteback::Advance()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_committed = true;
    }
    m_wake.notify_one();
}

void TLogWriteback::Run()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_committed || m_stop; });
        if (m_stop)
            return;
        m_committed = false;
        lock.unlock();
        StartWriting();
        lock.lock();
    }
}

void TLogWriteback::StartWriting()
{
    if (m_fd < 0) {
        m_fd = ::open(QFile::encodeName(m_path).constData(), O_RDONLY | O_CLOEXEC);
        if (m_fd < 0)
            return; // no log yet
    }
    struct stat st {};
    if (::fstat(m_fd, &st) != 0)
        return;
    const qint64 size = st.st_size;
    if (size < m_started)
        m_started = 0; // the log started over from its beginning
    if (size - m_started < m_step)
        return;
#ifdef __linux__
    // Queues the range for writing; the run's final sync waits for whatever is left.
    ::sync_file_range(m_fd, m_started, size - m_started, SYNC_FILE_RANGE_WRITE);
#endif
    m_started = size;
}
