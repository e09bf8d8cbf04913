#pragma once
// The rows of one query result as plain values: what a dataset's client-side cursor holds.
// Engines fill it a row at a time; the cursor reads cells and applies its own changes (a posted
// row appended or replaced, a deleted one removed).
#include <QVariant>
#include <QVector>

class TRowSet {
public:
    void Reset(int columnCount);
    int ColumnCount() const { return m_columns; }
    int RowCount() const { return m_columns ? int(m_cells.size() / m_columns) : 0; }
    bool IsEmpty() const { return m_cells.isEmpty(); }

    // Filling: values of one row, in column order.
    void AppendRow(const QVector<QVariant> &values);
    // Capacity hint before a fill, in rows.
    void Reserve(int rows);

    QVariant Value(int row, int column) const;
    QVector<QVariant> Row(int row) const;
    void ReplaceRow(int row, const QVector<QVariant> &values);
    void RemoveRow(int row);

private:
    int m_columns = 0;
    QVector<QVariant> m_cells; // row-major, one allocation for the whole result
};
