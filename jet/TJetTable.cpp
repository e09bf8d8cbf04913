#include "jet/JetHandle.h"

#include "jet/TJetTable.h"

#include "platform/TavelinError.h"
#include "jet/JetLongValue.h"
#include "jet/JetText.h"
#include "jet/TJetDatabase.h"

#include <cstring>

namespace {

// The low 13 bits of a row offset are the offset; the top bits are flags.
constexpr int kOffsetMask = 0x1FFF;

QString typeName(int jetType)
{
    switch (jetType) {
    case MDB_BOOL: return QStringLiteral("Yes/No");
    case MDB_BYTE: return QStringLiteral("Byte");
    case MDB_INT: return QStringLiteral("Integer");
    case MDB_LONGINT: return QStringLiteral("Long Integer");
    case MDB_MONEY: return QStringLiteral("Currency");
    case MDB_FLOAT: return QStringLiteral("Single");
    case MDB_DOUBLE: return QStringLiteral("Double");
    case MDB_DATETIME: return QStringLiteral("Date/Time");
    case MDB_BINARY: return QStringLiteral("Binary");
    case MDB_TEXT: return QStringLiteral("Text");
    case MDB_OLE: return QStringLiteral("OLE Object");
    case MDB_MEMO: return QStringLiteral("Memo");
    case MDB_REPID: return QStringLiteral("Replication ID");
    case MDB_NUMERIC: return QStringLiteral("Decimal");
    default: return QStringLiteral("type %1").arg(jetType);
    }
}

TJetTable::TColumnKind kindOf(int jetType)
{
    switch (jetType) {
    case MDB_BYTE:
    case MDB_INT:
    case MDB_LONGINT: return TJetTable::TColumnKind::Integer;
    case MDB_TEXT: return TJetTable::TColumnKind::Text;
    case MDB_MEMO: return TJetTable::TColumnKind::Memo;
    case MDB_OLE: return TJetTable::TColumnKind::Ole;
    default: return TJetTable::TColumnKind::Other;
    }
}

} // namespace

struct TJetTable::Impl {
    const TJetDatabase::Impl *db = nullptr;
    MdbHandle *mdb = nullptr;
    MdbTableDef *table = nullptr;
    QString name;
    QVector<TColumn> columns;
    QVector<int> jetTypes;
    QVector<MdbField> fields; // of the current row, by column
    qint64 declaredRows = 0;
    qint64 lastAutoNumber = 0;
    qint64 rowsRead = 0;
    bool onRow = false;

    const MdbField &field(int column) const
    {
        if (!onRow)
            throw TavelinError(QStringLiteral("there is no current row"));
        if (column < 0 || column >= fields.size())
            throw TavelinError(QStringLiteral("there is no column %1").arg(column));
        return fields[column];
    }

    const char *bytesOf(const MdbField &f) const
    {
        return reinterpret_cast<const char *>(mdb->pg_buf) + f.start;
    }

    QString decodeText(const QByteArray &stored) const
    {
        if (db->format.jetVersion == 3) {
            const QByteArray forced = qgetenv("MDB_JET3_CHARSET");
            return JetText::DecodeCodePage(stored, forced.isEmpty() ? JetText::CharsetForCodePage(mdb->f->code_page)
                                                                    : forced);
        }
        return JetText::DecodeJet4(stored);
    }

    // One row of a long-value page, checked to be one.
    QByteArray longValueRow(quint32 pageRow) const
    {
        const quint32 page = pageRow >> 8;
        const quint32 row = pageRow & 0xFF;
        const qint64 pageCount = db->fileSize / db->format.pageSize;
        if (page == 0 || qint64(page) >= pageCount)
            throw TavelinError(QStringLiteral("the value points to page %1, outside the file's %2 pages")
                                   .arg(page)
                                   .arg(pageCount));
        void *buf = nullptr;
        int offset = 0;
        size_t length = 0;
        if (mdb_find_pg_row(mdb, int(pageRow), &buf, &offset, &length) != 0 || !buf)
            throw TavelinError(QStringLiteral("page %1 row %2 of the value cannot be read").arg(page).arg(row));
        const auto *p = static_cast<const unsigned char *>(buf);
        if (p[0] != MDB_PAGE_DATA || std::memcmp(p + 4, "LVAL", 4) != 0)
            throw TavelinError(QStringLiteral("page %1, which the value points to, is not a long-value page").arg(page));
        const int rowsOnPage = mdb_get_int16(buf, mdb->fmt->row_count_offset);
        if (int(row) >= rowsOnPage)
            throw TavelinError(QStringLiteral("the value points to row %1 of page %2, which has %3 rows")
                                   .arg(row)
                                   .arg(page)
                                   .arg(rowsOnPage));
        return QByteArray(reinterpret_cast<const char *>(p) + offset, qsizetype(length));
    }

    QByteArray longValue(const MdbField &f) const
    {
        if (f.siz == 0)
            return QByteArray(""); // present but empty
        return JetLongValue::Read(bytesOf(f), f.siz, db->fileSize,
                                  [this](quint32 pageRow) { return longValueRow(pageRow); });
    }
};

TJetTable::TJetTable(const TJetDatabase &database, const QString &name) : d(std::make_unique<Impl>())
{
    d->db = database.d.get();
    d->mdb = d->db->mdb;
    d->name = name;
    QByteArray utf8 = name.toUtf8();
    MdbCatalogEntry *entry = mdb_get_catalogentry_by_name(d->mdb, utf8.data());
    if (!entry || entry->object_type != MDB_TABLE)
        throw TavelinError(QStringLiteral("there is no table %1").arg(name));
    d->table = mdb_read_table(entry);
    if (!d->table)
        throw TavelinError(QStringLiteral("the definition of table %1 cannot be read: the file is damaged").arg(name));
    if (!mdb_read_columns(d->table) || d->table->num_cols == 0 || !d->table->columns) {
        mdb_free_tabledef(d->table);
        d->table = nullptr;
        throw TavelinError(QStringLiteral("the columns of table %1 cannot be read: the file is damaged").arg(name));
    }
    for (unsigned i = 0; i < d->table->num_cols; ++i) {
        auto *col = static_cast<MdbColumn *>(g_ptr_array_index(d->table->columns, i));
        d->columns.append(TColumn{QString::fromUtf8(col->name), kindOf(col->col_type), typeName(col->col_type)});
        d->jetTypes.append(col->col_type);
    }
    d->declaredRows = d->table->num_rows;
    // The table definition keeps the last AutoNumber handed out, which may belong to a deleted row.
    if (mdb_read_alt_pg(d->mdb, entry->table_pg) == d->mdb->fmt->pg_size && d->mdb->alt_pg_buf[0] == MDB_PAGE_TABLE) {
        const long last = mdb_get_int32(d->mdb->alt_pg_buf, d->mdb->fmt->tab_num_rows_offset + 4);
        d->lastAutoNumber = last > 0 ? last : 0;
    }
    d->fields.resize(d->columns.size());
    mdb_rewind_table(d->table);
}

TJetTable::~TJetTable()
{
    if (d->table)
        mdb_free_tabledef(d->table);
}

void TJetTable::Rewind()
{
    mdb_rewind_table(d->table);
    d->rowsRead = 0;
    d->onRow = false;
}

bool TJetTable::Next()
{
    d->onRow = false;
    if (!mdb_fetch_row(d->table)) {
        // libmdb passes over rows and pages it cannot read; the count the table keeps tells.
        if (d->rowsRead != d->declaredRows)
            throw TavelinError(QStringLiteral("the table holds %1 rows but %2 could be read: the file is damaged")
                                   .arg(d->declaredRows)
                                   .arg(d->rowsRead));
        return false;
    }
    ++d->rowsRead;
    int start = 0;
    size_t size = 0;
    if (mdb_find_row(d->mdb, int(d->table->cur_row) - 1, &start, &size) != 0)
        throw TavelinError(QStringLiteral("row %1 cannot be located on its page").arg(d->rowsRead));
    QVector<MdbField> cracked(d->columns.size());
    const int n = mdb_crack_row(d->table, start & kOffsetMask, size, cracked.data());
    if (n < 0)
        throw TavelinError(QStringLiteral("row %1 cannot be decoded: the file is damaged").arg(d->rowsRead));
    for (MdbField &f : d->fields) {
        f = MdbField{};
        f.is_null = 1;
    }
    const int pageSize = int(d->mdb->fmt->pg_size);
    for (int i = 0; i < n && i < cracked.size(); ++i) {
        const MdbField &f = cracked[i];
        if (f.colnum < 0 || f.colnum >= d->fields.size())
            continue;
        if (!f.is_null && (f.start < 0 || f.siz < 0 || f.start + f.siz > pageSize))
            throw TavelinError(QStringLiteral("row %1 has a value outside its page: the file is damaged").arg(d->rowsRead));
        d->fields[f.colnum] = f;
    }
    d->onRow = true;
    return true;
}

void TJetTable::ReadToEnd()
{
    while (Next()) {
    }
}

bool TJetTable::IsNull(int column) const
{
    return d->field(column).is_null;
}

qint64 TJetTable::Integer(int column) const
{
    const MdbField &f = d->field(column);
    if (f.is_null)
        throw TavelinError(QStringLiteral("the value is NULL"));
    const int type = d->jetTypes[column];
    const int width = type == MDB_LONGINT ? 4 : type == MDB_INT ? 2 : type == MDB_BYTE ? 1 : 0;
    if (width == 0)
        throw TavelinError(QStringLiteral("the column holds %1, not a whole number").arg(d->columns[column].typeName));
    if (f.siz != width)
        throw TavelinError(QStringLiteral("the number is %1 bytes long instead of %2").arg(f.siz).arg(width));
    const char *p = d->bytesOf(f);
    if (width == 4)
        return qint32(mdb_get_int32(const_cast<char *>(p), 0));
    if (width == 2)
        return qint16(mdb_get_int16(const_cast<char *>(p), 0));
    return static_cast<unsigned char>(p[0]);
}

QString TJetTable::Text(int column) const
{
    const MdbField &f = d->field(column);
    if (f.is_null)
        return QString();
    const int type = d->jetTypes[column];
    if (type == MDB_TEXT)
        return d->decodeText(QByteArray(d->bytesOf(f), f.siz));
    if (type == MDB_MEMO)
        return d->decodeText(d->longValue(f));
    throw TavelinError(QStringLiteral("the column holds %1, not text").arg(d->columns[column].typeName));
}

QByteArray TJetTable::Bytes(int column) const
{
    const MdbField &f = d->field(column);
    if (f.is_null)
        return QByteArray();
    if (d->jetTypes[column] != MDB_OLE)
        throw TavelinError(QStringLiteral("the column holds %1, not an OLE object").arg(d->columns[column].typeName));
    return d->longValue(f);
}

qint64 TJetTable::DeclaredLength(int column) const
{
    const MdbField &f = d->field(column);
    if (f.is_null || f.siz == 0)
        return 0;
    return JetLongValue::ParseHeader(d->bytesOf(f), f.siz).length;
}

QString TJetTable::Name() const
{
    return d->name;
}

const QVector<TJetTable::TColumn> &TJetTable::Columns() const
{
    return d->columns;
}

int TJetTable::ColumnIndex(const QString &name) const
{
    for (int i = 0; i < d->columns.size(); ++i)
        if (d->columns[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

qint64 TJetTable::DeclaredRowCount() const
{
    return d->declaredRows;
}

qint64 TJetTable::LastAutoNumber() const
{
    return d->lastAutoNumber;
}

qint64 TJetTable::RowsRead() const
{
    return d->rowsRead;
}
