#include "data/TRowSet.h"

void TRowSet::Reset(int columnCount)
{
    m_columns = columnCount;
    m_cells.clear();
}

void TRowSet::Reserve(int rows)
{
    m_cells.reserve(qsizetype(rows) * m_columns);
}

void TRowSet::AppendRow(const QVector<QVariant> &values)
{
    for (int c = 0; c < m_columns; ++c)
        m_cells.append(values.value(c));
}

QVariant TRowSet::Value(int row, int column) const
{
    if (row < 0 || row >= RowCount() || column < 0 || column >= m_columns)
        return {};
    return m_cells.at(qsizetype(row) * m_columns + column);
}

QVector<QVariant> TRowSet::Row(int row) const
{
    if (row < 0 || row >= RowCount())
        return {};
    return m_cells.mid(qsizetype(row) * m_columns, m_columns);
}

void TRowSet::ReplaceRow(int row, const QVector<QVariant> &values)
{
    if (row < 0 || row >= RowCount())
        return;
    for (int c = 0; c < m_columns; ++c)
        m_cells[qsizetype(row) * m_columns + c] = values.value(c);
}

void TRowSet::RemoveRow(int row)
{
    if (row < 0 || row >= RowCount())
        return;
    m_cells.remove(qsizetype(row) * m_columns, m_columns);
}
