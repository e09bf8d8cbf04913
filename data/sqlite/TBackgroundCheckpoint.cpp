#include "data/sqlite/TBackgroundCheckpoint.h"

#include <QFile>

#include <sqlite3.h>

TBackgroundCheckpoint::TBackgroundCheckpoint(const QString &filePath)
{
    const QByteArray path = QFile::encodeName(filePath);
    m_thread = std::thread([this, path] {
        sqlite3 *db = nullptr;
        if (sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) == SQLITE_OK) {
            // FULL: the log is synced before the file is written and the file after, as every
            // checkpoint must be for the catalogue to survive a power cut in the middle of it.
            sqlite3_exec(db, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
            sqlite3_wal_checkpoint_v2(db, nullptr, SQLITE_CHECKPOINT_PASSIVE, nullptr, nullptr);
        }
        // Not the last connection to the file: closing leaves the log to the program's own.
        sqlite3_close_v2(db);
        m_finished = true;
    });
}

TBackgroundCheckpoint::~TBackgroundCheckpoint()
{
    if (m_thread.joinable())
        m_thread.join();
}
