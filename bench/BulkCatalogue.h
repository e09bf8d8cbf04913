#pragma once
// Writes a large catalogue fast for the benchmarks: a new catalogue made by the program's own
// store, then every entry in one transaction with bulk writing, laid out as the program stores it.
#include <QList>
#include <QString>

#include <memory>

class TCatalogStore;
class TStoreTransaction;

class TBulkCatalogue {
public:
    // Creates the catalogue (it must not exist yet) and starts the transaction.
    explicit TBulkCatalogue(const QString &path);
    ~TBulkCatalogue();
    TBulkCatalogue(const TBulkCatalogue &) = delete;
    TBulkCatalogue &operator=(const TBulkCatalogue &) = delete;

    // Appends an entry; storedSlots are the slot bytes exactly as stored (already transformed for
    // the built-in atlases); a null one leaves its slot NULL. Returns the RecordSN.
    qint64 Add(const QString &atlasCode, const QString &name, const QString &other,
               const QList<QByteArray> &storedSlots = {});
    // Commits and closes; the catalogue is then an ordinary one.
    void Finish();

private:
    std::unique_ptr<TCatalogStore> m_store;
    std::unique_ptr<TStoreTransaction> m_transaction;
};
