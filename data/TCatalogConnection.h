#pragma once
// The one connection to a catalogue. It reads the keys of a Jet-style connection string;
// "Data Source" names the catalogue, which the catalogue store opens.
#include "data/TCatalogStore.h"

#include <QHash>
#include <QObject>
#include <QString>

#include <memory>

class TCatalogConnection : public QObject {
    Q_OBJECT
public:
    explicit TCatalogConnection(QObject *parent = nullptr);
    ~TCatalogConnection() override;

    void SetConnectionString(const QString &text);
    QString ConnectionString() const { return m_connectionString; }
    // A connection string naming just the given catalogue.
    static QString ConnectionStringForFile(const QString &path);
    // Keys of a connection string, as written (case kept); later duplicates win.
    static QHash<QString, QString> ParseConnectionString(const QString &text);

    // Opening fails with TavelinError naming the problem; true on an open one, or false on a
    // closed one, changes nothing.
    void SetConnected(bool connected);
    bool Connected() const { return m_store != nullptr; }

    // Where the open catalogue is (empty while closed).
    QString FilePath() const { return m_store ? m_store->Location() : QString(); }
    bool ReadOnly() const { return m_store && m_store->ReadOnly(); }
    // The open catalogue's store; throws when the connection is closed.
    TCatalogStore &Store() const;

    // Throws a clear error when the catalogue cannot be written.
    void RequireWritable() const;

signals:
    void connectedChanged(bool connected);

private:
    QString m_connectionString;
    std::unique_ptr<TCatalogStore> m_store;
};
