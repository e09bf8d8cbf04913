#pragma once
// The rows of one query result as plain values: what a dataset's client-side cursor holds.
// Engines fill it a cell at a time; the cursor reads cells and applies its own changes (a posted
// row appended or replaced, a deleted one removed).
//
// Cells are kept as plain values, not as QVariants: integers and numbers in the cell itself, text
// as UTF-8 in one buffer for the whole result. A list of thousands of rows is a few allocations,
// not one or more per cell; a QVariant is made only when a cell is read.
#include <QByteArray>
#include <QVariant>
#include <QVector>

class TRowSet {
public:
    void Reset(int columnCount);
    int ColumnCount() const { return m_columns; }
    int RowCount() const { return m_columns ? int(m_cells.size() / m_columns) : 0; }
    bool IsEmpty() const { return m_cells.isEmpty(); }

    // Filling, cell by cell in column order, ColumnCount() cells a row.
    void AppendNull();
    void AppendInteger(qint64 value);
    void AppendDouble(double value);
    void AppendText(const char *utf8, int size);
    void AppendValue(const QVariant &value); // any other kind of value (bytes)
    // Filling: values of one row, in column order.
    void AppendRow(const QVector<QVariant> &values);
    // Capacity hint before a fill, in rows.
    void Reserve(int rows);

    QVariant Value(int row, int column) const;
    // A cell as it is kept, for reading many without a QVariant each: a text cell's UTF-8 (valid
    // while the row set is) in utf8.
    enum class TCellKind { Null, Text, Other };
    TCellKind CellText(int row, int column, QByteArrayView &utf8) const;
    // Appends row of other, which has as many columns.
    void AppendRowOf(const TRowSet &other, int row);
    QVector<QVariant> Row(int row) const;
    void ReplaceRow(int row, const QVector<QVariant> &values);
    void RemoveRow(int row);

private:
    enum class TKind : quint8 { Null, Integer, Double, Text, Other };
    struct TCell {
        qint64 value = 0; // the integer, the number's bits, the text's offset, the other's index
        qint32 size = 0;  // text length in bytes
        TKind kind = TKind::Null;
    };
    TCell CellOf(const QVariant &value);
    QVariant ValueOf(const TCell &cell) const;

    int m_columns = 0;
    QVector<TCell> m_cells; // row-major
    QByteArray m_text;      // every text cell's UTF-8, one after another
    QVector<QVariant> m_others;
};
