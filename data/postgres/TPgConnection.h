#pragma once
// One libpq connection to the catalogue server, as the catalogue store uses it: statements with
// parameters only, errors as messages a person can act on, and a connection that went away
// (server restart, network) reported once and made again by the next statement.
#include "data/postgres/PgHandles.h"
#include "data/postgres/PgParameters.h"

#include <QHash>
#include <QString>

#include <functional>

class TPgConnection {
public:
    // location: a postgresql:// URL or a libpq connection string (e.g. "service=clinic").
    // Connects at once; throws TavelinError naming the server when it cannot be reached.
    explicit TPgConnection(const QString &location);

    // The server as a person names it: user, host, port and database, never a password.
    QString DisplayName() const { return m_displayName; }
    // The location as a command line takes it: as configured, unless it carries a password.
    QString CommandLocation() const { return CarriesPassword(m_location) ? m_displayName : m_location; }

    // Runs one statement; resultFormat 1 asks for binary results. Throws TavelinError on failure.
    // Reconnects first when the last statement found the connection gone, unless a transaction
    // was open on it (its work is lost; the caller's rollback ends it).
    // mayReconnect false (inside a transaction): a lost connection is an error, never silently
    // replaced by a new one that would run the rest outside the transaction.
    PgResultPtr Exec(const char *sql, const PgParameters &parameters = PgParameters(), int resultFormat = 0,
                     bool mayReconnect = true);
    PgResultPtr Exec(const QByteArray &sql, const PgParameters &parameters = PgParameters(), int resultFormat = 0,
                     bool mayReconnect = true)
    {
        return Exec(sql.constData(), parameters, resultFormat, mayReconnect);
    }
    // The same through a statement the server keeps prepared on this connection, made the first
    // time this text is run with these parameter types: a statement run again (every keystroke's
    // search, every imported entry) is parsed and planned by the server once, not every time.
    PgResultPtr ExecPrepared(const QByteArray &sql, const PgParameters &parameters, int resultFormat, bool mayReconnect);
    // The same, handing the rows of the result to row one at a time as they arrive, so that the
    // caller works on the first while the server still sends the others. Throws when the
    // statement or row fails (rows handed over before stay handed over).
    void ExecRows(const char *sql, const PgParameters &parameters, int resultFormat, bool mayReconnect,
                  const std::function<void(const PGresult *)> &row);
    // For ROLLBACK on the way out: never throws, never reconnects.
    void ExecQuietly(const char *sql) noexcept;

    // Whether the connection is there (a statement failed for a reason of its own, not a lost one).
    bool Connected() const { return m_conn && PQstatus(m_conn.get()) == CONNECTION_OK; }
    // Whether a transaction is open on the server side of this connection.
    bool InTransaction() const;

    // A connection string without a password, as a person may see it.
    static QString DisplayNameOf(const QString &location);
    // Whether location carries a password (in the URL or as password=...).
    static bool CarriesPassword(const QString &location);

private:
    void connect();
    // Connects again when the connection was lost and mayReconnect allows it; throws otherwise.
    void ensureConnected(bool mayReconnect);
    // The message for a failed statement (result may be null).
    QString failureOf(const PGresult *result) const;

    // Prepares sql under a new name, remembered for this connection; returns the name.
    QByteArray prepare(const QByteArray &key, const QByteArray &sql, const PgParameters &parameters);

    QString m_location;
    QString m_displayName;
    PgConnPtr m_conn;
    QHash<QByteArray, QByteArray> m_prepared; // statement text and parameter types -> name
    quint64 m_preparedCount = 0;
};
