#pragma once
// The catalogue store on a PostgreSQL server, for a catalogue shared by many workstations.
//
// Same tables, columns, statements and meaning as the catalogue file: statements are translated
// (PgStatementTranslation), values always travel as parameters, picture bytes live in
// KVR_PictureData and are read only when a slot is asked for. A list read again asks the server
// first whether anything changed since it was read (TPgListCache), and is read afresh if so,
// so changes made by other workstations show on the next one.
#include "data/TCatalogStore.h"
#include "data/postgres/PgStatementTranslation.h"
#include "data/postgres/TPgConnection.h"
#include "data/postgres/TPgListCache.h"

#include <QHash>
#include <QSet>

#include <functional>

#include <memory>

class TPgCatalogStore : public TCatalogStore {
public:
    // A postgresql:// (or postgres://) URL, or a libpq connection string naming a service, host
    // or database ("service=clinic", "host=db dbname=atlas").
    static bool IsServerLocation(const QString &location);

    // Connects and checks that the database holds a catalogue. Throws TavelinError naming the
    // server when it cannot be reached or holds no catalogue.
    static std::unique_ptr<TPgCatalogStore> Open(const QString &location);
    // Makes the catalogue's tables in an empty database and fills them (fill, when given) in one
    // transaction, so a failure leaves the database as it was; refuses a database that already
    // holds any of them.
    static void Create(const QString &location, const std::function<void(TCatalogStore &)> &fill = {});

    QString Location() const override;
    bool ReadOnly() const override { return m_readOnly; }
    bool TableExists(const QString &table) override;
    QVector<TStoreColumn> TableColumns(const QString &table) override;
    void Select(const QString &sql, const QHash<QString, QVariant> &parameters, TRowSet &rows) override;
    void ReadPicture(qint64 reference, TMemoryStream &stream) override;
    // In one statement whose rows arrive one by one: one round trip for the lot.
    void ReadPictures(const QVector<qint64> &references, const std::function<void(qint64, QByteArray)> &each) override;
    QHash<qint64, TPictureDigest> PictureDigests(const QVector<qint64> &references) override;
    TTableStatistics Statistics(const QString &table, const QStringList &pictureColumns) override;
    qint64 StoredPictureCount() override;
    qint64 UnreferencedPictureCount() override;
    // References to pictures that are not there (the server itself keeps its files consistent).
    QString IntegrityProblems() override;
    void Execute(const QString &sql) override;
    qint64 InsertEntry(const QString &table, TEntryValues &values, std::optional<qint64> key = {}) override;
    bool UpdateEntry(const QString &table, qint64 key, TEntryValues &values) override;
    bool DeleteEntry(const QString &table, qint64 key) override;
    void RaiseKeySequence(const QString &table, qint64 atLeast) override;
    qint64 LastIssuedKey(const QString &table) override;
    void Begin() override;
    void Commit() override;
    void Rollback() noexcept override;
    // A server is shared: there is no unsafe fast mode; a bulk fill runs in one transaction.
    void SetBulkWriting(bool) override {}

private:
    struct TableInfo {
        QString name;
        bool baseTable = false;
        QVector<TStoreColumn> columns;
        QSet<QString> pictureColumns; // canonical names
    };

    explicit TPgCatalogStore(const QString &location);
    void loadTables();
    // A statement in the server's dialect; keepable: a list TPgListCache may keep, reading tables.
    struct TTranslated {
        TPgStatement statement;
        QStringList tables;
        bool keepable = false;
    };
    TTranslated translate(const QString &sql) const;
    // A search over a kept list that is still current, filtered here; false: ask the server.
    bool searchKeptList(const QString &sql, TRowSet &rows);
    // The rows of a translated statement, read from the server.
    void readRows(const TPgStatement &statement, const QHash<QString, QVariant> &parameters, TRowSet &rows);
    // Whether the picture table has the hash column (a catalogue made by an older version has not).
    // Whether its hashes can be trusted (the trigger that clears a hash whenever the bytes are
    // written without it is there and enabled) is asked with every read of them.
    bool pictureHashesKept();
    void checkIsCatalogue();
    bool detectWritable();
    const TableInfo &table(const QString &name) const;
    QString canonicalIdentifier(const QString &word) const;
    QString column(const TableInfo &t, const QString &name) const;
    PgResultPtr exec(const QByteArray &sql, const PgParameters &parameters = PgParameters(), int resultFormat = 0);
    // The same for a statement that is run again and again: prepared once on the connection.
    PgResultPtr execPrepared(const QByteArray &sql, const PgParameters &parameters = PgParameters(), int resultFormat = 0);
    qint64 storePicture(const QByteArray &bytes);
    // Adds the value of column col as a parameter; a picture is stored first and the value
    // becomes its reference. Returns whether it was a picture.
    bool addValue(const TableInfo &t, const QString &col, QVariant &value, PgParameters &p);
    int64_t countOf(const QString &sql);
    QString referencedPictures();
    void dropPictures(const QVector<qint64> &references);
    QByteArray keySequenceOf(const TableInfo &t);

    TPgConnection m_conn;
    QHash<QString, TableInfo> m_tables;    // by lower-case name
    QHash<QString, QString> m_identifiers; // lower-case -> the catalogue's spelling
    // A column (its spelling) -> its stored folded copy, when every table that has the column keeps one.
    QHash<QString, QString> m_foldedCopies;
    bool m_readOnly = true;
    int m_depth = 0;
    std::optional<bool> m_hashesKept; // once known; forgotten with the tables
    TPgListCache m_lists;
};
