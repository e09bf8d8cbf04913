#include "data/postgres/TPgCatalogStore.h"

#include "data/CatalogSchema.h"
#include "data/TRowSet.h"
#include "data/postgres/PgCatalogSchema.h"
#include "data/postgres/PgLikeMatch.h"
#include "data/postgres/PgStatementTranslation.h"
#include "platform/TMemoryStream.h"
#include "platform/TavelinError.h"

#include <QRegularExpression>
#include <QtEndian>

using PgStatementTranslation::QuoteIdentifier;

namespace {

// The server's numbers of the types a result column can have in the catalogue.
enum : Oid {
    kBoolOid = 16,
    kByteaOid = 17,
    kInt8Oid = 20,
    kInt2Oid = 21,
    kInt4Oid = 23,
    kOidOid = 26,
    kFloat4Oid = 700,
    kFloat8Oid = 701,
    kNumericOid = 1700,
};

// One cell of a text-format result into rows, without a QVariant or QString on the way: a list
// is tens of thousands of cells.
void appendCell(const PGresult *r, int row, int col, Oid type, TRowSet &rows)
{
    if (PQgetisnull(r, row, col)) {
        rows.AppendNull();
        return;
    }
    const char *v = PQgetvalue(r, row, col);
    const int len = PQgetlength(r, row, col);
    switch (type) {
    case kInt2Oid:
    case kInt4Oid:
    case kInt8Oid:
    case kOidOid: rows.AppendInteger(QByteArray::fromRawData(v, len).toLongLong()); return;
    case kFloat4Oid:
    case kFloat8Oid:
    case kNumericOid: rows.AppendDouble(QByteArray::fromRawData(v, len).toDouble()); return;
    case kBoolOid: rows.AppendValue(QVariant(len > 0 && v[0] == 't')); return;
    case kByteaOid: {
        size_t n = 0;
        unsigned char *bytes = PQunescapeBytea(reinterpret_cast<const unsigned char *>(v), &n);
        QByteArray out(reinterpret_cast<const char *>(bytes), qsizetype(n));
        PQfreemem(bytes);
        rows.AppendValue(QVariant(out));
        return;
    }
    default: rows.AppendText(v, len); return; // text: UTF-8 as the row set keeps it
    }
}

// The text form of a bigint[] parameter: one statement for any number of pictures.
QString bigintArray(const QVector<qint64> &ids)
{
    QString text(QLatin1Char('{'));
    for (qsizetype i = 0; i < ids.size(); ++i) {
        if (i)
            text += QLatin1Char(',');
        text += QString::number(ids[i]);
    }
    return text + QLatin1Char('}');
}

// The words a list statement is made of besides the catalogue's names: anything else (a function
// of the server's, a table of its own) may read what the change log does not cover.
bool isListWord(const QString &word)
{
    static const QSet<QString> words{
        QStringLiteral("select"), QStringLiteral("distinct"), QStringLiteral("from"),  QStringLiteral("where"),
        QStringLiteral("and"),    QStringLiteral("or"),       QStringLiteral("not"),   QStringLiteral("as"),
        QStringLiteral("order"),  QStringLiteral("by"),       QStringLiteral("asc"),   QStringLiteral("desc"),
        QStringLiteral("is"),     QStringLiteral("null"),     QStringLiteral("count"), QStringLiteral("max"),
        QStringLiteral("min")};
    return words.contains(word.toLower());
}

QByteArray utf8(const QString &s)
{
    return s.toUtf8();
}

} // namespace

bool TPgCatalogStore::IsServerLocation(const QString &location)
{
    static const QRegularExpression url(QStringLiteral("^postgres(ql)?://"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression conninfo(
        QStringLiteral("^\\s*(service|host|hostaddr|dbname|port|user)\\s*="), QRegularExpression::CaseInsensitiveOption);
    return url.match(location).hasMatch() || conninfo.match(location).hasMatch();
}

TPgCatalogStore::TPgCatalogStore(const QString &location)
    : m_conn(location)
{
    loadTables();
}

std::unique_ptr<TPgCatalogStore> TPgCatalogStore::Open(const QString &location)
{
    std::unique_ptr<TPgCatalogStore> store(new TPgCatalogStore(location));
    store->checkIsCatalogue();
    store->m_readOnly = !store->detectWritable();
    return store;
}

void TPgCatalogStore::Create(const QString &location, const std::function<void(TCatalogStore &)> &fill)
{
    std::unique_ptr<TPgCatalogStore> store(new TPgCatalogStore(location));
    QStringList present;
    for (const TAtlasDef &a : CatalogSchema::Atlases())
        if (store->m_tables.contains(a.table.toLower()))
            present << a.table;
    if (store->m_tables.contains(QString::fromLatin1(PgCatalogSchema::kPictureDataTable).toLower()))
        present << QString::fromLatin1(PgCatalogSchema::kPictureDataTable);
    if (!present.isEmpty())
        throw TavelinError(QStringLiteral("The database %1 already holds a catalogue (%2); it was not changed.")
                               .arg(store->Location(), present.join(QStringLiteral(", "))));
    TStoreTransaction tx(*store);
    PgResultPtr schema = store->exec(QByteArrayLiteral("SELECT current_schema()"));
    if (PQntuples(schema.get()) != 1 || PQgetisnull(schema.get(), 0, 0))
        throw TavelinError(QStringLiteral("The database %1 has no schema to make the catalogue in (the search path names "
                                          "none that exists); it was not changed.").arg(store->Location()));
    for (const QString &statement : PgCatalogSchema::CreateStatements(QString::fromUtf8(PQgetvalue(schema.get(), 0, 0))))
        store->exec(utf8(statement));
    store->loadTables();
    store->m_readOnly = false; // whoever may make the tables may fill them
    if (fill)
        fill(*store);
    tx.Commit();
}

QString TPgCatalogStore::Location() const
{
    return m_conn.DisplayName();
}

void TPgCatalogStore::loadTables()
{
    // The tables and columns of the schema the connection works in (the first of its search path).
    PgResultPtr r = exec(QByteArrayLiteral(
        "SELECT c.relname, c.relkind, a.attname, format_type(a.atttypid, a.atttypmod), a.attgenerated "
        "FROM pg_class c JOIN pg_attribute a ON a.attrelid = c.oid "
        "WHERE c.relnamespace = (SELECT oid FROM pg_namespace WHERE nspname = current_schema()) "
        "AND c.relkind IN ('r', 'p', 'v', 'm', 'f') AND a.attnum > 0 AND NOT a.attisdropped "
        "ORDER BY c.relname, a.attnum"));
    m_tables.clear();
    m_identifiers.clear();
    m_foldedCopies.clear();
    m_hashesKept.reset();
    QHash<QString, QSet<QString>> foldedCopiesOf; // table (lower case) -> columns with a folded copy
    for (int i = 0; i < PQntuples(r.get()); ++i) {
        const QString name = QString::fromUtf8(PQgetvalue(r.get(), i, 0));
        const char kind = *PQgetvalue(r.get(), i, 1);
        const QString col = QString::fromUtf8(PQgetvalue(r.get(), i, 2));
        const QString declared = PgCatalogSchema::DeclaredType(QString::fromUtf8(PQgetvalue(r.get(), i, 3)));
        const bool generated = *PQgetvalue(r.get(), i, 4) == 's';
        // A folded copy is the server's, not a column of the catalogue: no statement lists it, no
        // copy writes it. Only one the server itself writes is trusted to match its column.
        if (generated && col.endsWith(QLatin1String(PgCatalogSchema::kFoldedSuffix))) {
            foldedCopiesOf[name.toLower()].insert(col.chopped(int(qstrlen(PgCatalogSchema::kFoldedSuffix))));
            continue;
        }
        TableInfo &t = m_tables[name.toLower()];
        t.name = name;
        t.baseTable = kind == 'r' || kind == 'p';
        t.columns.append({col, declared});
        if (declared == QLatin1String(CatalogSchema::kBlobTypeName))
            t.pictureColumns.insert(col);
        m_identifiers.insert(name.toLower(), name);
        m_identifiers.insert(col.toLower(), col);
    }
    // A column's copy is used only when every table (or view) with a column of that name keeps one:
    // a statement names the column without saying whose it is.
    QHash<QString, bool> everywhere; // column (lower case) -> whether each table with it has the copy
    for (const TableInfo &t : std::as_const(m_tables)) {
        const QSet<QString> copies = foldedCopiesOf.value(t.name.toLower());
        for (const TStoreColumn &c : t.columns) {
            const QString key = c.name.toLower();
            everywhere[key] = everywhere.value(key, true) && copies.contains(c.name);
        }
    }
    for (auto it = everywhere.constBegin(); it != everywhere.constEnd(); ++it)
        if (it.value())
            m_foldedCopies.insert(m_identifiers.value(it.key()), PgCatalogSchema::FoldedColumn(m_identifiers.value(it.key())));

    // Lists are kept between readings only where the change log can say when they changed: a
    // catalogue made by an older version has none, an account may not be allowed to read it.
    bool logReadable = false;
    const auto log = m_tables.constFind(QString::fromLatin1(PgCatalogSchema::kChangeTable).toLower());
    if (log != m_tables.constEnd() && log->baseTable) {
        PgParameters p;
        p.AddText(QuoteIdentifier(log->name));
        PgResultPtr readable = exec(QByteArrayLiteral("SELECT has_table_privilege($1::text, 'SELECT')"), p);
        logReadable = PQntuples(readable.get()) == 1 && *PQgetvalue(readable.get(), 0, 0) == 't';
    }
    m_lists.SetAvailable(logReadable);
}

void TPgCatalogStore::checkIsCatalogue()
{
    QStringList missing;
    for (const TAtlasDef &a : CatalogSchema::Atlases())
        if (!TableExists(a.table))
            missing << a.table;
    if (!TableExists(QString::fromLatin1(PgCatalogSchema::kPictureDataTable)))
        missing << QString::fromLatin1(PgCatalogSchema::kPictureDataTable);
    if (missing.size() == CatalogSchema::Atlases().size() + 1)
        throw TavelinError(QStringLiteral("数据库 %1 中没有 Tavelin 图库。请用以下命令把图库载入其中: "
                                          "tavelin-catalog copy KVRJetLib.mdb '%2'")
                               .arg(Location(), m_conn.CommandLocation().replace(QLatin1Char('\''), QLatin1String("'\\''"))));
    if (!missing.isEmpty())
        throw TavelinError(QStringLiteral("图库 %1 不完整,缺少表 %2。请用 tavelin-catalog copy 重新载入图库。")
                               .arg(Location(), missing.join(QStringLiteral(", "))));
}

bool TPgCatalogStore::detectWritable()
{
    // Known once at connect time, so a browsing-only account is refused before any dialog.
    const TAtlasDef *misc = CatalogSchema::FindAtlas(QStringLiteral("ZXTP"));
    PgParameters p;
    p.AddText(QuoteIdentifier(m_tables.value(misc->table.toLower()).name));
    p.AddText(QuoteIdentifier(QString::fromLatin1(PgCatalogSchema::kPictureDataTable)));
    PgResultPtr r = exec(QByteArrayLiteral(
                             "SELECT current_setting('transaction_read_only') = 'off' "
                             "AND has_table_privilege($1::text, 'INSERT') AND has_table_privilege($1::text, 'UPDATE') "
                             "AND has_table_privilege($1::text, 'DELETE') AND has_table_privilege($1::text, 'SELECT') "
                             "AND has_table_privilege($2::text, 'INSERT') AND has_table_privilege($2::text, 'DELETE') "
                             "AND has_table_privilege($2::text, 'SELECT')"),
                         p);
    return PQntuples(r.get()) == 1 && *PQgetvalue(r.get(), 0, 0) == 't';
}

const TPgCatalogStore::TableInfo &TPgCatalogStore::table(const QString &name) const
{
    auto it = m_tables.constFind(name.toLower());
    if (it == m_tables.constEnd() || !it->baseTable)
        throw TavelinError(QStringLiteral("图库 %1 中没有表 %2。").arg(Location(), name));
    return *it;
}

QString TPgCatalogStore::column(const TableInfo &t, const QString &name) const
{
    for (const TStoreColumn &c : t.columns)
        if (c.name.compare(name, Qt::CaseInsensitive) == 0)
            return c.name;
    throw TavelinError(QStringLiteral("图库 %2 的表 %1 中没有列 %3。").arg(t.name, Location(), name));
}

QString TPgCatalogStore::canonicalIdentifier(const QString &word) const
{
    return m_identifiers.value(word.toLower());
}

PgResultPtr TPgCatalogStore::exec(const QByteArray &sql, const PgParameters &parameters, int resultFormat)
{
    return m_conn.Exec(sql, parameters, resultFormat, m_depth == 0);
}

PgResultPtr TPgCatalogStore::execPrepared(const QByteArray &sql, const PgParameters &parameters, int resultFormat)
{
    return m_conn.ExecPrepared(sql, parameters, resultFormat, m_depth == 0);
}

bool TPgCatalogStore::TableExists(const QString &name)
{
    auto it = m_tables.constFind(name.toLower());
    return it != m_tables.constEnd() && it->baseTable;
}

QVector<TStoreColumn> TPgCatalogStore::TableColumns(const QString &name)
{
    auto it = m_tables.constFind(name.toLower());
    return it == m_tables.constEnd() ? QVector<TStoreColumn>() : it->columns;
}

TPgCatalogStore::TTranslated TPgCatalogStore::translate(const QString &sql) const
{
    // A list may be kept (TPgListCache) when it reads nothing but atlas tables, which the change
    // log covers, and depends on no value: every word of it a known name or one of a list's words.
    TTranslated out;
    out.keepable = !sql.contains(QLatin1Char('"'));
    // Trimmed: a list and a search over it start alike, whatever ends the list's own text.
    out.statement = PgStatementTranslation::Translate(
        sql.trimmed(),
        [&](const QString &w) {
            const QString known = canonicalIdentifier(w);
            if (known.isEmpty()) {
                out.keepable = out.keepable && isListWord(w);
                return known;
            }
            const auto t = m_tables.constFind(w.toLower());
            if (t != m_tables.constEnd() && t->name == known) {
                if (!t->baseTable || !CatalogSchema::FindAtlasByTable(t->name))
                    out.keepable = false;
                else if (!out.tables.contains(t->name))
                    out.tables << t->name;
            }
            return known;
        },
        [this](const QString &column) { return m_foldedCopies.value(column); });
    out.keepable = out.keepable && out.statement.parameters.isEmpty() && !out.tables.isEmpty();
    return out;
}

void TPgCatalogStore::Select(const QString &sql, const QHash<QString, QVariant> &parameters, TRowSet &rows)
{
    if (m_depth == 0 && m_lists.Available() && searchKeptList(sql, rows))
        return;
    const TTranslated t = translate(sql);
    const auto read = [&](TRowSet &out) { readRows(t.statement, parameters, out); };
    if (t.keepable && m_depth == 0)
        m_lists.Rows(m_conn, t.statement.sql, t.tables, rows, read);
    else
        read(rows);
}

bool TPgCatalogStore::searchKeptList(const QString &sql, TRowSet &rows)
{
    // A search box's statement over a list this workstation keeps, still as it is on the server:
    // the server would scan every row of the table again for what is already here.
    const std::optional<TListSearch> search = PgStatementTranslation::SplitListSearch(sql);
    if (!search)
        return false;
    const TTranslated list = translate(search->list);
    if (!list.keepable)
        return false;
    QVector<QPair<int, QByteArray>> terms; // result column, folded pattern
    for (const auto &[column, pattern] : search->terms) {
        const QString known = canonicalIdentifier(column);
        int at = -1;
        for (int c = 0; c < search->columns.size() && at < 0 && !known.isEmpty(); ++c)
            if (canonicalIdentifier(search->columns[c]) == known)
                at = c;
        if (at < 0)
            return false;
        terms.append({at, PgStatementTranslation::FoldAscii(pattern).toUtf8()});
    }
    TRowSet all;
    if (!m_lists.KeptRows(m_conn, list.statement.sql, list.tables, all) || all.ColumnCount() != search->columns.size())
        return false;
    TRowSet found;
    found.Reset(all.ColumnCount());
    for (int r = 0; r < all.RowCount(); ++r) {
        bool matches = false;
        for (const auto &[column, pattern] : std::as_const(terms)) {
            QByteArrayView text;
            const TRowSet::TCellKind kind = all.CellText(r, column, text);
            if (kind == TRowSet::TCellKind::Other)
                return false; // not a text: the server says what LIKE makes of it
            if (kind == TRowSet::TCellKind::Text && PgLikeMatch::Matches(text, pattern)) {
                matches = true;
                break;
            }
        }
        if (matches)
            found.AppendRowOf(all, r);
    }
    rows = std::move(found);
    return true;
}

void TPgCatalogStore::readRows(const TPgStatement &statement, const QHash<QString, QVariant> &parameters, TRowSet &rows)
{
    PgParameters p;
    for (const TPgParameterSource &source : statement.parameters) {
        if (source.literal) {
            p.AddText(PgStatementTranslation::AsSent(source, source.text));
            continue;
        }
        QVariant value;
        for (auto it = parameters.constBegin(); it != parameters.constEnd(); ++it)
            if (it.key().compare(source.text, Qt::CaseInsensitive) == 0)
                value = it.value();
        if ((source.folded || source.pattern) && !value.isNull())
            p.AddText(PgStatementTranslation::AsSent(source, value.toString()));
        else
            p.AddUntyped(value);
    }
    // Every search of a frame is the same statement with another pattern.
    PgResultPtr r = execPrepared(statement.sql, p);
    // The columns of the result, less the folded copies a "*" brings along.
    QVector<int> columns;
    QVector<Oid> types;
    for (int c = 0; c < PQnfields(r.get()); ++c) {
        if (QByteArray(PQfname(r.get(), c)).endsWith(PgCatalogSchema::kFoldedSuffix))
            continue;
        columns << c;
        types << PQftype(r.get(), c);
    }
    const int count = PQntuples(r.get());
    rows.Reset(int(columns.size()));
    rows.Reserve(count);
    for (int i = 0; i < count; ++i)
        for (int k = 0; k < columns.size(); ++k)
            appendCell(r.get(), i, columns[k], types[k], rows);
}

void TPgCatalogStore::ReadPicture(qint64 reference, TMemoryStream &stream)
{
    PgParameters p;
    p.AddInteger(reference);
    PgResultPtr r = execPrepared(QByteArrayLiteral("SELECT \"Bytes\" FROM \"KVR_PictureData\" WHERE \"PictureID\" = $1"), p, 1);
    if (PQntuples(r.get()) == 0 || PQgetisnull(r.get(), 0, 0))
        return;
    stream.Write(PQgetvalue(r.get(), 0, 0), PQgetlength(r.get(), 0, 0));
}

void TPgCatalogStore::ReadPictures(const QVector<qint64> &references, const std::function<void(qint64, QByteArray)> &each)
{
    if (references.isEmpty())
        return;
    PgParameters p;
    p.AddText(bigintArray(references));
    // Binary results: the bytes as they are, no hex text to decode.
    m_conn.ExecRows("SELECT \"PictureID\", \"Bytes\" FROM \"KVR_PictureData\" WHERE \"PictureID\" = ANY($1::bigint[])", p,
                    1, m_depth == 0, [&each](const PGresult *r) {
                        if (PQgetisnull(r, 0, 0) || PQgetisnull(r, 0, 1) || PQgetlength(r, 0, 0) != 8)
                            return;
                        const qint64 id = qFromBigEndian<qint64>(PQgetvalue(r, 0, 0));
                        each(id, QByteArray(PQgetvalue(r, 0, 1), PQgetlength(r, 0, 1)));
                    });
}

bool TPgCatalogStore::pictureHashesKept()
{
    if (!m_hashesKept) {
        const auto it = m_tables.constFind(QString::fromLatin1(PgCatalogSchema::kPictureDataTable).toLower());
        bool column = false;
        if (it != m_tables.constEnd())
            for (const TStoreColumn &c : it->columns)
                column = column || c.name == QLatin1String(PgCatalogSchema::kPictureHashColumn);
        m_hashesKept = column;
    }
    return *m_hashesKept;
}

QHash<qint64, TPictureDigest> TPgCatalogStore::PictureDigests(const QVector<qint64> &references)
{
    QHash<qint64, TPictureDigest> digests;
    if (references.isEmpty() || !pictureHashesKept())
        return digests;
    PgParameters p;
    p.AddText(bigintArray(references));
    p.AddText(QString::fromLatin1(PgCatalogSchema::kPictureHashTrigger));
    // The trigger is asked for in the statement that reads the hashes: someone may have dropped or
    // disabled it (and then written bytes) since. octet_length of bytes stored apart comes from
    // their header: they are not read.
    PgResultPtr r = execPrepared(QByteArrayLiteral("SELECT \"PictureID\", octet_length(\"Bytes\"), \"BytesHash\" "
                                           "FROM \"KVR_PictureData\" WHERE \"PictureID\" = ANY($1::bigint[]) "
                                           "AND \"BytesHash\" IS NOT NULL AND EXISTS (SELECT 1 FROM pg_trigger "
                                           "WHERE tgrelid = '\"KVR_PictureData\"'::regclass AND tgname = $2 "
                                           "AND tgenabled <> 'D')"),
                         p);
    for (int i = 0; i < PQntuples(r.get()); ++i)
        digests.insert(QByteArray(PQgetvalue(r.get(), i, 0)).toLongLong(),
                       TPictureDigest{QByteArray(PQgetvalue(r.get(), i, 1)).toLongLong(),
                                      quint64(QByteArray(PQgetvalue(r.get(), i, 2)).toLongLong())});
    return digests;
}

qint64 TPgCatalogStore::storePicture(const QByteArray &bytes)
{
    PgParameters p;
    const QByteArray stored = bytes.isNull() ? QByteArray("", 0) : bytes;
    p.AddBytes(stored);
    if (pictureHashesKept())
        p.AddInteger(qint64(PictureHashOf(stored)));
    PgResultPtr r = execPrepared(pictureHashesKept() ? QByteArrayLiteral("INSERT INTO \"KVR_PictureData\" (\"Bytes\", \"BytesHash\") "
                                                                 "VALUES ($1, $2) RETURNING \"PictureID\"")
                                             : QByteArrayLiteral("INSERT INTO \"KVR_PictureData\" (\"Bytes\") VALUES ($1) "
                                                                 "RETURNING \"PictureID\""),
                         p);
    return QByteArray(PQgetvalue(r.get(), 0, 0)).toLongLong();
}

void TPgCatalogStore::dropPictures(const QVector<qint64> &references)
{
    if (references.isEmpty())
        return;
    PgParameters p;
    p.AddText(bigintArray(references));
    exec(QByteArrayLiteral("DELETE FROM \"KVR_PictureData\" WHERE \"PictureID\" = ANY($1::bigint[])"), p);
}

bool TPgCatalogStore::addValue(const TableInfo &t, const QString &col, QVariant &value, PgParameters &p)
{
    if (!t.pictureColumns.contains(col) || value.typeId() != QMetaType::QByteArray) {
        p.AddUntyped(value);
        return false;
    }
    value = QVariant(qint64(storePicture(value.toByteArray())));
    p.AddInteger(value.toLongLong());
    return true;
}

qint64 TPgCatalogStore::InsertEntry(const QString &tableName, TEntryValues &values, std::optional<qint64> key)
{
    RequireWritable();
    const TableInfo &t = table(tableName);
    TStoreTransaction tx(*this);
    QStringList names;
    QStringList placeholders;
    PgParameters p;
    for (auto &[name, value] : values) {
        const QString col = column(t, name);
        names << QuoteIdentifier(col);
        addValue(t, col, value, p);
        placeholders << QStringLiteral("$%1").arg(p.Count());
    }
    if (key) {
        names << QStringLiteral("\"RecordSN\"");
        p.AddInteger(*key);
        placeholders << QStringLiteral("$%1").arg(p.Count());
    }
    const QString sql = names.isEmpty()
                            ? QStringLiteral("INSERT INTO %1 DEFAULT VALUES RETURNING \"RecordSN\"").arg(QuoteIdentifier(t.name))
                            : QStringLiteral("INSERT INTO %1 (%2) VALUES (%3) RETURNING \"RecordSN\"")
                                  .arg(QuoteIdentifier(t.name), names.join(QStringLiteral(", ")),
                                       placeholders.join(QStringLiteral(", ")));
    PgResultPtr r = execPrepared(utf8(sql), p);
    const qint64 recordSN = QByteArray(PQgetvalue(r.get(), 0, 0)).toLongLong();
    if (key)
        RaiseKeySequence(t.name, *key);
    tx.Commit();
    return recordSN;
}

bool TPgCatalogStore::UpdateEntry(const QString &tableName, qint64 key, TEntryValues &values)
{
    RequireWritable();
    const TableInfo &t = table(tableName);
    if (values.isEmpty())
        return true;
    TStoreTransaction tx(*this);
    QStringList replacedSlots;
    for (const auto &[name, value] : values) {
        const QString col = column(t, name);
        if (t.pictureColumns.contains(col))
            replacedSlots << QuoteIdentifier(col);
    }
    QVector<qint64> oldPictures;
    PgParameters k;
    k.AddInteger(key);
    // The row lock keeps another writer out until the change commits; the bytes a slot held
    // before go with it.
    PgResultPtr old = exec(utf8(QStringLiteral("SELECT %1 FROM %2 WHERE \"RecordSN\" = $1 FOR UPDATE")
                                    .arg(replacedSlots.isEmpty() ? QStringLiteral("1") : replacedSlots.join(QStringLiteral(", ")),
                                         QuoteIdentifier(t.name))),
                           k);
    if (PQntuples(old.get()) == 0)
        return false;
    if (!replacedSlots.isEmpty())
        for (int c = 0; c < PQnfields(old.get()); ++c)
            if (!PQgetisnull(old.get(), 0, c))
                oldPictures << QByteArray(PQgetvalue(old.get(), 0, c)).toLongLong();

    QStringList assignments;
    PgParameters p;
    p.AddInteger(key);
    for (auto &[name, value] : values) {
        const QString col = column(t, name);
        addValue(t, col, value, p);
        assignments << QStringLiteral("%1 = $%2").arg(QuoteIdentifier(col)).arg(p.Count());
    }
    exec(utf8(QStringLiteral("UPDATE %1 SET %2 WHERE \"RecordSN\" = $1")
                  .arg(QuoteIdentifier(t.name), assignments.join(QStringLiteral(", ")))),
         p);
    // A slot given its own reference again keeps its bytes.
    QVector<qint64> dropped;
    for (qint64 ref : oldPictures) {
        bool kept = false;
        for (const auto &[name, value] : values)
            if (t.pictureColumns.contains(column(t, name)) && value.typeId() == QMetaType::LongLong && value.toLongLong() == ref)
                kept = true;
        if (!kept)
            dropped << ref;
    }
    dropPictures(dropped);
    tx.Commit();
    return true;
}

bool TPgCatalogStore::DeleteEntry(const QString &tableName, qint64 key)
{
    RequireWritable();
    const TableInfo &t = table(tableName);
    TStoreTransaction tx(*this);
    QStringList slotColumns;
    for (const TStoreColumn &c : t.columns)
        if (t.pictureColumns.contains(c.name))
            slotColumns << QuoteIdentifier(c.name);
    PgParameters p;
    p.AddInteger(key);
    const QString returning = slotColumns.isEmpty() ? QStringLiteral("\"RecordSN\"") : slotColumns.join(QStringLiteral(", "));
    PgResultPtr r = exec(
        utf8(QStringLiteral("DELETE FROM %1 WHERE \"RecordSN\" = $1 RETURNING %2").arg(QuoteIdentifier(t.name), returning)),
        p);
    if (PQntuples(r.get()) == 0)
        return false;
    QVector<qint64> pictures;
    if (!slotColumns.isEmpty())
        for (int c = 0; c < PQnfields(r.get()); ++c)
            if (!PQgetisnull(r.get(), 0, c))
                pictures << QByteArray(PQgetvalue(r.get(), 0, c)).toLongLong();
    dropPictures(pictures);
    tx.Commit();
    return true;
}

QByteArray TPgCatalogStore::keySequenceOf(const TableInfo &t)
{
    PgParameters p;
    p.AddText(QuoteIdentifier(t.name));
    PgResultPtr r = exec(QByteArrayLiteral("SELECT pg_get_serial_sequence($1, 'RecordSN')"), p);
    if (PQntuples(r.get()) == 0 || PQgetisnull(r.get(), 0, 0))
        throw TavelinError(QStringLiteral("图库 %2 的表 %1 不能分配 RecordSN 编号,修改没有进行。").arg(t.name, Location()));
    return QByteArray(PQgetvalue(r.get(), 0, 0));
}

void TPgCatalogStore::RaiseKeySequence(const QString &tableName, qint64 atLeast)
{
    RequireWritable();
    const TableInfo &t = table(tableName);
    if (atLeast <= 0)
        return;
    PgParameters p;
    p.AddText(QString::fromUtf8(keySequenceOf(t)));
    p.AddInteger(atLeast);
    // Never lowers it: numbers issued since stay issued.
    exec(QByteArrayLiteral("SELECT setval($1::regclass, $2) WHERE $2 > COALESCE(pg_sequence_last_value($1::regclass), 0)"),
         p);
}

int64_t TPgCatalogStore::countOf(const QString &sql)
{
    PgResultPtr r = exec(utf8(sql));
    return PQntuples(r.get()) ? QByteArray(PQgetvalue(r.get(), 0, 0)).toLongLong() : 0;
}

TTableStatistics TPgCatalogStore::Statistics(const QString &tableName, const QStringList &pictureColumns)
{
    const TableInfo &t = table(tableName);
    TTableStatistics stats;
    stats.entries = countOf(QStringLiteral("SELECT count(*) FROM %1").arg(QuoteIdentifier(t.name)));
    for (const QString &name : pictureColumns) {
        // octet_length of a picture stored apart comes from its header: the bytes are not read.
        PgResultPtr r = exec(utf8(QStringLiteral("SELECT count(*), COALESCE(sum(octet_length(d.\"Bytes\")), 0) FROM %1 t "
                                                 "JOIN \"KVR_PictureData\" d ON d.\"PictureID\" = t.%2 "
                                                 "WHERE octet_length(d.\"Bytes\") > 0")
                                      .arg(QuoteIdentifier(t.name), QuoteIdentifier(column(t, name)))));
        stats.filledSlots += QByteArray(PQgetvalue(r.get(), 0, 0)).toLongLong();
        stats.pictureBytes += QByteArray(PQgetvalue(r.get(), 0, 1)).toLongLong();
    }
    return stats;
}

qint64 TPgCatalogStore::StoredPictureCount()
{
    return countOf(QStringLiteral("SELECT count(*) FROM \"KVR_PictureData\""));
}

QString TPgCatalogStore::referencedPictures()
{
    QStringList parts;
    for (const TableInfo &t : std::as_const(m_tables))
        if (t.baseTable && CatalogSchema::FindAtlasByTable(t.name))
            for (const QString &col : t.pictureColumns)
                parts << QStringLiteral("SELECT %1 AS ref FROM %2").arg(QuoteIdentifier(col), QuoteIdentifier(t.name));
    return parts.isEmpty() ? QStringLiteral("SELECT NULL::bigint AS ref") : parts.join(QStringLiteral(" UNION ALL "));
}

qint64 TPgCatalogStore::UnreferencedPictureCount()
{
    return countOf(QStringLiteral("SELECT count(*) FROM \"KVR_PictureData\" d WHERE NOT EXISTS "
                                  "(SELECT 1 FROM (%1) r WHERE r.ref = d.\"PictureID\")")
                       .arg(referencedPictures()));
}

QString TPgCatalogStore::IntegrityProblems()
{
    const qint64 dangling = countOf(QStringLiteral("SELECT count(*) FROM (%1) r WHERE r.ref IS NOT NULL AND NOT EXISTS "
                                                   "(SELECT 1 FROM \"KVR_PictureData\" d WHERE d.\"PictureID\" = r.ref)")
                                        .arg(referencedPictures()));
    if (dangling == 0)
        return {};
    return QStringLiteral("%1 picture slots refer to pictures that are not stored").arg(dangling);
}

void TPgCatalogStore::Execute(const QString &sql)
{
    const TPgStatement statement =
        PgStatementTranslation::Translate(sql, [this](const QString &w) { return canonicalIdentifier(w); });
    PgParameters p;
    for (const TPgParameterSource &source : statement.parameters)
        p.AddText(PgStatementTranslation::AsSent(source, source.text));
    exec(statement.sql, p);
    loadTables(); // the statement may have changed the tables
}

qint64 TPgCatalogStore::LastIssuedKey(const QString &tableName)
{
    const TableInfo &t = table(tableName);
    PgParameters p;
    p.AddText(QString::fromUtf8(keySequenceOf(t)));
    PgResultPtr r = exec(utf8(QStringLiteral("SELECT GREATEST(COALESCE(pg_sequence_last_value($1::regclass), 0), "
                                             "(SELECT COALESCE(max(\"RecordSN\"), 0) FROM %1))")
                                  .arg(QuoteIdentifier(t.name))),
                         p);
    return QByteArray(PQgetvalue(r.get(), 0, 0)).toLongLong();
}

// Nested transactions are savepoints: a write that fails inside a longer change is undone by
// itself (the server would otherwise refuse every later statement of the change), and the
// caller decides whether the rest goes on.
void TPgCatalogStore::Begin()
{
    if (m_depth == 0)
        m_conn.Exec(QByteArrayLiteral("BEGIN"));
    else
        exec(QByteArrayLiteral("SAVEPOINT tavelin_") + QByteArray::number(m_depth));
    ++m_depth;
}

void TPgCatalogStore::Commit()
{
    if (m_depth <= 0)
        throw TavelinError(QStringLiteral("Commit without a transaction on the catalogue %1.").arg(Location()));
    if (m_depth > 1) {
        exec(QByteArrayLiteral("RELEASE SAVEPOINT tavelin_") + QByteArray::number(m_depth - 1));
        --m_depth;
        return;
    }
    m_depth = 0;
    m_conn.Exec(QByteArrayLiteral("COMMIT"), PgParameters(), 0, false);
}

void TPgCatalogStore::Rollback() noexcept
{
    if (m_depth <= 0)
        return;
    --m_depth;
    if (m_depth == 0) {
        m_conn.ExecQuietly("ROLLBACK");
        return;
    }
    const QByteArray name = QByteArrayLiteral("tavelin_") + QByteArray::number(m_depth);
    m_conn.ExecQuietly(QByteArray("ROLLBACK TO SAVEPOINT " + name + "; RELEASE SAVEPOINT " + name).constData());
}
