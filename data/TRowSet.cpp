#include "data/TRowSet.h"

#include <cstring>

void TRowSet::Reset(int columnCount)
{
    m_columns = columnCount;
    m_cells.clear();
    m_text.clear();
    m_others.clear();
}

void TRowSet::Reserve(int rows)
{
    m_cells.reserve(qsizetype(rows) * m_columns);
}

void TRowSet::AppendNull()
{
    m_cells.append(TCell{});
}

void TRowSet::AppendInteger(qint64 value)
{
    m_cells.append(TCell{value, 0, TKind::Integer});
}

void TRowSet::AppendDouble(double value)
{
    qint64 bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    m_cells.append(TCell{bits, 0, TKind::Double});
}

void TRowSet::AppendText(const char *utf8, int size)
{
    m_cells.append(TCell{m_text.size(), size, TKind::Text});
    m_text.append(utf8, size);
}

TRowSet::TCell TRowSet::CellOf(const QVariant &value)
{
    if (value.isNull() && !value.isValid())
        return TCell{};
    switch (value.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
        return TCell{value.toLongLong(), 0, TKind::Integer};
    case QMetaType::Double: {
        const double d = value.toDouble();
        qint64 bits = 0;
        std::memcpy(&bits, &d, sizeof bits);
        return TCell{bits, 0, TKind::Double};
    }
    case QMetaType::QString: {
        const QByteArray utf8 = value.toString().toUtf8();
        TCell cell{m_text.size(), int(utf8.size()), TKind::Text};
        m_text.append(utf8);
        return cell;
    }
    default:
        m_others.append(value);
        return TCell{m_others.size() - 1, 0, TKind::Other};
    }
}

void TRowSet::AppendValue(const QVariant &value)
{
    m_cells.append(CellOf(value));
}

void TRowSet::AppendRow(const QVector<QVariant> &values)
{
    for (int c = 0; c < m_columns; ++c)
        AppendValue(values.value(c));
}

QVariant TRowSet::ValueOf(const TCell &cell) const
{
    switch (cell.kind) {
    case TKind::Null: return {};
    case TKind::Integer: return QVariant(cell.value);
    case TKind::Double: {
        double d = 0;
        std::memcpy(&d, &cell.value, sizeof d);
        return QVariant(d);
    }
    case TKind::Text: return QVariant(QString::fromUtf8(m_text.constData() + cell.value, cell.size));
    case TKind::Other: return m_others.value(cell.value);
    }
    return {};
}

QVariant TRowSet::Value(int row, int column) const
{
    if (row < 0 || row >= RowCount() || column < 0 || column >= m_columns)
        return {};
    return ValueOf(m_cells.at(qsizetype(row) * m_columns + column));
}

TRowSet::TCellKind TRowSet::CellText(int row, int column, QByteArrayView &utf8) const
{
    const TCell &cell = m_cells.at(qsizetype(row) * m_columns + column);
    if (cell.kind == TKind::Null)
        return TCellKind::Null;
    if (cell.kind != TKind::Text)
        return TCellKind::Other;
    utf8 = QByteArrayView(m_text.constData() + cell.value, cell.size);
    return TCellKind::Text;
}

void TRowSet::AppendRowOf(const TRowSet &other, int row)
{
    for (int c = 0; c < m_columns; ++c) {
        const TCell &cell = other.m_cells.at(qsizetype(row) * other.m_columns + c);
        switch (cell.kind) {
        case TKind::Text: AppendText(other.m_text.constData() + cell.value, cell.size); break;
        case TKind::Other: AppendValue(other.m_others.value(cell.value)); break;
        default: m_cells.append(cell); break;
        }
    }
}

QVector<QVariant> TRowSet::Row(int row) const
{
    if (row < 0 || row >= RowCount())
        return {};
    QVector<QVariant> values(m_columns);
    for (int c = 0; c < m_columns; ++c)
        values[c] = ValueOf(m_cells.at(qsizetype(row) * m_columns + c));
    return values;
}

void TRowSet::ReplaceRow(int row, const QVector<QVariant> &values)
{
    if (row < 0 || row >= RowCount())
        return;
    // The old text stays in the buffer unused: a change is one row, the buffer is freed with the result.
    for (int c = 0; c < m_columns; ++c)
        m_cells[qsizetype(row) * m_columns + c] = CellOf(values.value(c));
}

void TRowSet::RemoveRow(int row)
{
    if (row < 0 || row >= RowCount())
        return;
    m_cells.remove(qsizetype(row) * m_columns, m_columns);
}
