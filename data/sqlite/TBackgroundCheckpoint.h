#pragma once
// Copies a catalogue file's write-ahead log into the file on a thread of its own, through a
// connection of its own, without blocking the program's readers or writers (SQLite's passive
// checkpoint). Used after a large import made its changes durable in the log: the second write of
// those pictures then costs the user nothing. The destructor waits for the copy to end.
#include <QString>

#include <atomic>
#include <thread>

class TBackgroundCheckpoint {
public:
    explicit TBackgroundCheckpoint(const QString &filePath);
    ~TBackgroundCheckpoint();
    TBackgroundCheckpoint(const TBackgroundCheckpoint &) = delete;
    TBackgroundCheckpoint &operator=(const TBackgroundCheckpoint &) = delete;

    bool Finished() const { return m_finished; }

private:
    std::atomic<bool> m_finished{false};
    std::thread m_thread;
};
