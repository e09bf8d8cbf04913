#include "data/sqlite/SqliteErrorText.h"

#include "data/sqlite/SqliteStatementBudget.h"

#include <QDir>

#include <cstring>

#include <sqlite3.h>

QString SqliteErrorText(sqlite3 *db, int rc, bool nameFile)
{
    const QString engine = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
    const char *file = db && nameFile ? sqlite3_db_filename(db, "main") : nullptr;
    // " \"/path/KVRJetLib.mdb\"" after "the catalogue" and "the catalogue file", or nothing.
    const QString which = file && *file
                              ? QStringLiteral(" \"%1\"").arg(QDir::toNativeSeparators(QString::fromUtf8(file)))
                              : QString();
    switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("the catalogue%1 is locked by another program (%2); try again once that program has "
                              "finished with it")
            .arg(which, engine);
    case SQLITE_INTERRUPT:
        return QStringLiteral("a statement on the catalogue%1 ran longer than the %2 seconds allowed and was stopped; "
                              "the catalogue file may be damaged or made to do harm (%3)")
            .arg(which)
            .arg(SqliteStatementBudget::TimeLimit() / 1000.0)
            .arg(engine);
    case SQLITE_NOMEM:
        return QStringLiteral("a statement on the catalogue%1 needed more than the %2 MiB of memory allowed and was "
                              "stopped; the catalogue file may be damaged or made to do harm (%3)")
            .arg(which)
            .arg(SqliteStatementBudget::kMaxHeapBytes >> 20)
            .arg(engine);
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return QStringLiteral("the catalogue file%1 is damaged (%2); restore it from a backup").arg(which, engine);
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
            return QStringLiteral("writing to the catalogue file%1 failed (%2); the disk may be full or the file too "
                                  "large for it")
                .arg(which, text);
        case SQLITE_IOERR_READ:
        case SQLITE_IOERR_SHORT_READ:
            return QStringLiteral("reading the catalogue file%1 failed (%2)").arg(which, text);
        default:
            return text;
        }
    }
    default:
        return engine;
    }
}
