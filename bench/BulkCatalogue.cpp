#include "bench/BulkCatalogue.h"

#include "data/CatalogSchema.h"
#include "data/TCatalogConnection.h"
#include "data/sqlite/TSqlStatement.h"
#include "platform/TavelinError.h"

#include <sqlite3.h>

namespace {

void exec(sqlite3 *db, const char *sql)
{
    char *err = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &err) != SQLITE_OK) {
        const QString message = QString::fromUtf8(err ? err : sqlite3_errmsg(db));
        sqlite3_free(err);
        throw TavelinError(message);
    }
}

} // namespace

TBulkCatalogue::TBulkCatalogue(const QString &path)
{
    TCatalogConnection::CreateCatalogueFile(path);
    if (sqlite3_open_v2(path.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        const QString err = QString::fromUtf8(sqlite3_errmsg(m_db));
        sqlite3_close_v2(m_db);
        m_db = nullptr;
        throw TavelinError(err);
    }
    // Nothing to protect while the file is being made: no journal, no syncing.
    exec(m_db, "PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; PRAGMA cache_size=-65536; BEGIN");
    m_picture = std::make_unique<TSqlStatement>(
        m_db, QStringLiteral("INSERT INTO %1(Bytes) VALUES(?1)").arg(QLatin1String(CatalogSchema::kPictureDataTable)));
}

TBulkCatalogue::~TBulkCatalogue()
{
    try {
        Finish();
    } catch (...) {
    }
}

TSqlStatement &TBulkCatalogue::EntryStatement(const QString &atlasCode)
{
    auto it = m_entries.find(atlasCode);
    if (it != m_entries.end())
        return **it;
    const TAtlasDef *atlas = CatalogSchema::FindAtlas(atlasCode);
    if (!atlas)
        throw TavelinError(QStringLiteral("unknown atlas %1").arg(atlasCode));
    QStringList cols{atlas->nameColumn, atlas->otherColumn};
    for (int k = 1; k <= atlas->slotCount; ++k)
        cols << CatalogSchema::SlotColumn(k);
    QStringList marks;
    for (int i = 1; i <= cols.size(); ++i)
        marks << QStringLiteral("?%1").arg(i);
    auto st = std::make_shared<TSqlStatement>(m_db, QStringLiteral("INSERT INTO %1(%2) VALUES(%3)")
                                                       .arg(atlas->table, cols.join(QLatin1Char(',')),
                                                            marks.join(QLatin1Char(','))));
    return **m_entries.insert(atlasCode, st);
}

qint64 TBulkCatalogue::Add(const QString &atlasCode, const QString &name, const QString &other,
                           const QList<QByteArray> &storedSlots)
{
    if (!m_db)
        throw TavelinError(QStringLiteral("the catalogue is already finished"));
    TSqlStatement &entry = EntryStatement(atlasCode);
    entry.BindText(1, name);
    entry.BindText(2, other);
    for (int k = 0; k < storedSlots.size(); ++k) {
        if (storedSlots[k].isNull())
            continue;
        m_picture->BindBlob(1, storedSlots[k]);
        m_picture->Step();
        m_picture->Reset();
        entry.BindInt64(3 + k, sqlite3_last_insert_rowid(m_db));
    }
    entry.Step();
    entry.Reset();
    return sqlite3_last_insert_rowid(m_db);
}

void TBulkCatalogue::Finish()
{
    if (!m_db)
        return;
    m_entries.clear();
    m_picture.reset();
    exec(m_db, "COMMIT; PRAGMA journal_mode=WAL");
    sqlite3_close_v2(m_db);
    m_db = nullptr;
}
