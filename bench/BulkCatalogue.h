#pragma once
// Writes a large catalogue fast for the benchmarks: a new file made by the program's own code,
// then every row in one transaction with prepared statements, the rows laid out as the program
// stores them (picture bytes in KVR_PictureData, the slots holding their PictureID).
#include <QHash>
#include <QList>
#include <QString>
#include <memory>

struct sqlite3;
class TSqlStatement;

class TBulkCatalogue {
public:
    // Creates the file (it must not exist yet) and starts the transaction.
    explicit TBulkCatalogue(const QString &path);
    ~TBulkCatalogue();
    TBulkCatalogue(const TBulkCatalogue &) = delete;
    TBulkCatalogue &operator=(const TBulkCatalogue &) = delete;

    // Appends an entry; storedSlots are the slot bytes exactly as stored (already transformed for
    // the built-in atlases); an empty one leaves its slot NULL. Returns the RecordSN.
    qint64 Add(const QString &atlasCode, const QString &name, const QString &other,
               const QList<QByteArray> &storedSlots = {});
    // Commits and closes; the file is then an ordinary catalogue.
    void Finish();

private:
    TSqlStatement &EntryStatement(const QString &atlasCode);

    sqlite3 *m_db = nullptr;
    std::unique_ptr<TSqlStatement> m_picture;
    QHash<QString, std::shared_ptr<TSqlStatement>> m_entries;
};
