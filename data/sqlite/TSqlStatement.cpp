#include "data/sqlite/TSqlStatement.h"

#include "data/sqlite/SqliteErrorText.h"
#include "data/sqlite/SqliteStatementBudget.h"
#include "platform/TavelinError.h"

#include <sqlite3.h>

TSqlStatement::TSqlStatement(sqlite3 *db, const QString &sql) : m_db(db), m_sql(sql)
{
    if (!db)
        throw TavelinError(QStringLiteral("The catalogue is not open."));
    const QByteArray utf8 = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(db, utf8.constData(), utf8.size(), &m_stmt, nullptr);
    if (rc != SQLITE_OK) {
        const QString err = SqliteErrorText(db, rc);
        sqlite3_finalize(m_stmt);
        m_stmt = nullptr;
        throw TavelinError(err);
    }
    if (!m_stmt)
        throw TavelinError(QStringLiteral("The statement is empty."));
}

TSqlStatement::~TSqlStatement()
{
    Finished();
    sqlite3_finalize(m_stmt);
}

void TSqlStatement::Finished()
{
    if (m_running) {
        m_running = false;
        SqliteStatementBudget::End(m_db);
    }
}

void TSqlStatement::Fail(const QString &what) const
{
    throw TavelinError(QStringLiteral("%1: %2").arg(what, SqliteErrorText(m_db, sqlite3_extended_errcode(m_db))));
}

void TSqlStatement::BindNull(int index)
{
    if (sqlite3_bind_null(m_stmt, index) != SQLITE_OK)
        Fail(QStringLiteral("Cannot bind a parameter"));
}

void TSqlStatement::BindInt64(int index, qint64 value)
{
    if (sqlite3_bind_int64(m_stmt, index, value) != SQLITE_OK)
        Fail(QStringLiteral("Cannot bind a parameter"));
}

void TSqlStatement::BindText(int index, const QString &value)
{
    const QByteArray utf8 = value.toUtf8();
    if (sqlite3_bind_text(m_stmt, index, utf8.constData(), utf8.size(), SQLITE_TRANSIENT) != SQLITE_OK)
        Fail(QStringLiteral("Cannot bind a parameter"));
}

void TSqlStatement::BindBlob(int index, const QByteArray &value)
{
    // A zero-length blob must stay a blob, not become NULL.
    const int rc = value.isEmpty() ? sqlite3_bind_zeroblob(m_stmt, index, 0)
                                   : sqlite3_bind_blob64(m_stmt, index, value.constData(),
                                                         static_cast<sqlite3_uint64>(value.size()), SQLITE_STATIC);
    if (rc != SQLITE_OK)
        Fail(QStringLiteral("Cannot bind a parameter"));
}

void TSqlStatement::BindVariant(int index, const QVariant &value)
{
    if (!value.isValid() || value.isNull()) {
        BindNull(index);
        return;
    }
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Bool:
        BindInt64(index, value.toLongLong());
        break;
    case QMetaType::QByteArray:
        BindBlob(index, value.toByteArray());
        break;
    default:
        BindText(index, value.toString());
        break;
    }
}

int TSqlStatement::ParameterIndex(const QString &name) const
{
    return sqlite3_bind_parameter_index(m_stmt, name.toUtf8().constData());
}

int TSqlStatement::ParameterCount() const
{
    return sqlite3_bind_parameter_count(m_stmt);
}

bool TSqlStatement::Step()
{
    // The budget covers the whole run, from the first row to the last.
    if (!m_running) {
        m_running = true;
        SqliteStatementBudget::Begin(m_db);
    }
    const int rc = sqlite3_step(m_stmt);
    if (rc == SQLITE_ROW)
        return true;
    Finished();
    if (rc == SQLITE_DONE)
        return false;
    Fail(QStringLiteral("Catalogue error"));
}

void TSqlStatement::Reset()
{
    Finished();
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
}

int TSqlStatement::ColumnCount() const
{
    return sqlite3_column_count(m_stmt);
}

QString TSqlStatement::ColumnName(int i) const
{
    return QString::fromUtf8(sqlite3_column_name(m_stmt, i));
}

bool TSqlStatement::IsNull(int i) const
{
    return sqlite3_column_type(m_stmt, i) == SQLITE_NULL;
}

qint64 TSqlStatement::Int64(int i) const
{
    return sqlite3_column_int64(m_stmt, i);
}

QString TSqlStatement::Text(int i) const
{
    const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(m_stmt, i));
    const int n = sqlite3_column_bytes(m_stmt, i);
    return p ? QString::fromUtf8(p, n) : QString();
}

QByteArray TSqlStatement::Blob(int i) const
{
    const void *p = sqlite3_column_blob(m_stmt, i);
    const int n = sqlite3_column_bytes(m_stmt, i);
    return p ? QByteArray(static_cast<const char *>(p), n) : QByteArray("", 0);
}

QVariant TSqlStatement::Value(int i) const
{
    switch (sqlite3_column_type(m_stmt, i)) {
    case SQLITE_NULL: return QVariant();
    case SQLITE_INTEGER: return QVariant(Int64(i));
    case SQLITE_FLOAT: return QVariant(sqlite3_column_double(m_stmt, i));
    case SQLITE_BLOB: return QVariant(Blob(i));
    default: return QVariant(Text(i));
    }
}
