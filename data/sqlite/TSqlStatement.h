#pragma once
// A prepared SQLite statement owned by RAII; errors become TavelinError with SQLite's message.
#include <QByteArray>
#include <QString>
#include <QVariant>

struct sqlite3;
struct sqlite3_stmt;

class TSqlStatement {
public:
    TSqlStatement(sqlite3 *db, const QString &sql);
    ~TSqlStatement();
    TSqlStatement(const TSqlStatement &) = delete;
    TSqlStatement &operator=(const TSqlStatement &) = delete;

    void BindNull(int index);
    void BindInt64(int index, qint64 value);
    void BindText(int index, const QString &value);
    void BindBlob(int index, const QByteArray &value);
    void BindVariant(int index, const QVariant &value);
    // 0 when the statement has no such parameter.
    int ParameterIndex(const QString &name) const;
    int ParameterCount() const;

    // True while a row is available.
    bool Step();
    void Reset();

    int ColumnCount() const;
    QString ColumnName(int i) const;
    bool IsNull(int i) const;
    qint64 Int64(int i) const;
    QString Text(int i) const;
    QByteArray Blob(int i) const;
    QVariant Value(int i) const;

    sqlite3_stmt *Handle() const { return m_stmt; }

private:
    [[noreturn]] void Fail(const QString &what) const;
    void Finished();
    sqlite3 *m_db;
    bool m_running = false;
    sqlite3_stmt *m_stmt = nullptr;
    QString m_sql;
};
