#pragma once
// Lists read from the server, kept for the next time the same list is asked for while nothing it
// reads from has changed since: an atlas's list is opened again and again (another tab and back,
// after a dialog), and is thousands of rows the server would scan and send each time.
//
// Whether a list is still as it was is the server's to say, in one small statement: the
// catalogue's change log (written in the same transaction as every change of an atlas table, by
// the server's own triggers) is asked for a change to one of the list's tables by a transaction
// that the snapshot taken before the list was read did not see. A change that committed between
// that snapshot and the reading only costs one more reading; one not committed yet is in neither
// and is found the next time. The same statement tells whether each table's trigger is still there
// and on, and how its columns stand (adding or dropping one logs nothing); if not, the list is
// read. Inside a transaction of its own the store always reads (its own changes are not committed).
#include "data/TRowSet.h"

#include <QByteArray>
#include <QHash>
#include <QStringList>

#include <functional>

class TPgConnection;

class TPgListCache {
public:
    // Whether the catalogue keeps the change log; without it nothing is kept. Forgets every list.
    void SetAvailable(bool available);
    bool Available() const { return m_available; }

    // The rows of the statement sql, which reads tables (atlas tables, by their names on the
    // server): as read before if none of them changed since, else read by read and kept.
    void Rows(TPgConnection &connection, const QByteArray &sql, const QStringList &tables, TRowSet &rows,
              const std::function<void(TRowSet &)> &read);

    // The rows of the statement sql as kept, if they are kept and none of tables changed since:
    // nothing is read otherwise.
    bool KeptRows(TPgConnection &connection, const QByteArray &sql, const QStringList &tables, TRowSet &rows);

    // At most this many lists, and this many cells in all: the lists of six atlases and a few
    // more, not every statement a tool may run.
    static constexpr int kMaxLists = 12;
    static constexpr qsizetype kMaxCells = 4'000'000;

private:
    struct TList {
        QByteArray snapshot; // the server's snapshot taken before the rows were read
        QByteArray columns;  // the tables' columns then
        TRowSet rows;
        quint64 used = 0;
    };
    // What the server says about a list: whether its tables are logged (a list may be kept),
    // and the kept rows if they are still current.
    struct TAnswer {
        bool logged = false;
        QByteArray snapshot, columns;
        const TRowSet *kept = nullptr;
    };
    TAnswer ask(TPgConnection &connection, const QByteArray &sql, const QStringList &tables);
    void keep(const QByteArray &sql, TList list);

    bool m_available = false;
    QHash<QByteArray, TList> m_lists;
    quint64 m_uses = 0;
};
