#include "data/sqlite/TSqliteCatalogStore.h"

#include "data/CatalogSchema.h"
#include "data/sqlite/SqliteCatalogSchema.h"
#include "data/sqlite/SqliteErrorText.h"
#include "data/sqlite/TBackgroundCheckpoint.h"
#include "data/sqlite/TLogWriteback.h"
#include "data/sqlite/SqliteStatementBudget.h"
#include "data/sqlite/TRecoveredCopy.h"
#include "data/sqlite/TSqlStatement.h"
#include "platform/TMemoryStream.h"
#include "platform/QuotedPath.h"
#include "platform/TavelinError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <QUrl>

#include <sqlite3.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Looks at the first bytes so a foreign file gets a message that says what it is.
void checkFileKind(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw TavelinError(QStringLiteral("图库文件 %1 不存在。请把图库文件放到这里,或用以下命令生成演示图库: "
                                          "tavelin-catalog demo %1")
                               .arg(QuotedPath(path)));
    if (!info.isFile())
        throw TavelinError(QStringLiteral("图库 %1 不是一个文件。").arg(QuotedPath(path)));
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        throw TavelinError(QStringLiteral("无法读取图库文件 %1: %2").arg(QuotedPath(path), f.errorString()));
    const QByteArray head = f.read(100);
    if (head.isEmpty())
        throw TavelinError(QStringLiteral("图库文件 %1 是空的(0 字节),其中没有图库。请从备份恢复,"
                                          "或用以下命令生成新的图库: tavelin-catalog demo %1")
                               .arg(QuotedPath(path)));
    if (head.mid(4, 15) == "Standard Jet DB" || head.mid(4, 15) == "Standard ACE DB") {
        const QString dir = QDir::toNativeSeparators(info.absolutePath());
        const QString jetCopy = QDir(info.absolutePath()).filePath(info.completeBaseName() + QStringLiteral(".jet.mdb"));
        throw TavelinError(
            QStringLiteral("图库 %1 是旧的 Jet 数据库格式,需要转换一次。请在文件夹 %2 中运行:"
                           "\n  mv %3 %4\n  tavelin-catalog import-mdb %4 %3")
                .arg(QuotedPath(path), dir, QuotedPath(info.absoluteFilePath()), QuotedPath(jetCopy)));
    }
    if (!head.startsWith(QByteArray("SQLite format 3\0", 16)) || head.size() < 100)
        throw TavelinError(QStringLiteral("文件 %1 不是 Tavelin 图库(已损坏或是其他类型的文件)。请从备份恢复。")
                               .arg(QuotedPath(path)));
}

// Honours write permission as the user set it, also for root, who could write regardless: a catalogue
// marked read-only is browsed, never changed.
bool permitsWriting(const QFileInfo &info)
{
    const auto anyWrite = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    return info.isWritable() && (info.permissions() & anyWrite);
}

void execOrThrow(sqlite3 *db, const char *sql)
{
    if (!db)
        throw TavelinError(QStringLiteral("The catalogue is not open."));
    char *err = nullptr;
    SqliteStatementBudget::Begin(db);
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, &err);
    SqliteStatementBudget::End(db);
    if (rc != SQLITE_OK) {
        const QString message = SqliteErrorText(db, sqlite3_extended_errcode(db));
        sqlite3_free(err);
        throw TavelinError(message);
    }
}

bool isPicture(const QVariant &v)
{
    return v.typeId() == QMetaType::QByteArray;
}

// What sqlite_master calls a schema object, as the messages name it.
QString KindName(const QString &kind)
{
    if (kind == QLatin1String("view"))
        return QStringLiteral("视图");
    if (kind == QLatin1String("index"))
        return QStringLiteral("索引");
    if (kind == QLatin1String("trigger"))
        return QStringLiteral("触发器");
    return kind;
}

} // namespace

TSqliteCatalogStore::TSqliteCatalogStore(const QString &path)
{
    checkFileKind(path);

    const QFileInfo info(path);
    const bool writable = permitsWriting(info) && permitsWriting(QFileInfo(info.absolutePath()));
    const QByteArray utf8 = info.absoluteFilePath().toUtf8();

    sqlite3 *db = nullptr;
    auto fail = [&](const QString &why) {
        SqliteStatementBudget::Uninstall(db);
        sqlite3_close_v2(db);
        throw TavelinError(QStringLiteral("无法打开图库 %1: %2").arg(QuotedPath(path), why));
    };
    auto probe = [&]() -> int {
        // Reading the schema is what tells a damaged file from a good one.
        SqliteStatementBudget::Begin(db);
        const int result = sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
        SqliteStatementBudget::End(db);
        return result;
    };

    // A read-only catalogue that a crash left in the middle of a change: read as it stands, it
    // would show entries never committed, or hide committed ones still in its log. SQLite finishes
    // the change in a private copy instead, and the copy is browsed.
    std::unique_ptr<TRecoveredCopy> copy;
    QByteArray openPath = utf8;
    if (!writable && TRecoveredCopy::Needed(info.absoluteFilePath())) {
        copy = std::make_unique<TRecoveredCopy>(info.absoluteFilePath());
        openPath = copy->Path().toUtf8();
    }
    int flags = (writable || copy ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY) | SQLITE_OPEN_NOMUTEX | SQLITE_OPEN_URI;
    int rc = sqlite3_open_v2(openPath.constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK)
        fail(QString::fromUtf8(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc)));
    sqlite3_busy_timeout(db, 5000);
    sqlite3_extended_result_codes(db, 1);
    SqliteStatementBudget::Install(db);
    rc = probe();
    if (rc != SQLITE_OK && !writable && !copy) {
        // A WAL catalogue in a folder we cannot write to: read it as it stands on disk.
        SqliteStatementBudget::Uninstall(db);
        sqlite3_close_v2(db);
        db = nullptr;
        const QByteArray uri = "file:" + QUrl::toPercentEncoding(info.absoluteFilePath(), "/") + "?immutable=1";
        rc = sqlite3_open_v2(uri.constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr);
        if (rc == SQLITE_OK) {
            sqlite3_extended_result_codes(db, 1);
            SqliteStatementBudget::Install(db);
            rc = probe();
        }
    }
    if (rc != SQLITE_OK) {
        const int primary = rc & 0xff;
        if (primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT)
            fail(QStringLiteral("文件已损坏或不是 Tavelin 图库(%1)。请从备份恢复。")
                     .arg(QString::fromUtf8(sqlite3_errmsg(db))));
        fail(SqliteErrorText(db, rc, false));
    }
    // FULL sync makes every posted change durable before the call returns. The journal mode is
    // left alone until the first change: opening and browsing never write to the file.
    if (writable)
        sqlite3_exec(db, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr);
    m_db = db;
    m_recoveredCopy = std::move(copy);
    m_path = info.absoluteFilePath();
    m_readOnly = !writable;
}

TSqliteCatalogStore::~TSqliteCatalogStore()
{
    m_checkpoint.reset(); // waits for it: the file is closed after the copy ends
    if (m_db) {
        SqliteStatementBudget::Uninstall(m_db);
        sqlite3_close_v2(m_db);
    }
}

qint64 TSqliteCatalogStore::StoredBytes() const
{
    // The file SQLite reads: the catalogue itself, or its recovered copy, with its log.
    const char *opened = m_db ? sqlite3_db_filename(m_db, "main") : nullptr;
    const QString file = opened && *opened ? QString::fromUtf8(opened) : m_path;
    return QFileInfo(file).size() + QFileInfo(file + QStringLiteral("-wal")).size();
}

void TSqliteCatalogStore::Create(const QString &path, const std::function<void(TCatalogStore &)> &fill)
{
    if (QFileInfo::exists(path))
        throw TavelinError(QStringLiteral("%1 already exists; it was not changed.").arg(QuotedPath(path)));
    // Build it under a temporary name and move it into place, so a failure leaves nothing behind.
    QString tmp = QStringLiteral("%1.creating-%2").arg(path).arg(QCoreApplication::applicationPid());
    for (int n = 1; QFileInfo::exists(tmp); ++n)
        tmp = QStringLiteral("%1.creating-%2-%3").arg(path).arg(QCoreApplication::applicationPid()).arg(n);
    auto removeTemporary = [&tmp] {
        QFile::remove(tmp);
        QFile::remove(tmp + QStringLiteral("-wal"));
        QFile::remove(tmp + QStringLiteral("-shm"));
        QFile::remove(tmp + QStringLiteral("-journal"));
    };
    removeTemporary();
    QString error;
    {
        TSqliteCatalogStore store;
        const QByteArray utf8 = tmp.toUtf8();
        if (sqlite3_open_v2(utf8.constData(), &store.m_db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr)
            != SQLITE_OK) {
            const QString err = QString::fromUtf8(store.m_db ? sqlite3_errmsg(store.m_db) : "out of memory");
            removeTemporary();
            throw TavelinError(QStringLiteral("Cannot create %1: %2").arg(QuotedPath(path), err));
        }
        sqlite3_extended_result_codes(store.m_db, 1);
        store.m_path = QFileInfo(tmp).absoluteFilePath();
        store.m_journalChecked = true;
        try {
            // The file holds pictures of hundreds of KiB to several MiB: with SQLite's largest page a
            // MiB is 16 page reads or writes instead of 256, which halves an import and speeds every
            // picture read, while the atlas rows that lists and searches scan stay as compact as before.
            execOrThrow(store.m_db, "PRAGMA page_size=65536; PRAGMA journal_mode=WAL");
            store.SetBulkWriting(true);
            TStoreTransaction transaction(store);
            for (const QString &stmt : SqliteCatalogSchema::CreateStatements())
                store.Execute(stmt);
            if (fill)
                fill(store);
            transaction.Commit();
            store.SetBulkWriting(false);
            // Everything into the main file: the catalogue moves into place as one file.
            execOrThrow(store.m_db, "PRAGMA wal_checkpoint(TRUNCATE)");
        } catch (const TavelinError &e) {
            error = e.message();
        }
    }
    if (error.isEmpty() && !QFile::rename(tmp, path))
        error = QStringLiteral("cannot move the new file into place");
    if (!error.isEmpty()) {
        removeTemporary();
        throw TavelinError(QStringLiteral("Cannot create %1: %2").arg(QuotedPath(path), error));
    }
    QFile::remove(tmp + QStringLiteral("-wal"));
    QFile::remove(tmp + QStringLiteral("-shm"));
}

void TSqliteCatalogStore::RequireWritable() const
{
    if (m_readOnly)
        throw TavelinError(QStringLiteral("图库 %1 是只读的(对该文件或其所在文件夹没有写权限),修改没有进行。")
                               .arg(QuotedPath(m_path)));
}

void TSqliteCatalogStore::Execute(const QString &sql)
{
    m_hashesKept.reset(); // the statement may change the tables
    execOrThrow(m_db, sql.toUtf8().constData());
}

bool TSqliteCatalogStore::TableExists(const QString &table)
{
    TSqlStatement st(m_db, QStringLiteral("SELECT type FROM sqlite_master WHERE name = ?1 COLLATE NOCASE "
                                          "ORDER BY type = 'table' DESC"));
    st.BindText(1, table);
    if (!st.Step())
        return false;
    const QString kind = st.Text(0);
    // An atlas must be a table: a view can run any query (an endless one, too) when it is read.
    if (kind != QLatin1String("table"))
        throw TavelinError(QStringLiteral("图库文件 %2 中的 %1 是%3,不是表。图库文件已损坏或属于其他程序;请从备份恢复。")
                               .arg(table, QuotedPath(m_path), KindName(kind)));
    return true;
}

QVector<TStoreColumn> TSqliteCatalogStore::TableColumns(const QString &table)
{
    QVector<TStoreColumn> columns;
    TSqlStatement info(m_db, QStringLiteral("SELECT name, type FROM pragma_table_info(?1)"));
    info.BindText(1, table);
    while (info.Step())
        columns.append({info.Text(0), info.Text(1)});
    return columns;
}

void TSqliteCatalogStore::Select(const QString &sql, const QHash<QString, QVariant> &parameters, TRowSet &rows)
{
    TSqlStatement st(m_db, sql);
    for (auto it = parameters.begin(); it != parameters.end(); ++it) {
        const int idx = st.ParameterIndex(QLatin1Char(':') + it.key());
        if (idx > 0)
            st.BindVariant(idx, it.value());
    }
    const int n = st.ColumnCount();
    rows.Reset(n);
    sqlite3_stmt *h = st.Handle();
    // Straight from SQLite's values into the row set's plain cells: no QVariant or QString per cell.
    while (st.Step()) {
        for (int i = 0; i < n; ++i) {
            switch (sqlite3_column_type(h, i)) {
            case SQLITE_NULL: rows.AppendNull(); break;
            case SQLITE_INTEGER: rows.AppendInteger(sqlite3_column_int64(h, i)); break;
            case SQLITE_FLOAT: rows.AppendDouble(sqlite3_column_double(h, i)); break;
            case SQLITE_BLOB: rows.AppendValue(QVariant(st.Blob(i))); break;
            default: {
                const auto *p = reinterpret_cast<const char *>(sqlite3_column_text(h, i));
                rows.AppendText(p, sqlite3_column_bytes(h, i));
            }
            }
        }
    }
}

void TSqliteCatalogStore::ReadPicture(qint64 reference, TMemoryStream &stream)
{
    if (!m_db)
        throw TavelinError(QStringLiteral("The catalogue is not open."));
    sqlite3_blob *blob = nullptr;
    SqliteStatementBudget::Begin(m_db);
    const auto budget = qScopeGuard([this] { SqliteStatementBudget::End(m_db); });
    if (sqlite3_blob_open(m_db, "main", SqliteCatalogSchema::kPictureDataTable, "Bytes", reference, 0, &blob)
        != SQLITE_OK) {
        const QString err = QString::fromUtf8(sqlite3_errmsg(m_db));
        sqlite3_blob_close(blob);
        throw TavelinError(err);
    }
    // The size comes from the value's record: in a damaged file (an overflow chain that loops) it
    // can claim gigabytes that reading would then produce. Refused before anything is allocated.
    const int n = sqlite3_blob_bytes(blob);
    const qint64 stored = StoredBytes();
    if (n > CatalogSchema::kMaxPictureBytes || n > stored) {
        sqlite3_blob_close(blob);
        throw TavelinError(QStringLiteral("the picture is damaged: it claims %1 bytes, more than %2")
                               .arg(n)
                               .arg(n > stored ? QStringLiteral("the whole catalogue file holds (%1 bytes)").arg(stored)
                                               : QStringLiteral("the %1 MiB any picture may have")
                                                     .arg(CatalogSchema::kMaxPictureBytes >> 20)));
    }
    if (n > 0) {
        // Read straight into memory of its own (no zero-filling first); an empty stream takes it
        // over without a copy.
        QByteArray bytes(n, Qt::Uninitialized);
        const int rc = sqlite3_blob_read(blob, bytes.data(), n, 0);
        if (rc != SQLITE_OK) {
            const QString err = QString::fromUtf8(sqlite3_errstr(rc));
            sqlite3_blob_close(blob);
            throw TavelinError(err);
        }
        if (stream.Size() == 0 && stream.Position() == 0) {
            stream.SetBytes(bytes);
            stream.SetPosition(n);
        } else {
            stream.Write(bytes);
        }
    }
    sqlite3_blob_close(blob);
}

bool TSqliteCatalogStore::PictureHashesKept()
{
    if (!m_hashesKept) {
        TSqlStatement st(m_db, QStringLiteral("SELECT (SELECT count(*) FROM pragma_table_info(?1) WHERE name = ?2 "
                                              "COLLATE NOCASE), (SELECT count(*) FROM sqlite_master WHERE type = 'trigger' "
                                              "AND name = ?3 AND tbl_name = ?1 COLLATE NOCASE)"));
        st.BindText(1, QString::fromLatin1(SqliteCatalogSchema::kPictureDataTable));
        st.BindText(2, QString::fromLatin1(SqliteCatalogSchema::kPictureHashColumn));
        st.BindText(3, QString::fromLatin1(SqliteCatalogSchema::kPictureHashTrigger));
        m_hashesKept = st.Step() && st.Int64(0) == 1 && st.Int64(1) == 1;
    }
    return *m_hashesKept;
}

void TSqliteCatalogStore::KeepPictureHashes()
{
    if (m_readOnly || PictureHashesKept() || !TableExists(QString::fromLatin1(SqliteCatalogSchema::kPictureDataTable)))
        return;
    TSqlStatement column(m_db, QStringLiteral("SELECT count(*) FROM pragma_table_info(?1) WHERE name = ?2 COLLATE NOCASE"));
    column.BindText(1, QString::fromLatin1(SqliteCatalogSchema::kPictureDataTable));
    column.BindText(2, QString::fromLatin1(SqliteCatalogSchema::kPictureHashColumn));
    const bool hasColumn = column.Step() && column.Int64(0) > 0;
    column.Reset();
    execOrThrow(m_db, QStringLiteral("DROP TRIGGER IF EXISTS %1").arg(QLatin1String(SqliteCatalogSchema::kPictureHashTrigger))
                          .toUtf8().constData());
    for (const QString &stmt : SqliteCatalogSchema::PictureHashStatements(!hasColumn))
        execOrThrow(m_db, stmt.toUtf8().constData());
    m_hashesKept.reset();
}

QHash<qint64, TPictureDigest> TSqliteCatalogStore::PictureDigests(const QVector<qint64> &references)
{
    QHash<qint64, TPictureDigest> digests;
    if (references.isEmpty())
        return digests;
    // Asked afresh each time, in the statement that reads the hashes: another program may have
    // dropped the trigger (and then written bytes) while this one had the catalogue open. A file
    // without the column cannot prepare the statement: no digests, the bytes are read instead.
    // length() of a blob comes from its record header: the picture pages are not read.
    constexpr int kChunk = 64;
    try {
        for (int from = 0; from < references.size(); from += kChunk) {
            const int n = qMin(kChunk, int(references.size()) - from);
            QStringList marks;
            for (int i = 1; i <= n; ++i)
                marks << QStringLiteral("?%1").arg(i + 1);
            TSqlStatement st(m_db, QStringLiteral("SELECT PictureID, length(Bytes), %1 FROM %2 WHERE %1 IS NOT NULL "
                                                  "AND PictureID IN (%3) AND EXISTS (SELECT 1 FROM sqlite_master "
                                                  "WHERE type = 'trigger' AND name = ?1 AND tbl_name = '%2' COLLATE NOCASE)")
                                       .arg(QLatin1String(SqliteCatalogSchema::kPictureHashColumn),
                                            QLatin1String(SqliteCatalogSchema::kPictureDataTable), marks.join(QLatin1Char(','))));
            st.BindText(1, QString::fromLatin1(SqliteCatalogSchema::kPictureHashTrigger));
            for (int i = 0; i < n; ++i)
                st.BindInt64(i + 2, references[from + i]);
            while (st.Step())
                digests.insert(st.Int64(0), TPictureDigest{st.Int64(1), quint64(st.Int64(2))});
        }
    } catch (const TavelinError &) {
        return {};
    }
    return digests;
}

TTableStatistics TSqliteCatalogStore::Statistics(const QString &table, const QStringList &pictureColumns)
{
    TTableStatistics stats;
    {
        TSqlStatement st(m_db, QStringLiteral("SELECT count(*) FROM %1").arg(table));
        if (st.Step())
            stats.entries = st.Int64(0);
    }
    for (const QString &column : pictureColumns) {
        // length() of a blob comes from the record header: the picture pages are not read.
        TSqlStatement st(m_db, QStringLiteral("SELECT count(*), total(length(d.Bytes)) FROM %1 t JOIN %2 d "
                                              "ON d.PictureID = t.%3 WHERE length(d.Bytes) > 0")
                                   .arg(table, QLatin1String(SqliteCatalogSchema::kPictureDataTable), column));
        if (st.Step()) {
            stats.filledSlots += st.Int64(0);
            stats.pictureBytes += st.Int64(1);
        }
    }
    return stats;
}

qint64 TSqliteCatalogStore::StoredPictureCount()
{
    TSqlStatement st(m_db, QStringLiteral("SELECT count(*) FROM %1").arg(QLatin1String(SqliteCatalogSchema::kPictureDataTable)));
    return st.Step() ? st.Int64(0) : 0;
}

qint64 TSqliteCatalogStore::UnreferencedPictureCount()
{
    QStringList referenced;
    for (const TAtlasDef &a : CatalogSchema::Atlases()) {
        if (!TableExists(a.table))
            continue;
        for (int k = 1; k <= a.slotCount; ++k)
            referenced << QStringLiteral("SELECT %1 AS ref FROM %2").arg(CatalogSchema::SlotColumn(k), a.table);
    }
    const QString sql = referenced.isEmpty()
                            ? QStringLiteral("SELECT count(*) FROM %1").arg(QLatin1String(SqliteCatalogSchema::kPictureDataTable))
                            : QStringLiteral("SELECT count(*) FROM %1 WHERE PictureID NOT IN "
                                             "(SELECT ref FROM (%2) WHERE ref IS NOT NULL)")
                                  .arg(QLatin1String(SqliteCatalogSchema::kPictureDataTable),
                                       referenced.join(QStringLiteral(" UNION ALL ")));
    TSqlStatement st(m_db, sql);
    return st.Step() ? st.Int64(0) : 0;
}

QString TSqliteCatalogStore::IntegrityProblems()
{
    TSqlStatement st(m_db, QStringLiteral("PRAGMA integrity_check"));
    QStringList problems;
    while (st.Step())
        problems << st.Text(0);
    if (problems == QStringList{QStringLiteral("ok")})
        return {};
    return problems.join(QLatin1Char(' '));
}

void TSqliteCatalogStore::StorePictures(TEntryValues &values)
{
    bool any = false;
    for (const auto &value : values)
        any = any || isPicture(value.second);
    if (!any)
        return;
    KeepPictureHashes();
    const bool hashes = PictureHashesKept();
    // In column order, so a file built twice is the same byte for byte.
    for (auto &value : values) {
        if (!isPicture(value.second))
            continue;
        TSqlStatement st(m_db, hashes ? QStringLiteral("INSERT INTO %1(Bytes, %2) VALUES(?1, ?2)")
                                            .arg(QLatin1String(SqliteCatalogSchema::kPictureDataTable),
                                                 QLatin1String(SqliteCatalogSchema::kPictureHashColumn))
                                      : QStringLiteral("INSERT INTO %1(Bytes) VALUES(?1)")
                                            .arg(QLatin1String(SqliteCatalogSchema::kPictureDataTable)));
        QByteArray bytes = value.second.toByteArray();
        if (bytes.isNull())
            bytes = QByteArray("", 0);
        st.BindBlob(1, bytes);
        if (hashes)
            st.BindInt64(2, qint64(PictureHashOf(bytes)));
        st.Step();
        value.second = QVariant(qint64(sqlite3_last_insert_rowid(m_db)));
    }
}

qint64 TSqliteCatalogStore::InsertEntry(const QString &table, TEntryValues &values, std::optional<qint64> key)
{
    RequireWritable();
    TStoreTransaction transaction(*this);
    StorePictures(values);
    QStringList cols;
    QStringList marks;
    for (const auto &value : values) {
        cols << value.first;
        marks << QStringLiteral("?%1").arg(cols.size());
    }
    if (key) {
        cols << QStringLiteral("RecordSN");
        marks << QStringLiteral("?%1").arg(cols.size());
    }
    const QString sql = cols.isEmpty() ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table)
                                       : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                             .arg(table, cols.join(QLatin1Char(',')), marks.join(QLatin1Char(',')));
    TSqlStatement st(m_db, sql);
    for (int k = 0; k < values.size(); ++k)
        st.BindVariant(k + 1, values[k].second);
    if (key)
        st.BindInt64(values.size() + 1, *key);
    st.Step();
    const qint64 stored = sqlite3_last_insert_rowid(m_db);
    transaction.Commit();
    return stored;
}

bool TSqliteCatalogStore::UpdateEntry(const QString &table, qint64 key, TEntryValues &values)
{
    RequireWritable();
    if (values.isEmpty())
        return true;
    TStoreTransaction transaction(*this);
    StorePictures(values);
    QStringList sets;
    for (int k = 0; k < values.size(); ++k)
        sets << QStringLiteral("%1 = ?%2").arg(values[k].first).arg(k + 1);
    TSqlStatement st(m_db, QStringLiteral("UPDATE %1 SET %2 WHERE RecordSN = ?%3")
                               .arg(table, sets.join(QLatin1Char(',')))
                               .arg(values.size() + 1));
    for (int k = 0; k < values.size(); ++k)
        st.BindVariant(k + 1, values[k].second);
    st.BindInt64(values.size() + 1, key);
    st.Step();
    const bool found = sqlite3_changes(m_db) == 1;
    transaction.Commit();
    return found;
}

bool TSqliteCatalogStore::DeleteEntry(const QString &table, qint64 key)
{
    RequireWritable();
    TStoreTransaction transaction(*this);
    TSqlStatement st(m_db, QStringLiteral("DELETE FROM %1 WHERE RecordSN = ?1").arg(table));
    st.BindInt64(1, key);
    st.Step();
    const bool found = sqlite3_changes(m_db) == 1;
    transaction.Commit();
    return found;
}

void TSqliteCatalogStore::RaiseKeySequence(const QString &table, qint64 atLeast)
{
    if (atLeast <= 0)
        return;
    TSqlStatement update(m_db, QStringLiteral("UPDATE sqlite_sequence SET seq = max(seq, ?1) WHERE name = ?2"));
    update.BindInt64(1, atLeast);
    update.BindText(2, table);
    update.Step();
    if (sqlite3_changes(m_db) == 0) {
        TSqlStatement insert(m_db, QStringLiteral("INSERT INTO sqlite_sequence(name, seq) VALUES(?1, ?2)"));
        insert.BindText(1, table);
        insert.BindInt64(2, atLeast);
        insert.Step();
    }
}

qint64 TSqliteCatalogStore::LastIssuedKey(const QString &table)
{
    // AUTOINCREMENT remembers the highest number ever issued, deleted entries' included.
    qint64 issued = 0;
    {
        TSqlStatement st(m_db, QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = ?1 COLLATE NOCASE"));
        st.BindText(1, table);
        if (st.Step())
            issued = st.Int64(0);
    }
    return qMax(issued, TCatalogStore::LastIssuedKey(table));
}

void TSqliteCatalogStore::UseWriteAheadLog()
{
    if (!m_journalChecked) {
        // Other processes may read and write while we have the catalogue open: WAL keeps
        // readers and a writer apart. Failing to switch (another program busy) is harmless.
        m_journalChecked = true;
        TSqlStatement mode(m_db, QStringLiteral("PRAGMA journal_mode"));
        const QString before = mode.Step() ? mode.Text(0).toLower() : QString();
        mode.Reset();
        if (!before.isEmpty() && before != QLatin1String("wal")
            && sqlite3_exec(m_db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr) == SQLITE_OK)
            m_journalBefore = before;
    }
}

void TSqliteCatalogStore::BeginDurableRun()
{
    RequireWritable();
    if (m_inDurableRun)
        return;
    UseWriteAheadLog();
    // NORMAL: a commit is written to the log but not synced, and the log is synced before any
    // checkpoint, so a power cut takes at most the latest commits, never the file's consistency.
    // No checkpoints during the run: each would write the pictures a second time and sync twice.
    execOrThrow(m_db, "PRAGMA synchronous=NORMAL; PRAGMA wal_autocheckpoint=0");
    m_logWriteback = std::make_unique<TLogWriteback>(m_path + QStringLiteral("-wal"));
    m_inDurableRun = true;
}

void TSqliteCatalogStore::EndDurableRun()
{
    if (!m_inDurableRun)
        return;
    m_inDurableRun = false;
    m_logWriteback.reset();
    sqlite3_exec(m_db, "PRAGMA synchronous=FULL; PRAGMA wal_autocheckpoint=1000", nullptr, nullptr, nullptr);
    // What the run committed is in the log (or in the file itself, when it could not switch to a
    // log): one sync of each, and of the folder that holds a log made during the run.
    QString failed;
    for (const QString &path : {m_path + QStringLiteral("-wal"), m_path, QFileInfo(m_path).absolutePath()}) {
        const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue; // no log: nothing to sync there
        if (::fsync(fd) != 0 && failed.isEmpty())
            failed = QString::fromLocal8Bit(std::strerror(errno));
        ::close(fd);
    }
    if (!failed.isEmpty())
        throw TavelinError(QStringLiteral("图库 %1 的更改未能确认写入磁盘: %2").arg(QuotedPath(m_path), failed));
    // The copy from the log into the file runs on a thread of its own, one at a time (a later
    // commit's own checkpoint takes whatever a running copy has not reached).
    if (!m_checkpoint || m_checkpoint->Finished())
        m_checkpoint = std::make_unique<TBackgroundCheckpoint>(m_path);
}

namespace {

// The savepoint of nesting level depth (1 for the first part inside the outermost transaction).
QByteArray savepointName(int depth)
{
    return "tavelin_part_" + QByteArray::number(depth);
}

} // namespace

void TSqliteCatalogStore::Begin()
{
    if (m_transactionDepth == 0) {
        m_hashesKept.reset(); // another program may have changed the tables since
        UseWriteAheadLog();
        try {
            execOrThrow(m_db, "BEGIN IMMEDIATE");
        } catch (...) {
            RestoreJournalMode();
            throw;
        }
        m_transactionLost = false;
        m_transactionDepth = 1;
        return;
    }
    // A part of a larger change: undone on its own when it fails, the rest going on.
    if (!m_transactionLost)
        execOrThrow(m_db, ("SAVEPOINT " + savepointName(m_transactionDepth)).constData());
    ++m_transactionDepth;
}

void TSqliteCatalogStore::Commit()
{
    if (m_transactionDepth <= 0)
        return;
    if (m_transactionLost) {
        Rollback();
        throw TavelinError(QStringLiteral("The change to the catalogue %1 was not saved: a part of it failed and "
                                          "the whole change was undone.")
                               .arg(QuotedPath(m_path)));
    }
    if (m_transactionDepth > 1) {
        execOrThrow(m_db, ("RELEASE " + savepointName(m_transactionDepth - 1)).constData());
        --m_transactionDepth;
        return;
    }
    execOrThrow(m_db, "COMMIT");
    m_transactionDepth = 0;
    m_journalBefore.clear(); // a change is in the file: WAL stays
    if (m_logWriteback)
        m_logWriteback->Advance();
}

void TSqliteCatalogStore::Rollback() noexcept
{
    if (m_transactionDepth <= 0)
        return;
    m_hashesKept.reset(); // an upgrade of the tables may be undone with the rest
    if (m_transactionDepth > 1) {
        --m_transactionDepth;
        if (m_transactionLost || !m_db)
            return;
        const QByteArray name = savepointName(m_transactionDepth);
        // SQLite ends the whole transaction by itself after some errors (a full disk, a lock);
        // then there is no part left to undo, and the outer commit must fail.
        if (sqlite3_get_autocommit(m_db)
            || sqlite3_exec(m_db, ("ROLLBACK TO " + name).constData(), nullptr, nullptr, nullptr) != SQLITE_OK
            || sqlite3_exec(m_db, ("RELEASE " + name).constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
            m_transactionLost = true;
        return;
    }
    m_transactionDepth = 0;
    m_transactionLost = false;
    if (m_db)
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
    RestoreJournalMode();
}

void TSqliteCatalogStore::RestoreJournalMode() noexcept
{
    if (m_journalBefore.isEmpty() || !m_db)
        return;
    // The journal mode is part of the file; a change that did not happen must not switch it.
    const QByteArray sql = "PRAGMA journal_mode=" + m_journalBefore.toLatin1();
    sqlite3_exec(m_db, sql.constData(), nullptr, nullptr, nullptr);
    m_journalBefore.clear();
    m_journalChecked = false;
}

void TSqliteCatalogStore::SetBulkWriting(bool on)
{
    // A file nobody else sees yet: no sync per commit; the caller's final commit and the move
    // into place come after a full sync.
    execOrThrow(m_db, on ? "PRAGMA synchronous=OFF" : "PRAGMA synchronous=FULL");
}
