#include "data/postgres/TPgListCache.h"

#include "data/postgres/PgCatalogSchema.h"
#include "data/postgres/TPgConnection.h"
#include "platform/TavelinError.h"

namespace {

// A text[] parameter's text: each name quoted, as the server reads an array.
QString textArray(const QStringList &names)
{
    QStringList quoted;
    for (QString name : names) {
        name.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
        name.replace(QLatin1Char('"'), QLatin1String("\\\""));
        quoted << QLatin1Char('"') + name + QLatin1Char('"');
    }
    return QLatin1Char('{') + quoted.join(QLatin1Char(',')) + QLatin1Char('}');
}

qsizetype cellsOf(const TRowSet &rows)
{
    return qsizetype(rows.RowCount()) * rows.ColumnCount();
}

} // namespace

void TPgListCache::SetAvailable(bool available)
{
    m_available = available;
    m_lists.clear();
}

TPgListCache::TAnswer TPgListCache::ask(TPgConnection &connection, const QByteArray &sql, const QStringList &tables)
{
    TAnswer answer;
    if (!m_available || tables.isEmpty() || connection.InTransaction())
        return answer;
    auto it = m_lists.find(sql);
    PgParameters p;
    if (it == m_lists.end())
        p.AddNull();
    else
        p.AddText(QString::fromLatin1(it->snapshot));
    p.AddText(textArray(tables));
    p.AddText(QString::fromLatin1(PgCatalogSchema::kChangeTrigger));
    // The snapshot this statement sees; whether a transaction it sees and the kept list's did not
    // changed one of the tables; whether every one of them still has its trigger on (someone may
    // have dropped or disabled one, and then written unlogged); and the tables' columns as they
    // are now (a column added, dropped or retyped changes what a list reads, and logs nothing).
    // The statement is prepared, planned once for any snapshot; so that the plan reads only the
    // log's newest rows from its index, not the whole log (which grows with every change ever
    // made), the condition on it is a range, the upper end no transaction number ever reaches.
    // The tables' numbers are an array, so that the server looks them up in its catalogues'
    // indexes rather than scanning them.
    static const QByteArray kTables =
        QByteArrayLiteral("ANY(ARRAY(SELECT to_regclass(quote_ident(n))::oid FROM unnest($2::text[]) n))");
    static const QByteArray kAsk =
        QByteArrayLiteral("SELECT pg_current_snapshot()::text, $1::text IS NOT NULL AND NOT EXISTS (SELECT 1 FROM \"")
        + PgCatalogSchema::kChangeTable
        + QByteArrayLiteral("\" WHERE \"ChangedIn\" >= pg_snapshot_xmin($1::text::pg_snapshot) "
                            "AND \"ChangedIn\" < '18446744073709551615'::xid8 AND \"TableName\" = ANY($2::text[]) "
                            "AND NOT pg_visible_in_snapshot(\"ChangedIn\", $1::text::pg_snapshot)), "
                            "(SELECT count(DISTINCT g.tgrelid) FROM pg_trigger g WHERE g.tgname = $3 "
                            "AND g.tgenabled IN ('O', 'A') AND g.tgrelid = ")
        + kTables
        + QByteArrayLiteral(") = cardinality($2::text[]), "
                            "(SELECT string_agg(a.attrelid::text || ' ' || a.attnum || ' ' || a.xmin::text, ',' "
                            "ORDER BY a.attrelid, a.attnum) FROM pg_attribute a WHERE a.attrelid = ")
        + kTables + QByteArrayLiteral(" AND a.attnum > 0)");
    PgResultPtr r;
    try {
        r = connection.ExecPrepared(kAsk, p, 0, true);
    } catch (const TavelinError &) {
        if (!connection.Connected())
            throw; // the server went away: said once, as for any statement
        // The log was taken away or closed to this account since the catalogue was opened:
        // lists are read every time from now on.
        SetAvailable(false);
        return answer;
    }
    answer.logged = PQntuples(r.get()) == 1 && *PQgetvalue(r.get(), 0, 2) == 't';
    if (!answer.logged) {
        if (it != m_lists.end())
            m_lists.erase(it);
        return answer;
    }
    answer.snapshot = QByteArray(PQgetvalue(r.get(), 0, 0));
    answer.columns = QByteArray(PQgetvalue(r.get(), 0, 3));
    if (it != m_lists.end() && *PQgetvalue(r.get(), 0, 1) == 't' && it->columns == answer.columns) {
        it->used = ++m_uses;
        answer.kept = &it->rows;
    }
    return answer;
}

void TPgListCache::Rows(TPgConnection &connection, const QByteArray &sql, const QStringList &tables, TRowSet &rows,
                        const std::function<void(TRowSet &)> &read)
{
    const TAnswer answer = ask(connection, sql, tables);
    if (answer.kept) {
        rows = *answer.kept; // shared until one of them is changed
        return;
    }
    read(rows);
    if (answer.logged)
        keep(sql, TList{answer.snapshot, answer.columns, rows, 0});
}

bool TPgListCache::KeptRows(TPgConnection &connection, const QByteArray &sql, const QStringList &tables, TRowSet &rows)
{
    if (!m_lists.contains(sql))
        return false; // nothing to ask about
    const TAnswer answer = ask(connection, sql, tables);
    if (!answer.kept) {
        m_lists.remove(sql);
        return false;
    }
    rows = *answer.kept;
    return true;
}

void TPgListCache::keep(const QByteArray &sql, TList list)
{
    m_lists.remove(sql);
    if (cellsOf(list.rows) > kMaxCells)
        return;
    qsizetype cells = cellsOf(list.rows);
    for (const TList &kept : std::as_const(m_lists))
        cells += cellsOf(kept.rows);
    // The least recently used go first.
    while (!m_lists.isEmpty() && (m_lists.size() >= kMaxLists || cells > kMaxCells)) {
        auto oldest = m_lists.begin();
        for (auto i = m_lists.begin(); i != m_lists.end(); ++i)
            if (i->used < oldest->used)
                oldest = i;
        cells -= cellsOf(oldest->rows);
        m_lists.erase(oldest);
    }
    list.used = ++m_uses;
    m_lists.insert(sql, std::move(list));
}
