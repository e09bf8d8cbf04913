#include "bench/BulkCatalogue.h"

#include "data/CatalogSchema.h"
#include "data/TCatalogStore.h"
#include "platform/TavelinError.h"

TBulkCatalogue::TBulkCatalogue(const QString &path)
{
    CatalogStore::Create(path);
    m_store = CatalogStore::Open(path);
    // Nothing to protect while the catalogue is being made.
    m_store->SetBulkWriting(true);
    m_transaction = std::make_unique<TStoreTransaction>(*m_store);
}

TBulkCatalogue::~TBulkCatalogue()
{
    try {
        Finish();
    } catch (...) {
        m_transaction.reset(); // rolls back
    }
}

qint64 TBulkCatalogue::Add(const QString &atlasCode, const QString &name, const QString &other,
                           const QList<QByteArray> &storedSlots)
{
    if (!m_store)
        throw TavelinError(QStringLiteral("the catalogue is already finished"));
    const TAtlasDef *atlas = CatalogSchema::FindAtlas(atlasCode);
    if (!atlas)
        throw TavelinError(QStringLiteral("unknown atlas %1").arg(atlasCode));
    TEntryValues values{{atlas->nameColumn, name}, {atlas->otherColumn, other}};
    for (int k = 0; k < storedSlots.size(); ++k)
        if (!storedSlots[k].isNull())
            values.append({CatalogSchema::SlotColumn(k + 1), QVariant(storedSlots[k])});
    return m_store->InsertEntry(atlas->table, values);
}

void TBulkCatalogue::Finish()
{
    if (!m_store)
        return;
    m_transaction->Commit();
    m_transaction.reset();
    m_store->SetBulkWriting(false);
    m_store.reset();
}
