#include "data/sqlite/SqliteErrorText.h"

#include <cstring>

#include <sqlite3.h>

QString SqliteErrorText(sqlite3 *db, int rc)
{
    const QString engine = QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc));
    switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("图库文件正被另一个程序锁定(%1);请等该程序用完后再试")
            .arg(engine);
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return QStringLiteral("图库文件已损坏(%1);请从备份恢复").arg(engine);
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
            return QStringLiteral("写入图库文件失败(%1);磁盘可能已满,或文件超出了磁盘允许的大小")
                .arg(text);
        case SQLITE_IOERR_READ:
        case SQLITE_IOERR_SHORT_READ:
            return QStringLiteral("读取图库文件失败(%1)").arg(text);
        default:
            return text;
        }
    }
    default:
        return engine;
    }
}
