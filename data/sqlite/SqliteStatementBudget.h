#pragma once
// Every statement the program runs on a catalogue file has a budget: a damaged or hostile file
// (an atlas that is a view over an endless query, say) ends in a clear error within seconds
// instead of running without end, filling the disk with temporary files or the memory.
//  - time: SQLite's progress handler interrupts a statement that has run longer than allowed;
//  - temporary storage: kept in memory (no temporary files), so it counts against the heap;
//  - heap: SQLite's hard heap limit for the process.
#include <QtGlobal>

struct sqlite3;

namespace SqliteStatementBudget {

constexpr int kMaxStatementMilliseconds = 5000;
// Room for the largest picture a catalogue may hold, written once bound and once in its record.
constexpr qint64 kMaxHeapBytes = qint64(1) << 30;

// Called once a connection is open, and before it is closed.
void Install(sqlite3 *db);
void Uninstall(sqlite3 *db);

// Brackets one run of a statement (nested runs keep the outer one's start).
void Begin(sqlite3 *db);
void End(sqlite3 *db);

// The time allowed, in milliseconds (tests shorten it; 0 restores it).
int TimeLimit();
void SetTimeLimitForTesting(int milliseconds);

} // namespace SqliteStatementBudget
