#pragma once
// One libpq connection to the catalogue server, as the catalogue store uses it: statements with
// parameters only, errors as messages a person can act on, and a connection that went away
// (server restart, network) reported once and made again by the next statement.
#include "data/postgres/PgHandles.h"
#include "data/postgres/PgParameters.h"

#include <QString>

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
    // For ROLLBACK on the way out: never throws, never reconnects.
    void ExecQuietly(const char *sql) noexcept;

    // Whether a transaction is open on the server side of this connection.
    bool InTransaction() const;

    // A connection string without a password, as a person may see it.
    static QString DisplayNameOf(const QString &location);
    // Whether location carries a password (in the URL or as password=...).
    static bool CarriesPassword(const QString &location);

private:
    void connect();

    QString m_location;
    QString m_displayName;
    PgConnPtr m_conn;
};
