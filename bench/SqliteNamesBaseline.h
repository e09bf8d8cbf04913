#pragma once
// The search baseline: a table of the names alone, written and searched straight through
// SQLite's C API, with none of the program's layers in between. Being the bare engine is its
// whole point, so this is the one place in the benchmarks that talks to SQLite itself.
#include <QString>

#include <functional>

struct sqlite3;

// Writes the table Names(RecordSN, DrugName, OtherName) into a new file at path, rows 1..count
// named by nameOf(i) for i = 0..count-1.
void MakeSqliteNamesTable(const QString &path, int count,
                          const std::function<std::pair<QString, QString>(int)> &nameOf);

class TSqliteNamesBaseline {
public:
    explicit TSqliteNamesBaseline(const QString &path);
    ~TSqliteNamesBaseline();
    TSqliteNamesBaseline(const TSqliteNamesBaseline &) = delete;
    TSqliteNamesBaseline &operator=(const TSqliteNamesBaseline &) = delete;

    // Steps the statement through its rows and counts them.
    int CountRows(const QString &sql);

private:
    sqlite3 *m_db = nullptr;
};
