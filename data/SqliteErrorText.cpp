#include "data/SqliteErrorText.h"

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
        // SQLite says "disk I/O error"; the system says why (e.g. "File too large", "No space left").
        const int err = db ? sqlite3_system_errno(db) : 0;
        if (err != 0)
            return QStringLiteral("%1 (%2)").arg(engine, QString::fromLocal8Bit(std::strerror(err)));
        return engine;
    }
    default:
        return engine;
    }
}
