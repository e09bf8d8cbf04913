#include "data/TCatalogConnection.h"

#include "data/TCatalogueOpenAhead.h"

#include "platform/TavelinError.h"

TCatalogConnection::TCatalogConnection(QObject *parent) : QObject(parent) {}

TCatalogConnection::~TCatalogConnection() = default;

void TCatalogConnection::SetConnectionString(const QString &text)
{
    m_connectionString = text;
}

QString TCatalogConnection::ConnectionStringForFile(const QString &path)
{
    return QStringLiteral("Data Source=%1").arg(path);
}

QHash<QString, QString> TCatalogConnection::ParseConnectionString(const QString &text)
{
    QHash<QString, QString> keys;
    for (const QString &part : text.split(QLatin1Char(';'))) {
        const int eq = part.indexOf(QLatin1Char('='));
        if (eq <= 0)
            continue;
        keys.insert(part.left(eq).trimmed(), part.mid(eq + 1));
    }
    return keys;
}

void TCatalogConnection::SetConnected(bool connected)
{
    if (connected == Connected())
        return;
    if (connected) {
        const auto keys = ParseConnectionString(m_connectionString);
        QString location;
        for (auto it = keys.begin(); it != keys.end(); ++it)
            if (it.key().compare(QLatin1String("Data Source"), Qt::CaseInsensitive) == 0)
                location = it.value();
        if (location.isEmpty())
            throw TavelinError(QStringLiteral("The connection names no catalogue file (no Data Source)."));
        m_store = TCatalogueOpenAhead::Take(location);
        if (!m_store)
            m_store = CatalogStore::Open(location);
    } else {
        m_store.reset();
    }
    emit connectedChanged(Connected());
}

TCatalogStore &TCatalogConnection::Store() const
{
    if (!m_store)
        throw TavelinError(QStringLiteral("The catalogue is not open."));
    return *m_store;
}

void TCatalogConnection::RequireWritable() const
{
    Store().RequireWritable();
}
