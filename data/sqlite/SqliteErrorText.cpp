#include "data/sqlite/SqliteErrorText.h"

#include <cstring>

#include <sqlite3.h>

QString SqliteErrorText(sqlite3 *db, int rc)
{
    const QString engine = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
    switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("the catalogue is locked by another program (%1); try again once that program has "
                              "finished with it")
            .arg(engine);
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return QStringLiteral("the catalogue file is damaged (%1); restore it from a backup").arg(engine);
    case SQLITE_FULL:
    case SQLITE_IOERR:
    case SQLITE_CANTOPEN:
    case SQLITE_READONLY:
    case SQLITE_PERM: {
        // SQLite says "disk I/O error"; say what was being done and, where the system still
        // knows it, its reason ("File too large", "No space left on device").
        QString text = engine;
        const int err = db ? sqlite3_system_errno(db) : 0;
        if (err != 0)
            text += QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(err));
        switch (rc) {
        case SQLITE_FULL:
        case SQLITE_IOERR_WRITE:
        case SQLITE_IOERR_FSYNC:
        case SQLITE_IOERR_TRUNCATE:
        case SQLITE_IOERR_SHMSIZE:
            return QStringLiteral("writing to the catalogue file failed (%1); the disk may be full or the file too "
                                  "large for it")
                .arg(text);
        case SQLITE_IOERR_READ:
        case SQLITE_IOERR_SHORT_READ:
            return QStringLiteral("reading the catalogue file failed (%1)").arg(text);
        default:
            return text;
        }
    }
    default:
        return engine;
    }
}
