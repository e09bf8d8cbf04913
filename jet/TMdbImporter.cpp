#include "jet/TMdbImporter.h"

#include "data/CatalogSchema.h"
#include "data/TCatalogStore.h"
#include "platform/QuotedPath.h"
#include "platform/TavelinError.h"
#include "jet/TJetDatabase.h"
#include "jet/TJetTable.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

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

// Copies the rows of one atlas table: keys kept, texts exact, picture bytes as stored.
TAtlasImport copyAtlas(TCatalogStore &store, TSource &s,
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
    TJetTable &t = *s.table;
    TPlace place(t.Name());
    TImportProgress progress{atlas.code, t.Name(), 0, s.rowsTotal, 0, s.bytesTotal, false};
    qint64 maxKey = 0;
    QSet<qint64> keys;
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
        if (keys.contains(key))
            throw TavelinError(QStringLiteral("the key %1 appears twice").arg(key));
        keys.insert(key);
        TEntryValues values;
        values.reserve(atlas.columns.size());
        for (int k = 0; k < atlas.columns.size(); ++k) {
            const TFieldDef &f = atlas.columns[k];
            if (f.name == QLatin1String("RecordSN"))
                continue;
            const int c = s.column[k];
            place.In(f.name, [&] {
                if (t.IsNull(c)) {
                    // NULL stays NULL: no picture at all.
                    values.append({f.name, QVariant()});
                } else if (f.type == TFieldType::Integer) {
                    values.append({f.name, QVariant(t.Integer(c))});
                } else if (f.type == TFieldType::Blob) {
                    // A zero-length value stays a picture with no bytes.
                    QByteArray bytes = t.Bytes(c);
                    if (bytes.isNull())
                        bytes = QByteArray("", 0);
                    ++(bytes.isEmpty() ? result.emptySlots : result.filledSlots);
                    result.pictureBytes += bytes.size();
                    progress.bytesDone += bytes.size();
                    values.append({f.name, QVariant(bytes)});
                } else {
                    values.append({f.name, QVariant(t.Text(c))});
                }
                return 0;
            });
        }
        place.In(QStringLiteral("RecordSN"), [&] { return store.InsertEntry(atlas.table, values, key); });
        ++result.rows;
        ++progress.rowsDone;
        if (progressHandler)
            progressHandler(progress);
    }
    result.keySequence = qMax(maxKey, t.LastAutoNumber());
    store.RaiseKeySequence(atlas.table, result.keySequence);
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
        throw TavelinError(QStringLiteral("%1 already exists; it was not changed").arg(QuotedPath(m_destination)));
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

        CatalogStore::Create(m_destination, [&](TCatalogStore &store) {
            for (TSource &s : sources)
                report.atlases << copyAtlas(store, s, m_progress);
        });
        return report;
    } catch (const TavelinError &e) {
        const QString outcome = QFileInfo::exists(m_destination)
                                    ? QStringLiteral("%1 was not changed.").arg(QuotedPath(m_destination))
                                    : QStringLiteral("Nothing was written: %1 does not exist.").arg(QuotedPath(m_destination));
        QString why = e.message();
        while (why.endsWith(QLatin1Char('.')))
            why.chop(1);
        throw TavelinError(QStringLiteral("Cannot convert %1: %2. %3").arg(QuotedPath(m_source), why, outcome));
    }
}
