#include "frames/TImportFileReader.h"

#include "picture/ContentHash.h"
#include "picture/JpegDecoder.h"

#include <QFile>

#include <exception>

TImportFileReader::TImportFileReader(const QStringList &files, int ahead)
    : m_files(files), m_ahead(qMax(ahead, 1)), m_thread([this] { Run(); })
{
}

TImportFileReader::~TImportFileReader()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

TImportFileReader::TFile TImportFileReader::Next()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_ready.empty(); });
    TFile file = std::move(m_ready.front());
    m_ready.pop_front();
    lock.unlock();
    m_changed.notify_all(); // room for the reader again
    return file;
}

void TImportFileReader::Run()
{
    for (const QString &path : m_files) {
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_changed.wait(lock, [this] { return m_stop || int(m_ready.size()) < m_ahead; });
            if (m_stop)
                return;
        }
        TFile file = Read(path);
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_ready.push_back(std::move(file));
        }
        m_changed.notify_all();
    }
}

TImportFileReader::TFile TImportFileReader::Read(const QString &path)
{
    TFile result;
    try {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return result;
        const qint64 size = file.size();
        // Read straight into memory of its own: zero-filling it first would touch every byte twice.
        QByteArray bytes(size, Qt::Uninitialized);
        if (size > 0 && file.read(bytes.data(), size) != size)
            return result;
        if (!bytes.isEmpty())
            JpegDecoder::ReadHeader(bytes); // the bytes are stored as read, never re-encoded
        result.hash = ContentHash::Of(bytes);
        result.bytes = bytes;
        result.readable = true;
    } catch (const std::exception &) {
        // Not a picture, or too large to hold: counted as failed in the report.
    }
    return result;
}
