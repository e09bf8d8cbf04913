#include "data/sqlite/SqliteStatementBudget.h"

#include <QElapsedTimer>
#include <QHash>
#include <QMutex>

#include <atomic>
#include <memory>

#include <sqlite3.h>

namespace SqliteStatementBudget {
namespace {

struct TBudget {
    QElapsedTimer started;
    int depth = 0;
};

std::atomic<int> g_limitMs{kMaxStatementMilliseconds};

// The budgets by connection; a connection is used by one thread at a time.
QMutex g_mutex;
QHash<sqlite3 *, std::shared_ptr<TBudget>> &budgets()
{
    static QHash<sqlite3 *, std::shared_ptr<TBudget>> all;
    return all;
}

std::shared_ptr<TBudget> budgetOf(sqlite3 *db)
{
    QMutexLocker lock(&g_mutex);
    return budgets().value(db);
}

// Called by SQLite every few thousand virtual-machine instructions; non-zero interrupts.
extern "C" int onProgress(void *data)
{
    const auto *budget = static_cast<const TBudget *>(data);
    return budget->depth > 0 && budget->started.elapsed() > g_limitMs.load() ? 1 : 0;
}

} // namespace

void Install(sqlite3 *db)
{
    if (!db)
        return;
    sqlite3_hard_heap_limit64(kMaxHeapBytes);
    auto budget = std::make_shared<TBudget>();
    {
        QMutexLocker lock(&g_mutex);
        budgets().insert(db, budget);
    }
    sqlite3_progress_handler(db, 10000, onProgress, budget.get());
    // Sorts and temporary tables in memory, under the heap limit, never in files that can grow.
    sqlite3_exec(db, "PRAGMA temp_store=MEMORY", nullptr, nullptr, nullptr);
}

void Uninstall(sqlite3 *db)
{
    if (!db)
        return;
    sqlite3_progress_handler(db, 0, nullptr, nullptr);
    QMutexLocker lock(&g_mutex);
    budgets().remove(db);
}

void Begin(sqlite3 *db)
{
    const auto budget = budgetOf(db);
    if (budget && budget->depth++ == 0)
        budget->started.start();
}

void End(sqlite3 *db)
{
    const auto budget = budgetOf(db);
    if (budget && budget->depth > 0)
        --budget->depth;
}

int TimeLimit()
{
    return g_limitMs.load();
}

void SetTimeLimitForTesting(int milliseconds)
{
    g_limitMs.store(milliseconds > 0 ? milliseconds : kMaxStatementMilliseconds);
}

} // namespace SqliteStatementBudget
