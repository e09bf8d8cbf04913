#include "jet/TMdbImporter.h"

#include "data/CatalogSchema.h"
#include "data/TCatalogConnection.h"
#include "data/TSqlStatement.h"
#include "platform/TavelinError.h"
#include "jet/TJetDatabase.h"
#include "jet/TJetTable.h"
#include "jet/TTemporaryCatalogue.h"

#include <QDir>
#include <QFileInfo>

#include <sqlite3.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

QString quoted(const QString &path)
{
    return QStringLiteral("\"%1\"").arg(QDir::toNativeSeparators(path));
}

bool compatible(TFieldType wanted, TJetTable::TColumnKind found)
{
    switch (wanted) {
    case TFieldType::Integer: return found == TJetTable::TColumnKind::Integer;
    case TFieldType::String:
    case TFieldType::Memo: return found == TJetTable::TColumnKind::Text || found == TJetTable::TColumnKind::Memo;
    case TFieldType::Blob: return found == TJetTable::TColumnKind::Ole;
    }
    return false;
}

QString kindWanted(TFieldType wanted)
{
    switch (wanted) {
    case TFieldType::Integer: return QStringLiteral("a whole number");
    case TFieldType::String:
    case TFieldType::Memo: return QStringLiteral("text");
    case TFieldType::Blob: return QStringLiteral("an OLE object");
    }
    return {};
}

// One atlas table of the source, its columns matched to the atlas's by name.
struct TSource {
    const TAtlasDef *atlas = nullptr;
    std::unique_ptr<TJetTable> table;
    QVector<int> column; // source column of each atlas column
    int keyColumn = -1;
    qint64 rowsTotal = 0;
    qint64 bytesTotal = 0;
};

// Where a failure happened, for the message: table, row and column.
class TPlace {
public:
    explicit TPlace(const QString &table) : m_table(table) {}
    void SetRow(qint64 ordinal) { m_row = QStringLiteral("row %1 (in file order)").arg(ordinal); }
    void SetKey(qint64 key) { m_row = QStringLiteral("row RecordSN %1").arg(key); }
    template <typename F>
    auto In(const QString &column, F &&read) const
    {
        try {
            return read();
        } catch (const TavelinError &e) {
            throw TavelinError(QStringLiteral("%1, %2, column %3: %4").arg(m_table, m_row, column, e.message()));
        }
    }
    template <typename F>
    auto AtRow(F &&step) const
    {
        try {
            return step();
        } catch (const TavelinError &e) {
            const QString where = m_row.isEmpty() ? QStringLiteral("at the first row") : QStringLiteral("after %1").arg(m_row);
            throw TavelinError(QStringLiteral("%1, %2: %3").arg(m_table, where, e.message()));
        }
    }

private:
    QString m_table;
    QString m_row;
};

void openSources(const TJetDatabase &db, std::vector<TSource> &sources, TImportReport &report)
{
    const QStringList tables = db.UserTables();
    QStringList matched;
    for (const TAtlasDef &atlas : CatalogSchema::Atlases()) {
        TSource source;
        source.atlas = &atlas;
        for (const QString &name : tables) {
            if (name.compare(atlas.table, Qt::CaseInsensitive) == 0) {
                source.table = db.OpenTable(name);
                matched << name;
                break;
            }
        }
        if (source.table) {
            const TJetTable &t = *source.table;
            for (const TFieldDef &f : atlas.columns) {
                const int c = t.ColumnIndex(f.name);
                if (c < 0)
                    throw TavelinError(QStringLiteral("%1 has no column %2").arg(t.Name(), f.name));
                if (!compatible(f.type, t.Columns()[c].kind))
                    throw TavelinError(QStringLiteral("%1, column %2 holds %3 where %4 belongs")
                                           .arg(t.Name(), f.name, t.Columns()[c].typeName, kindWanted(f.type)));
                source.column << c;
                if (f.name == QLatin1String("RecordSN"))
                    source.keyColumn = c;
            }
            for (const TJetTable::TColumn &c : t.Columns())
                if (!std::any_of(atlas.columns.begin(), atlas.columns.end(),
                                 [&](const TFieldDef &f) { return f.name.compare(c.name, Qt::CaseInsensitive) == 0; }))
                    report.ignoredColumns << QStringLiteral("%1.%2").arg(t.Name(), c.name);
        }
        sources.push_back(std::move(source));
    }
    if (matched.isEmpty())
        throw TavelinError(QStringLiteral("it holds none of the six atlas tables (%1...): it is not a picture catalogue")
                               .arg(CatalogSchema::Atlases().first().table));
    for (const QString &name : tables)
        if (!matched.contains(name))
            report.extraTables << name;
}

// Counts rows and picture bytes from the rows alone (no picture pages are read), for progress.
void measure(TSource &source)
{
    TJetTable &t = *source.table;
    TPlace place(t.Name());
    t.Rewind();
    while (place.AtRow([&] { return t.Next(); })) {
        place.SetRow(t.RowsRead());
        for (int k = 0; k < source.atlas->columns.size(); ++k) {
            const TFieldDef &f = source.atlas->columns[k];
            if (f.type == TFieldType::Blob)
                source.bytesTotal += place.In(f.name, [&] { return t.DeclaredLength(source.column[k]); });
        }
    }
    source.rowsTotal = t.RowsRead();
}

void raiseKeySequence(sqlite3 *db, const QString &table, qint64 seq)
{
    if (seq <= 0)
        return;
    TSqlStatement update(db, QStringLiteral("UPDATE sqlite_sequence SET seq = max(seq, ?1) WHERE name = ?2"));
    update.BindInt64(1, seq);
    update.BindText(2, table);
    update.Step();
    if (sqlite3_changes(db) == 0) {
        TSqlStatement insert(db, QStringLiteral("INSERT INTO sqlite_sequence(name, seq) VALUES(?1, ?2)"));
        insert.BindText(1, table);
        insert.BindInt64(2, seq);
        insert.Step();
    }
}

// Copies the rows of one atlas table: keys kept, texts exact, picture bytes as stored.
TAtlasImport copyAtlas(sqlite3 *h, TSqlStatement &picture, TSource &s,
                       const std::function<void(const TImportProgress &)> &progressHandler)
{
    const TAtlasDef &atlas = *s.atlas;
    TAtlasImport result;
    result.code = atlas.code;
    result.table = atlas.table;
    if (!s.table) {
        result.missingInSource = true;
        return result;
    }
    QStringList names, marks;
    for (int k = 0; k < atlas.columns.size(); ++k) {
        names << atlas.columns[k].name;
        marks << QStringLiteral("?%1").arg(k + 1);
    }
    TSqlStatement insert(h, QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                .arg(atlas.table, names.join(QLatin1Char(',')), marks.join(QLatin1Char(','))));
    TJetTable &t = *s.table;
    TPlace place(t.Name());
    TImportProgress progress{atlas.code, t.Name(), 0, s.rowsTotal, 0, s.bytesTotal, false};
    qint64 maxKey = 0;
    t.Rewind();
    while (place.AtRow([&] { return t.Next(); })) {
        place.SetRow(t.RowsRead());
        const qint64 key = place.In(QStringLiteral("RecordSN"), [&] {
            if (t.IsNull(s.keyColumn))
                throw TavelinError(QStringLiteral("the key is NULL"));
            return t.Integer(s.keyColumn);
        });
        place.SetKey(key);
        maxKey = qMax(maxKey, key);
        insert.Reset();
        QVector<QByteArray> keep(atlas.columns.size()); // bound without a copy: alive until the row is stepped
        for (int k = 0; k < atlas.columns.size(); ++k) {
            const TFieldDef &f = atlas.columns[k];
            const int c = s.column[k];
            place.In(f.name, [&] {
                if (t.IsNull(c)) {
                    // NULL stays NULL: no picture row at all.
                    insert.BindNull(k + 1);
                } else if (f.type == TFieldType::Integer) {
                    insert.BindInt64(k + 1, t.Integer(c));
                } else if (f.type == TFieldType::Blob) {
                    // A zero-length value stays a picture row with no bytes.
                    keep[k] = t.Bytes(c);
                    picture.Reset();
                    picture.BindBlob(1, keep[k]);
                    picture.Step();
                    insert.BindInt64(k + 1, sqlite3_last_insert_rowid(h));
                    ++(keep[k].isEmpty() ? result.emptySlots : result.filledSlots);
                    result.pictureBytes += keep[k].size();
                    progress.bytesDone += keep[k].size();
                } else {
                    insert.BindText(k + 1, t.Text(c));
                }
                return 0;
            });
        }
        place.In(QStringLiteral("RecordSN"), [&] {
            try {
                insert.Step();
            } catch (const TavelinError &) {
                if (sqlite3_extended_errcode(h) == SQLITE_CONSTRAINT_PRIMARYKEY)
                    throw TavelinError(QStringLiteral("the key %1 appears twice").arg(key));
                throw;
            }
            return 0;
        });
        ++result.rows;
        ++progress.rowsDone;
        if (progressHandler)
            progressHandler(progress);
    }
    result.keySequence = qMax(maxKey, t.LastAutoNumber());
    raiseKeySequence(h, atlas.table, result.keySequence);
    progress.atlasDone = true;
    if (progressHandler)
        progressHandler(progress);
    return result;
}

} // namespace

TMdbImporter::TMdbImporter(const QString &source, const QString &destination)
    : m_source(source), m_destination(destination)
{
}

TImportReport TMdbImporter::Run()
{
    if (QFileInfo::exists(m_destination) || QFileInfo(m_destination).isSymLink())
        throw TavelinError(QStringLiteral("%1 already exists; it was not changed").arg(quoted(m_destination)));
    try {
        TJetDatabase db(m_source);
        TImportReport report;
        report.sourceFormat = db.Format().Name();
        std::vector<TSource> sources;
        openSources(db, sources, report);
        // Damage in the rows shows here, before anything is written.
        for (TSource &s : sources)
            if (s.table)
                measure(s);

        TTemporaryCatalogue temporary(m_destination);
        {
            TCatalogConnection conn;
            conn.SetConnectionString(TCatalogConnection::ConnectionStringForFile(temporary.Path()));
            conn.SetConnected(true);
            conn.Begin();
            try {
                TSqlStatement picture(conn.Handle(), QStringLiteral("INSERT INTO %1(Bytes) VALUES(?1)")
                                                         .arg(QLatin1String(CatalogSchema::kPictureDataTable)));
                for (TSource &s : sources)
                    report.atlases << copyAtlas(conn.Handle(), picture, s, m_progress);
                conn.Commit();
            } catch (...) {
                conn.Rollback();
                throw;
            }
            conn.SetConnected(false);
        }
        temporary.MoveIntoPlace();
        return report;
    } catch (const TavelinError &e) {
        const QString outcome = QFileInfo::exists(m_destination)
                                    ? QStringLiteral("%1 was not changed.").arg(quoted(m_destination))
                                    : QStringLiteral("Nothing was written: %1 does not exist.").arg(quoted(m_destination));
        QString why = e.message();
        while (why.endsWith(QLatin1Char('.')))
            why.chop(1);
        throw TavelinError(QStringLiteral("Cannot convert %1: %2. %3").arg(quoted(m_source), why, outcome));
    }
}
