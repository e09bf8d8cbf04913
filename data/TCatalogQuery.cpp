#include "data/TCatalogQuery.h"

#include "data/AtlasEntries.h"
#include "data/TCatalogConnection.h"
#include "platform/TMemoryStream.h"
#include "platform/QuotedPath.h"
#include "platform/TavelinError.h"

#include <QRegularExpression>

namespace {

enum class DeclaredKind { Integer, Text, Picture, Other };

DeclaredKind kindOfDeclaredType(const QString &declared)
{
    const QString t = declared.toUpper();
    if (t.contains(QLatin1String(CatalogSchema::kBlobTypeName)))
        return DeclaredKind::Picture;
    if (t.contains(QLatin1String("INT")))
        return DeclaredKind::Integer;
    if (t.contains(QLatin1String("CHAR")) || t.contains(QLatin1String("TEXT")) || t.contains(QLatin1String("CLOB"))
        || t.contains(QLatin1String("MEMO")))
        return DeclaredKind::Text;
    return DeclaredKind::Other;
}

bool kindMatches(TFieldType expected, DeclaredKind actual)
{
    switch (expected) {
    case TFieldType::Integer: return actual == DeclaredKind::Integer;
    case TFieldType::String:
    case TFieldType::Memo: return actual == DeclaredKind::Text;
    case TFieldType::Blob: return actual == DeclaredKind::Picture;
    }
    return false;
}

QString typeWord(TFieldType t)
{
    switch (t) {
    case TFieldType::Integer: return QStringLiteral("整数");
    case TFieldType::String: return QStringLiteral("文本");
    case TFieldType::Memo: return QStringLiteral("备注(长文本)");
    case TFieldType::Blob: return QStringLiteral("图片");
    }
    return {};
}

TQueryField fieldFromDeclared(const QString &name, const QString &declared)
{
    switch (kindOfDeclaredType(declared)) {
    case DeclaredKind::Integer: return {name, TFieldType::Integer, 0};
    case DeclaredKind::Picture: return {name, TFieldType::Blob, 0};
    default: {
        static const QRegularExpression width(QStringLiteral("\\((\\d+)\\)"));
        const auto m = width.match(declared);
        if (m.hasMatch())
            return {name, TFieldType::String, m.captured(1).toInt()};
        return {name, TFieldType::Memo, 0};
    }
    }
}

} // namespace

TCatalogQuery::TCatalogQuery(QObject *parent) : QObject(parent) {}

TCatalogQuery::~TCatalogQuery() = default;

void TCatalogQuery::SetConnection(TCatalogConnection *connection)
{
    m_connection = connection;
}

QString TCatalogQuery::SQLText() const
{
    QString text;
    for (const QString &line : m_sql)
        text += line + QStringLiteral("\r\n");
    return text;
}

void TCatalogQuery::SetParameter(const QString &name, const QVariant &value)
{
    m_params.insert(name, value);
}

QVariant TCatalogQuery::Parameter(const QString &name) const
{
    return m_params.value(name);
}

void TCatalogQuery::SetActive(bool active)
{
    if (active)
        Open();
    else
        Close();
}

TCatalogQuery::TSelectList TCatalogQuery::ResolveFields(const QString &text)
{
    static const QRegularExpression selectRe(QStringLiteral("^\\s*select\\s+(.*?)\\s+from\\s+\\[?([A-Za-z_][A-Za-z0-9_]*)\\]?"),
                                             QRegularExpression::CaseInsensitiveOption
                                                 | QRegularExpression::DotMatchesEverythingOption);
    const auto m = selectRe.match(text);
    if (!m.hasMatch())
        throw TavelinError(QStringLiteral("The statement is not a query on one catalogue table: %1").arg(text.trimmed()));
    m_table = m.captured(2);
    TCatalogStore &store = m_connection->Store();
    if (!store.TableExists(m_table))
        throw TavelinError(QStringLiteral("图库中没有表 %1。图库文件 %2 不完整或属于其他程序;请从备份恢复。")
                               .arg(m_table, QuotedPath(m_connection->FilePath())));

    // Declared columns of the table as it is in the file.
    QHash<QString, QPair<QString, QString>> declared; // lower-case name -> (name, type)
    QStringList order;
    for (const TStoreColumn &column : store.TableColumns(m_table)) {
        declared.insert(column.name.toLower(), {column.name, column.declaredType});
        order << column.name;
    }
    QStringList wanted;
    for (const QString &part : m.captured(1).split(QLatin1Char(','))) {
        const QString col = part.trimmed();
        if (col == QLatin1String("*"))
            wanted << order;
        else
            wanted << col;
    }

    const TAtlasDef *atlas = CatalogSchema::FindAtlasByTable(m_table);
    m_fields.clear();
    for (const QString &col : wanted) {
        const auto it = declared.constFind(col.toLower());
        if (it == declared.constEnd())
            throw TavelinError(QStringLiteral("表 %1 中没有列 %2。图库文件 %3 已损坏或属于其他版本;请从备份恢复。")
                                   .arg(m_table, col, QuotedPath(m_connection->FilePath())));
        const QString actualName = it->first;
        const QString actualType = it->second;
        TQueryField field = fieldFromDeclared(actualName, actualType);
        if (atlas) {
            for (const TFieldDef &def : atlas->columns) {
                if (def.name.compare(actualName, Qt::CaseInsensitive) != 0)
                    continue;
                if (!kindMatches(def.type, kindOfDeclaredType(actualType)))
                    throw TavelinError(QStringLiteral("列 %1.%2 的类型是 %3,应为%4。图库文件 %5 已损坏或属于其他版本。")
                                           .arg(m_table, def.name,
                                                actualType.isEmpty() ? QStringLiteral("(none)") : actualType,
                                                typeWord(def.type), QuotedPath(m_connection->FilePath())));
                field = TQueryField{def.name, def.type, def.size};
            }
        }
        m_fields.append(field);
    }
    return {int(m.capturedStart(1)), int(m.capturedEnd(1))};
}

QString TCatalogQuery::PlanReading(const QString &text, TSelectList list)
{
    m_columnOf.clear();
    m_laterFields.clear();
    m_laterValues.clear();
    m_keyColumn = -1;
    const int key = FieldIndex(QStringLiteral("RecordSN"));
    if (m_listedFields.isEmpty() || key < 0)
        return text;
    QStringList read;
    QVector<int> columnOf(m_fields.size(), -1);
    for (int i = 0; i < m_fields.size(); ++i) {
        const bool listed = i == key || m_listedFields.contains(m_fields[i].name, Qt::CaseInsensitive);
        if (listed) {
            columnOf[i] = read.size();
            read << m_fields[i].name;
        } else {
            m_laterFields << i;
        }
    }
    if (m_laterFields.isEmpty())
        return text;
    m_columnOf = columnOf;
    m_keyColumn = columnOf[key];
    return text.left(list.first) + read.join(QLatin1Char(',')) + text.mid(list.last);
}

void TCatalogQuery::Open()
{
    if (Active())
        return;
    if (!m_connection || !m_connection->Connected())
        throw TavelinError(QStringLiteral("The catalogue is not open."));
    const QString text = SQLText();
    const QString statement = PlanReading(text, ResolveFields(text));

    TRowSet rows;
    m_connection->Store().Select(statement, m_params, rows);
    const int n = m_fields.size() - m_laterFields.size();
    if (rows.ColumnCount() != n)
        throw TavelinError(QStringLiteral("The statement on %1 returns %2 columns, %3 expected.")
                               .arg(m_table)
                               .arg(rows.ColumnCount())
                               .arg(n));
    m_rows = std::move(rows);
    m_state = State::Browse;
    m_current = m_rows.IsEmpty() ? -1 : 0;
    emit activeChanged(true);
    emit currentRowChanged(m_current);
}

void TCatalogQuery::Close()
{
    if (!Active())
        return;
    m_rows = TRowSet();
    m_laterValues.clear();
    m_pending.clear();
    m_pendingBlobs.clear();
    m_current = -1;
    m_state = State::Inactive;
    emit activeChanged(false);
}

int TCatalogQuery::FieldIndex(const QString &name) const
{
    for (int i = 0; i < m_fields.size(); ++i)
        if (m_fields[i].name.compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int TCatalogQuery::RequireField(const QString &name) const
{
    const int i = FieldIndex(name);
    if (i < 0)
        throw TavelinError(QStringLiteral("%1: field '%2' not found").arg(m_table.isEmpty() ? QStringLiteral("query") : m_table, name));
    return i;
}

void TCatalogQuery::SetRecNo(int row)
{
    if (m_rows.IsEmpty())
        row = -1;
    else
        row = qBound(0, row, m_rows.RowCount() - 1);
    if (row == m_current)
        return;
    m_current = row;
    emit currentRowChanged(m_current);
}

QVariant TCatalogQuery::CurrentValue(int column) const
{
    if (m_state == State::Edit || m_state == State::Insert)
        return m_pending.value(column);
    if (!Active())
        throw TavelinError(QStringLiteral("The query is not open."));
    if (m_current < 0)
        throw TavelinError(QStringLiteral("The list holds no row."));
    return RowValue(m_current, column);
}

QVariant TCatalogQuery::RowValue(int row, int field) const
{
    if (m_columnOf.isEmpty())
        return m_rows.Value(row, field);
    if (row < 0 || row >= m_rows.RowCount() || field < 0 || field >= m_columnOf.size())
        return {};
    if (m_columnOf[field] >= 0)
        return m_rows.Value(row, m_columnOf[field]);
    const qint64 key = m_rows.Value(row, m_keyColumn).toLongLong();
    auto it = m_laterValues.constFind(key);
    if (it == m_laterValues.constEnd()) {
        QStringList names;
        for (int f : m_laterFields)
            names << m_fields[f].name;
        TRowSet later;
        m_connection->Store().Select(QStringLiteral("select %1 from %2 where RecordSN = :SQLRecordSN")
                                         .arg(names.join(QLatin1Char(',')), m_table),
                                     {{QStringLiteral("SQLRecordSN"), key}}, later);
        // An entry removed by someone else since the list was read has nothing left to read.
        it = m_laterValues.insert(key, later.IsEmpty() ? QVector<QVariant>(m_laterFields.size()) : later.Row(0));
    }
    return it->value(m_laterFields.indexOf(field));
}

QVector<QVariant> TCatalogQuery::FullRow(int row) const
{
    if (m_columnOf.isEmpty())
        return m_rows.Row(row);
    if (row < 0 || row >= m_rows.RowCount())
        return {};
    QVector<QVariant> values(m_fields.size());
    for (int f = 0; f < m_fields.size(); ++f)
        values[f] = RowValue(row, f);
    return values;
}

QVector<QVariant> TCatalogQuery::CursorPart(const QVector<QVariant> &values) const
{
    if (m_columnOf.isEmpty())
        return values;
    QVector<QVariant> part;
    for (int f = 0; f < m_fields.size(); ++f)
        if (m_columnOf[f] >= 0)
            part << values.value(f);
    return part;
}

void TCatalogQuery::RememberLaterPart(const QVector<QVariant> &values)
{
    if (m_columnOf.isEmpty())
        return;
    QVector<QVariant> later;
    for (int f : std::as_const(m_laterFields))
        later << values.value(f);
    m_laterValues.insert(values.value(FieldIndex(QStringLiteral("RecordSN"))).toLongLong(), later);
}

QVariant TCatalogQuery::FieldValue(const QString &name) const
{
    const int i = RequireField(name);
    return CurrentValue(i);
}

QString TCatalogQuery::FieldAsString(const QString &name) const
{
    const QVariant v = FieldValue(name);
    return v.isNull() ? QString() : v.toString();
}

qint32 TCatalogQuery::FieldAsInteger(const QString &name) const
{
    const QVariant v = FieldValue(name);
    if (v.isNull())
        return 0;
    bool ok = false;
    const qint64 n = v.toLongLong(&ok);
    if (!ok || n < INT32_MIN || n > INT32_MAX)
        throw TavelinError(QStringLiteral("'%1' is not a valid integer value of %2").arg(v.toString(), name));
    return static_cast<qint32>(n);
}

bool TCatalogQuery::FieldIsNull(const QString &name) const
{
    return FieldValue(name).isNull();
}

QVariant TCatalogQuery::Value(int row, int column) const
{
    if (column < 0 || column >= m_fields.size())
        return {};
    return RowValue(row, column);
}

void TCatalogQuery::BlobToStream(const QString &name, TMemoryStream &stream) const
{
    const int i = RequireField(name);
    if ((m_state == State::Edit || m_state == State::Insert) && m_pendingBlobs.contains(i)) {
        stream.Write(m_pendingBlobs.value(i));
        return;
    }
    const QVariant v = CurrentValue(i);
    if (v.isNull())
        return;
    if (v.typeId() == QMetaType::QByteArray) { // bytes kept in the row itself
        stream.Write(v.toByteArray());
        return;
    }
    if (m_fields[i].type != TFieldType::Blob) {
        stream.Write(v.toString().toUtf8());
        return;
    }
    bool ok = false;
    const qint64 ref = v.toLongLong(&ok);
    if (!ok)
        throw TavelinError(QStringLiteral("%1.%2 holds no valid picture reference").arg(m_table, name));
    try {
        m_connection->Store().ReadPicture(ref, stream);
    } catch (const TavelinError &e) {
        throw TavelinError(QStringLiteral("无法读取图库 %3 中 %1.%2 的图片: %4")
                               .arg(m_table, name, QuotedPath(m_connection->FilePath()), e.message()));
    }
}

std::optional<qint64> TCatalogQuery::PictureReference(const QString &name) const
{
    const int i = RequireField(name);
    if (m_state != State::Browse || m_fields[i].type != TFieldType::Blob)
        return std::nullopt;
    const QVariant v = CurrentValue(i);
    if (v.isNull() || v.typeId() == QMetaType::QByteArray)
        return std::nullopt;
    bool ok = false;
    const qint64 ref = v.toLongLong(&ok);
    return ok ? std::optional<qint64>(ref) : std::nullopt;
}

void TCatalogQuery::PictureToStream(const QString &name, TMemoryStream &stream) const
{
    TMemoryStream stored;
    BlobToStream(name, stored);
    if (const TAtlasDef *atlas = CatalogSchema::FindAtlasByTable(m_table))
        AtlasEntries::ToPlain(*atlas, stored);
    if (stream.Size() == 0 && stream.Position() == 0) {
        // Taken over without a copy: a picture is megabytes.
        stream.SetBytes(stored.Bytes());
        stream.SetPosition(stream.Size());
    } else {
        stream.Write(stored.Bytes());
    }
}

void TCatalogQuery::PictureFromStream(const QString &name, const TMemoryStream &stream)
{
    const TAtlasDef *atlas = CatalogSchema::FindAtlasByTable(m_table);
    if (!atlas) {
        BlobFromStream(name, stream);
        return;
    }
    TMemoryStream stored;
    stored.SetBytes(AtlasEntries::ToStored(*atlas, stream.Bytes()));
    BlobFromStream(name, stored);
}

void TCatalogQuery::RequireBrowseRow(const char *what) const
{
    if (!Active())
        throw TavelinError(QStringLiteral("Cannot %1: the list is not open.").arg(QLatin1String(what)));
    if (m_state != State::Browse)
        throw TavelinError(QStringLiteral("Cannot %1: a change is still pending.").arg(QLatin1String(what)));
}

void TCatalogQuery::Append()
{
    RequireBrowseRow("append a row");
    m_connection->RequireWritable();
    m_pending = QVector<QVariant>(m_fields.size());
    m_pendingBlobs.clear();
    m_state = State::Insert;
}

void TCatalogQuery::Edit()
{
    RequireBrowseRow("edit the row");
    if (m_current < 0)
        throw TavelinError(QStringLiteral("Cannot edit: the list holds no row."));
    m_connection->RequireWritable();
    m_pending = FullRow(m_current);
    m_pendingBlobs.clear();
    m_state = State::Edit;
}

QString TCatalogQuery::CutToCharacters(const QString &text, int n)
{
    if (n <= 0 || text.size() <= n)
        return text;
    int units = 0;
    int chars = 0;
    while (units < text.size() && chars < n) {
        units += (text.at(units).isHighSurrogate() && units + 1 < text.size() && text.at(units + 1).isLowSurrogate()) ? 2 : 1;
        ++chars;
    }
    return text.left(units);
}

void TCatalogQuery::SetFieldText(const QString &name, const QString &text)
{
    const int i = RequireField(name);
    const TQueryField &f = m_fields[i];
    if (f.type == TFieldType::Integer)
        throw TavelinError(QStringLiteral("%1 is not a text field").arg(name));
    SetFieldValue(name, f.type == TFieldType::String ? CutToCharacters(text, f.size) : text);
}

void TCatalogQuery::SetFieldValue(const QString &name, const QVariant &value)
{
    if (m_state != State::Edit && m_state != State::Insert)
        throw TavelinError(QStringLiteral("Cannot set %1: the row is not being edited.").arg(name));
    const int i = RequireField(name);
    if (m_fields[i].name.compare(QLatin1String("RecordSN"), Qt::CaseInsensitive) == 0)
        throw TavelinError(QStringLiteral("RecordSN is assigned by the catalogue and cannot be set."));
    if (m_fields[i].type == TFieldType::Blob) {
        m_pendingBlobs.insert(i, value.toByteArray());
        return;
    }
    QVariant v = value;
    if (m_fields[i].type == TFieldType::String && !v.isNull())
        v = CutToCharacters(v.toString(), m_fields[i].size);
    m_pending[i] = v;
}

void TCatalogQuery::BlobFromStream(const QString &name, const TMemoryStream &stream)
{
    if (m_state != State::Edit && m_state != State::Insert)
        throw TavelinError(QStringLiteral("Cannot set %1: the row is not being edited.").arg(name));
    const int i = RequireField(name);
    if (m_fields[i].type != TFieldType::Blob)
        throw TavelinError(QStringLiteral("%1 is not a picture field").arg(name));
    // The whole buffer, whatever the position; an empty stream stores an empty picture, not NULL.
    QByteArray bytes = stream.Bytes();
    if (bytes.isNull())
        bytes = QByteArray("", 0);
    m_pendingBlobs.insert(i, bytes);
}

void TCatalogQuery::Post()
{
    if (m_state != State::Edit && m_state != State::Insert)
        return;
    m_connection->RequireWritable();
    const int keyIndex = FieldIndex(QStringLiteral("RecordSN"));
    if (keyIndex < 0)
        throw TavelinError(QStringLiteral("Cannot write to %1: the statement does not select RecordSN.").arg(m_table));

    QVector<QVariant> values = m_pending;
    TEntryValues changes;
    QVector<int> changed;
    const QVector<QVariant> before = m_state == State::Edit ? FullRow(m_current) : QVector<QVariant>();
    for (int i = 0; i < m_fields.size(); ++i) {
        if (i == keyIndex)
            continue;
        if (m_pendingBlobs.contains(i)) {
            changes.append({m_fields[i].name, QVariant(m_pendingBlobs.value(i))});
        } else {
            if (m_state == State::Edit && values[i] == before.value(i))
                continue;
            changes.append({m_fields[i].name, values[i]});
        }
        changed << i;
    }
    TCatalogStore &store = m_connection->Store();
    try {
        if (m_state == State::Insert) {
            values[keyIndex] = QVariant(store.InsertEntry(m_table, changes));
        } else if (!changes.isEmpty()) {
            if (!store.UpdateEntry(m_table, values[keyIndex].toLongLong(), changes))
                throw TavelinError(QStringLiteral("%2 中的条目 %1 已不在图库中。")
                                       .arg(values[keyIndex].toString(), m_table));
        }
    } catch (const TavelinError &e) {
        throw TavelinError(QStringLiteral("对 %1 的修改没有保存: %2").arg(m_table, e.message()));
    }
    // Picture columns now hold their references, as a fresh read of the row would.
    for (int k = 0; k < changed.size(); ++k)
        values[changed[k]] = changes[k].second;

    const bool inserted = m_state == State::Insert;
    m_state = State::Browse;
    m_pending.clear();
    m_pendingBlobs.clear();
    RememberLaterPart(values);
    if (inserted) {
        m_rows.AppendRow(CursorPart(values));
        m_current = m_rows.RowCount() - 1;
        emit rowAppended(m_current);
        emit currentRowChanged(m_current);
    } else {
        m_rows.ReplaceRow(m_current, CursorPart(values));
        emit rowChanged(m_current);
    }
}

void TCatalogQuery::Cancel()
{
    if (m_state == State::Edit || m_state == State::Insert) {
        m_state = State::Browse;
        m_pending.clear();
        m_pendingBlobs.clear();
    }
}

void TCatalogQuery::Delete()
{
    RequireBrowseRow("delete the row");
    if (m_current < 0)
        throw TavelinError(QStringLiteral("Cannot delete: the list holds no row."));
    m_connection->RequireWritable();
    const int keyIndex = FieldIndex(QStringLiteral("RecordSN"));
    if (keyIndex < 0)
        throw TavelinError(QStringLiteral("Cannot delete from %1: the statement does not select RecordSN.").arg(m_table));
    try {
        m_connection->Store().DeleteEntry(m_table, RowValue(m_current, keyIndex).toLongLong());
    } catch (const TavelinError &e) {
        throw TavelinError(QStringLiteral("条目没有从 %1 中删除: %2").arg(m_table, e.message()));
    }
    const int removed = m_current;
    m_rows.RemoveRow(removed);
    m_current = m_rows.IsEmpty() ? -1 : qMin(removed, m_rows.RowCount() - 1);
    emit rowRemoved(removed);
    emit currentRowChanged(m_current);
}

void TCatalogQuery::DisableControls()
{
    ++m_disableCount;
}

void TCatalogQuery::EnableControls()
{
    if (m_disableCount > 0 && --m_disableCount == 0)
        emit controlsEnabled();
}
