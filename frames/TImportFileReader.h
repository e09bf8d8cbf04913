#pragma once
// Reads the files of an import in order on one thread of its own, a few files ahead of the one being
// written to the catalogue, and checks that each is a picture: the reading and the writing overlap,
// and no thread is started per file. Memory stays bounded: at most `ahead` files wait to be taken.
#include <QByteArray>
#include <QStringList>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

class TImportFileReader {
public:
    struct TFile {
        QByteArray bytes; // exactly as stored in the file
        bool readable = false; // it could be read and its header parses
        quint64 hash = 0; // the content hash of bytes, worked out while they are at hand
    };

    explicit TImportFileReader(const QStringList &files, int ahead = 2);
    // Stops reading (files not taken yet are left unread) and waits for the thread.
    ~TImportFileReader();
    TImportFileReader(const TImportFileReader &) = delete;
    TImportFileReader &operator=(const TImportFileReader &) = delete;

    // The next file in the list's order, once it is read; as many calls as files.
    TFile Next();

    // One file, read and checked on the calling thread.
    static TFile Read(const QString &path);

private:
    void Run();

    const QStringList m_files;
    const int m_ahead;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<TFile> m_ready;
    bool m_stop = false;
    std::thread m_thread;
};
