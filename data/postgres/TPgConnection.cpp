#include "data/postgres/TPgConnection.h"

#include "platform/TavelinError.h"

#include <QByteArray>
#include <QStringList>

namespace {

struct ConninfoDeleter {
    void operator()(PQconninfoOption *o) const noexcept { PQconninfoFree(o); }
};
using ConninfoPtr = std::unique_ptr<PQconninfoOption, ConninfoDeleter>;

ConninfoPtr parse(const QString &location)
{
    char *error = nullptr;
    ConninfoPtr options(PQconninfoParse(location.toUtf8().constData(), &error));
    if (!options) {
        const QString why = error ? QString::fromUtf8(error).trimmed() : QStringLiteral("内存不足");
        PQfreemem(error);
        throw TavelinError(QStringLiteral("无法识别图库服务器设置 \"%1\": %2")
                               .arg(TPgConnection::DisplayNameOf(location), why));
    }
    return options;
}

// libpq's messages come in indented lines for a terminal; a message box wraps one line itself.
QString text(const char *s)
{
    return QString::fromUtf8(s).simplified();
}

} // namespace

namespace {

// What names a server to a person: never a password.
struct ServerName {
    QString user, host, port, db, service;

    QString Text() const
    {
        QString address = QStringLiteral("postgresql://");
        if (!user.isEmpty())
            address += user + QLatin1Char('@');
        address += host; // none: the server on this computer, through its socket
        if (!port.isEmpty())
            address += QLatin1Char(':') + port;
        address += QLatin1Char('/') + db;
        if (service.isEmpty())
            return address;
        const QString name = QStringLiteral("服务 %1").arg(service);
        if (host.isEmpty() && db.isEmpty() && user.isEmpty())
            return name;
        return name + QStringLiteral(" (") + address + QLatin1Char(')');
    }
};

// Nullopt-like: ok is false when the location cannot be parsed.
bool nameOf(const QString &location, ServerName &name)
{
    char *error = nullptr;
    ConninfoPtr options(PQconninfoParse(location.toUtf8().constData(), &error));
    PQfreemem(error);
    if (!options)
        return false;
    for (PQconninfoOption *o = options.get(); o->keyword; ++o) {
        if (!o->val)
            continue;
        const QString v = QString::fromUtf8(o->val);
        const QByteArray k(o->keyword);
        if (k == "user")
            name.user = v;
        else if (k == "host" || (k == "hostaddr" && name.host.isEmpty()))
            name.host = v;
        else if (k == "port")
            name.port = v;
        else if (k == "dbname")
            name.db = v;
        else if (k == "service")
            name.service = v;
    }
    return true;
}

} // namespace

QString TPgConnection::DisplayNameOf(const QString &location)
{
    ServerName name;
    if (!nameOf(location, name))
        return QStringLiteral("(无法读取的服务器设置)");
    return name.Text();
}

bool TPgConnection::CarriesPassword(const QString &location)
{
    char *error = nullptr;
    ConninfoPtr options(PQconninfoParse(location.toUtf8().constData(), &error));
    PQfreemem(error);
    if (!options)
        return false;
    for (PQconninfoOption *o = options.get(); o->keyword; ++o)
        if (o->val && qstrcmp(o->keyword, "password") == 0 && *o->val)
            return true;
    return false;
}

TPgConnection::TPgConnection(const QString &location)
    : m_location(location), m_displayName(DisplayNameOf(location))
{
    parse(location); // a malformed setting is named as such, not as an unreachable server
    connect();
}

void TPgConnection::connect()
{
    // Our defaults come before the location, so anything it says wins over them.
    const char *keywords[] = {"connect_timeout", "fallback_application_name", "client_encoding", "dbname", nullptr};
    const QByteArray where = m_location.toUtf8();
    const char *values[] = {"10", "tavelin", "UTF8", where.constData(), nullptr};
    PgConnPtr conn(PQconnectdbParams(keywords, values, 1));
    if (!conn)
        throw TavelinError(QStringLiteral("无法连接图库服务器 %1: 内存不足。").arg(m_displayName));
    if (PQstatus(conn.get()) != CONNECTION_OK)
        throw TavelinError(QStringLiteral("无法连接图库服务器 %1: %2")
                               .arg(m_displayName, text(PQerrorMessage(conn.get()))));
    m_conn = std::move(conn);
    m_prepared.clear(); // prepared statements belong to the connection they were made on
    // A service names its server in the service file, which a person reading a message has not
    // open: once connected, the message names the server the service led to as well.
    ServerName name;
    if (nameOf(m_location, name) && !name.service.isEmpty()) {
        name.user = QString::fromUtf8(PQuser(m_conn.get()));
        name.host = QString::fromUtf8(PQhost(m_conn.get()));
        name.port = QString::fromUtf8(PQport(m_conn.get()));
        name.db = QString::fromUtf8(PQdb(m_conn.get()));
        m_displayName = name.Text();
    }
    // Statements the program runs are never expected to take long; a runaway one is stopped.
    PgResultPtr r(PQexec(m_conn.get(), "SET statement_timeout = '300s'"));
}

bool TPgConnection::InTransaction() const
{
    if (!m_conn)
        return false;
    const PGTransactionStatusType st = PQtransactionStatus(m_conn.get());
    return st == PQTRANS_INTRANS || st == PQTRANS_INERROR || st == PQTRANS_ACTIVE;
}

void TPgConnection::ensureConnected(bool mayReconnect)
{
    if (!m_conn || PQstatus(m_conn.get()) != CONNECTION_OK) {
        if (!mayReconnect)
            throw TavelinError(QStringLiteral("与图库服务器 %1 的连接在修改过程中断开了,修改没有进行。")
                                   .arg(m_displayName));
        m_conn.reset();
        connect();
    }
}

QString TPgConnection::failureOf(const PGresult *result) const
{
    const QString why = text(result ? PQresultErrorMessage(result) : PQerrorMessage(m_conn.get()));
    if (PQstatus(m_conn.get()) != CONNECTION_OK) {
        // The next statement connects again; until then there is nothing to retry on.
        return QStringLiteral("与图库服务器 %1 的连接断开了(%2)。程序照常运行,下一步操作时会重新连接。")
            .arg(m_displayName, why);
    }
    const QByteArray state = result ? QByteArray(PQresultErrorField(result, PG_DIAG_SQLSTATE)) : QByteArray();
    if (state == "42501")
        return QStringLiteral("图库服务器 %1 拒绝了修改: 此账户只能浏览图库(%2),修改没有进行。")
            .arg(m_displayName, why);
    if (state == "25006")
        return QStringLiteral("图库服务器 %1 目前是只读的(%2),修改没有进行。").arg(m_displayName, why);
    return QStringLiteral("图库服务器 %1 报告了错误: %2").arg(m_displayName, why);
}

PgResultPtr TPgConnection::Exec(const char *sql, const PgParameters &parameters, int resultFormat, bool mayReconnect)
{
    ensureConnected(mayReconnect);
    PgResultPtr result(PQexecParams(m_conn.get(), sql, parameters.Count(), parameters.Types(), parameters.Values(),
                                    parameters.Lengths(), parameters.Formats(), resultFormat));
    const ExecStatusType st = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
    if (st == PGRES_COMMAND_OK || st == PGRES_TUPLES_OK)
        return result;
    throw TavelinError(failureOf(result.get()));
}

namespace {
// More distinct statements than the program has: something builds statements from values; the
// server's memory for them is given back and they are made again as needed.
constexpr int kMaxPrepared = 200;
// The server forgot a prepared statement (DISCARD ALL, a pooler that hands out another session).
const QByteArray kNoSuchStatement = QByteArrayLiteral("26000");
// A table's columns changed since it was prepared (a "select *" after a column was added anywhere):
// the server refuses to hand over rows of another shape; the statement is made anew.
const QByteArray kPlanChangedResult = QByteArrayLiteral("0A000");
} // namespace

QByteArray TPgConnection::prepare(const QByteArray &key, const QByteArray &sql, const PgParameters &parameters)
{
    if (m_prepared.size() >= kMaxPrepared) {
        PgResultPtr r(PQexec(m_conn.get(), "DEALLOCATE ALL"));
        m_prepared.clear();
    }
    const QByteArray name = QByteArrayLiteral("tavelin_") + QByteArray::number(++m_preparedCount);
    PgResultPtr result(PQprepare(m_conn.get(), name.constData(), sql.constData(), parameters.Count(), parameters.Types()));
    if (!result || PQresultStatus(result.get()) != PGRES_COMMAND_OK)
        throw TavelinError(failureOf(result.get()));
    m_prepared.insert(key, name);
    return name;
}

PgResultPtr TPgConnection::ExecPrepared(const QByteArray &sql, const PgParameters &parameters, int resultFormat,
                                        bool mayReconnect)
{
    ensureConnected(mayReconnect);
    // The types are part of the statement: the same text with a parameter typed otherwise is
    // another statement for the server.
    QByteArray key = sql;
    key.append('\0');
    key.append(reinterpret_cast<const char *>(parameters.Types()), qsizetype(parameters.Count() * sizeof(Oid)));
    for (int attempt = 0;; ++attempt) {
        auto it = m_prepared.constFind(key);
        const QByteArray name = it != m_prepared.constEnd() ? *it : prepare(key, sql, parameters);
        PgResultPtr result(PQexecPrepared(m_conn.get(), name.constData(), parameters.Count(), parameters.Values(),
                                          parameters.Lengths(), parameters.Formats(), resultFormat));
        const ExecStatusType st = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
        if (st == PGRES_COMMAND_OK || st == PGRES_TUPLES_OK)
            return result;
        const QByteArray state = result ? QByteArray(PQresultErrorField(result.get(), PG_DIAG_SQLSTATE)) : QByteArray();
        if (attempt == 0 && !InTransaction() && PQstatus(m_conn.get()) == CONNECTION_OK) {
            if (state == kNoSuchStatement) {
                m_prepared.clear();
                continue;
            }
            if (state == kPlanChangedResult) {
                PgResultPtr dropped(PQexec(m_conn.get(), QByteArray("DEALLOCATE " + name).constData()));
                m_prepared.remove(key);
                continue;
            }
        }
        throw TavelinError(failureOf(result.get()));
    }
}

void TPgConnection::ExecRows(const char *sql, const PgParameters &parameters, int resultFormat, bool mayReconnect,
                             const std::function<void(const PGresult *)> &row)
{
    ensureConnected(mayReconnect);
    if (!PQsendQueryParams(m_conn.get(), sql, parameters.Count(), parameters.Types(), parameters.Values(),
                           parameters.Lengths(), parameters.Formats(), resultFormat))
        throw TavelinError(failureOf(nullptr));
    PQsetSingleRowMode(m_conn.get());
    // Every result is collected, whatever happens, so the connection is ready for the next statement.
    QString failure;
    while (PGresult *raw = PQgetResult(m_conn.get())) {
        PgResultPtr result(raw);
        const ExecStatusType st = PQresultStatus(raw);
        if (st == PGRES_SINGLE_TUPLE) {
            if (!failure.isEmpty())
                continue;
            try {
                row(raw);
            } catch (const TavelinError &e) {
                failure = e.message();
            } catch (const std::exception &e) {
                failure = QString::fromLocal8Bit(e.what());
            }
        } else if (st != PGRES_TUPLES_OK && st != PGRES_COMMAND_OK && failure.isEmpty()) {
            failure = failureOf(raw);
        }
    }
    if (!failure.isEmpty())
        throw TavelinError(failure);
}

void TPgConnection::ExecQuietly(const char *sql) noexcept
{
    if (!m_conn || PQstatus(m_conn.get()) != CONNECTION_OK)
        return;
    PgResultPtr r(PQexec(m_conn.get(), sql));
}
