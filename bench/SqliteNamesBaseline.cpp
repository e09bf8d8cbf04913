#include "bench/SqliteNamesBaseline.h"

#include "platform/TavelinError.h"

#include <sqlite3.h>

void MakeSqliteNamesTable(const QString &path, int count,
                          const std::function<std::pair<QString, QString>(int)> &nameOf)
{
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) != SQLITE_OK) {
        sqlite3_close_v2(db);
        throw TavelinError(QStringLiteral("cannot create %1").arg(path));
    }
    sqlite3_exec(db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; BEGIN;"
                     "CREATE TABLE Names (RecordSN INTEGER PRIMARY KEY, DrugName VARCHAR(50), OtherName TEXT)",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt *insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO Names VALUES(?1, ?2, ?3)", -1, &insert, nullptr);
    for (int i = 0; insert && i < count; ++i) {
        const auto names = nameOf(i);
        const QByteArray drug = names.first.toUtf8(), other = names.second.toUtf8();
        sqlite3_bind_int64(insert, 1, i + 1);
        sqlite3_bind_text(insert, 2, drug.constData(), drug.size(), SQLITE_TRANSIENT);
        sqlite3_bind_text(insert, 3, other.constData(), other.size(), SQLITE_TRANSIENT);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
    const int rc = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close_v2(db);
    if (!insert || rc != SQLITE_OK)
        throw TavelinError(QStringLiteral("cannot write the names table %1").arg(path));
}

TSqliteNamesBaseline::TSqliteNamesBaseline(const QString &path)
{
    if (sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close_v2(m_db);
        m_db = nullptr;
        throw TavelinError(QStringLiteral("cannot open %1").arg(path));
    }
}

TSqliteNamesBaseline::~TSqliteNamesBaseline()
{
    sqlite3_close_v2(m_db);
}

int TSqliteNamesBaseline::CountRows(const QString &sql)
{
    const QByteArray utf8 = sql.toUtf8();
    sqlite3_stmt *st = nullptr;
    if (sqlite3_prepare_v2(m_db, utf8.constData(), utf8.size(), &st, nullptr) != SQLITE_OK) {
        const QString err = QString::fromUtf8(sqlite3_errmsg(m_db));
        sqlite3_finalize(st);
        throw TavelinError(err);
    }
    int rows = 0;
    while (sqlite3_step(st) == SQLITE_ROW)
        ++rows;
    sqlite3_finalize(st);
    return rows;
}
