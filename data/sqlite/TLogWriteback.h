#pragma once
// Starts the disk writing a growing file while it grows: the write-ahead log of a durable run, whose
// commits are not synced one by one. Without it the whole log would wait in memory for the run's
// one sync at its end, and the run would wait for all of it there; started as the log grows, the
// disk writes while the program works, and the final sync finds little left to do. It only starts
// writing: what is durable is still decided by that sync alone. The writing is started from a
// thread of its own, so the committing thread does not spend its time queueing pages for the disk.
#include <QString>

#include <condition_variable>
#include <mutex>
#include <thread>

class TLogWriteback {
public:
    // step: the bytes the file grows by before their writing is started.
    explicit TLogWriteback(const QString &path, qint64 step = qint64(4) << 20);
    // Stops the thread; writing already started goes on in the system.
    ~TLogWriteback();
    TLogWriteback(const TLogWriteback &) = delete;
    TLogWriteback &operator=(const TLogWriteback &) = delete;

    // Called after a commit, without waiting: once the file has grown by step bytes since the last
    // start, the writing of the new bytes is started. A file that is not there is passed over.
    void Advance();

private:
    void Run();
    void StartWriting();

    const QString m_path;
    const qint64 m_step;
    int m_fd = -1;
    qint64 m_started = 0; // bytes before this offset have had their writing started

    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_committed = false;
    bool m_stop = false;
    std::thread m_thread;
};
