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
        return QStringLiteral("图库%1正被另一个程序锁定(%2);请等该程序用完后再试")
            .arg(which, engine);
    case SQLITE_INTERRUPT:
        return QStringLiteral("对图库%1的一条语句运行超过了允许的 %2 秒,已被停止;图库文件可能已损坏或被人蓄意改造(%3)")
            .arg(which)
            .arg(SqliteStatementBudget::TimeLimit() / 1000.0)
            .arg(engine);
    case SQLITE_NOMEM:
        return QStringLiteral("对图库%1的一条语句需要的内存超过了允许的 %2 MiB,已被停止;图库文件可能已损坏或被人蓄意改造(%3)")
            .arg(which)
            .arg(SqliteStatementBudget::kMaxHeapBytes >> 20)
            .arg(engine);
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return QStringLiteral("图库文件%1已损坏(%2);请从备份恢复").arg(which, engine);
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
            return QStringLiteral("写入图库文件%1失败(%2);磁盘可能已满,或文件超出了磁盘允许的大小")
                .arg(which, text);
        case SQLITE_IOERR_READ:
        case SQLITE_IOERR_SHORT_READ:
            return QStringLiteral("读取图库文件%1失败(%2)").arg(which, text);
        default:
            return text;
        }
    }
    default:
        return engine;
    }
}
