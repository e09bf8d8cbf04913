#pragma once
// The rows of one table of a TJetDatabase, read in the file's order. Values are decoded exactly:
// texts from the file's own encoding, long values checked against their declared length.
// Reads of a damaged row or value throw TavelinError describing the damage; the caller adds which
// table, row and column it was reading.
#include <QByteArray>
#include <QString>
#include <QVector>

#include <memory>

class TJetDatabase;

class TJetTable {
public:
    enum class TColumnKind { Integer, Text, Memo, Ole, Other };
    struct TColumn {
        QString name;
        TColumnKind kind = TColumnKind::Other;
        QString typeName;
    };

    TJetTable(const TJetDatabase &database, const QString &name);
    ~TJetTable();
    TJetTable(const TJetTable &) = delete;
    TJetTable &operator=(const TJetTable &) = delete;

    QString Name() const;
    const QVector<TColumn> &Columns() const;
    int ColumnIndex(const QString &name) const; // case-insensitive; -1 when absent
    // The row count the table definition keeps, and its last AutoNumber value (0 when none).
    qint64 DeclaredRowCount() const;
    qint64 LastAutoNumber() const;

    void Rewind();
    // Moves to the next row; false after the last one.
    bool Next();
    qint64 RowsRead() const;
    // Reads the remaining rows, checking that the table's row count is met.
    void ReadToEnd();

    bool IsNull(int column) const;
    qint64 Integer(int column) const;
    QString Text(int column) const;    // Text and Memo columns
    QByteArray Bytes(int column) const; // Ole columns: the stored bytes, unchanged
    // The length a long value declares in its row, without reading its pages (0 for NULL).
    qint64 DeclaredLength(int column) const;

    struct Impl;

private:
    std::unique_ptr<Impl> d;
};
