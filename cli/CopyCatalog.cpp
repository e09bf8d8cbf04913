// copy: a whole catalogue from one place to another (file or server, either way), entries with
// their RecordSN, every stored byte, and the numbers deleted entries once had. The destination is
// written in one transaction, checked against the source afterwards, and verified.
#include "data/CatalogSchema.h"
#include "data/TCatalogStore.h"
#include "data/TRowSet.h"
#include "platform/TMemoryStream.h"
#include "platform/TavelinError.h"
#include "cli/CatalogCommands.h"
#include "cli/ToolSupport.h"

#include <QCryptographicHash>
#include <QFileInfo>

#include <cstdio>
#include <memory>

namespace CatalogTool {
namespace {

QStringList columnNames(const TAtlasDef &atlas)
{
    QStringList names;
    for (const TFieldDef &f : atlas.columns)
        names << f.name;
    return names;
}

// The entries of one atlas, in RecordSN order, as references (pictures are read one at a time).
void readEntries(TCatalogStore &store, const TAtlasDef &atlas, TRowSet &rows)
{
    store.Select(QStringLiteral("select %1 from %2 order by RecordSN").arg(columnNames(atlas).join(QLatin1Char(',')), atlas.table),
                 {}, rows);
}

QByteArray storedBytes(TCatalogStore &store, const QVariant &reference)
{
    if (reference.isNull())
        return QByteArray();
    TMemoryStream s;
    store.ReadPicture(reference.toLongLong(), s);
    return s.Bytes().isNull() ? QByteArray("", 0) : s.Bytes();
}

// Everything a copy must keep, of one atlas: keys, texts, every stored picture byte.
void addToDigest(QCryptographicHash &digest, TCatalogStore &store, const TAtlasDef &atlas)
{
    TRowSet rows;
    readEntries(store, atlas, rows);
    digest.addData(atlas.table.toUtf8());
    digest.addData(QByteArray::number(rows.RowCount()));
    for (int r = 0; r < rows.RowCount(); ++r) {
        for (int c = 0; c < atlas.columns.size(); ++c) {
            const QVariant v = rows.Value(r, c);
            QByteArray value;
            if (atlas.columns[c].type == TFieldType::Blob)
                value = v.isNull() ? QByteArray() : QByteArray("P") + storedBytes(store, v);
            else
                value = v.isNull() ? QByteArray() : QByteArray("V") + v.toString().toUtf8();
            digest.addData(QByteArray::number(value.size()) + ':');
            digest.addData(value);
        }
    }
}

QByteArray catalogueDigest(TCatalogStore &store)
{
    QCryptographicHash digest(QCryptographicHash::Sha256);
    for (const TAtlasDef &atlas : CatalogSchema::Atlases())
        addToDigest(digest, store, atlas);
    return digest.result();
}

bool holdsEntries(TCatalogStore &store)
{
    for (const TAtlasDef &atlas : CatalogSchema::Atlases()) {
        TRowSet rows;
        store.Select(QStringLiteral("select count(*) from %1").arg(atlas.table), {}, rows);
        if (rows.Value(0, 0).toLongLong() > 0)
            return true;
    }
    return false;
}

} // namespace

TCopyCounts CopyEntries(TCatalogStore &source, TCatalogStore &dest, bool progress)
{
    TCopyCounts counts;
    TStoreTransaction tx(dest);
    for (const TAtlasDef &atlas : CatalogSchema::Atlases()) {
        TRowSet rows;
        readEntries(source, atlas, rows);
        const int total = rows.RowCount();
        int shown = -1;
        for (int r = 0; r < total; ++r) {
            TEntryValues values;
            qint64 key = 0;
            for (int c = 0; c < atlas.columns.size(); ++c) {
                const TFieldDef &f = atlas.columns[c];
                const QVariant v = rows.Value(r, c);
                if (f.name == QLatin1String("RecordSN")) {
                    key = v.toLongLong();
                } else if (f.type == TFieldType::Blob) {
                    if (!v.isNull())
                        ++counts.pictures;
                    values.append({f.name, v.isNull() ? QVariant() : QVariant(storedBytes(source, v))});
                } else {
                    values.append({f.name, v});
                }
            }
            if (key <= 0)
                throw TavelinError(
                    QStringLiteral("%1 holds an entry without a RecordSN in %2.").arg(source.Location(), atlas.table));
            dest.InsertEntry(atlas.table, values, key);
            ++counts.entries;
            const int percent = int(qint64(r + 1) * 100 / total);
            if (progress && (percent / 10 != shown || r + 1 == total)) {
                shown = percent / 10;
                std::fprintf(stderr, "copy: %s %d/%d\n", qPrintable(atlas.table), r + 1, total);
            }
        }
        dest.RaiseKeySequence(atlas.table, source.LastIssuedKey(atlas.table));
    }
    tx.Commit();
    return counts;
}

int Copy(const QStringList &args)
{
    if (args.size() != 2) {
        Complain(QStringLiteral("usage: tavelin-catalog copy SRC DEST"));
        return kExitBadInput;
    }
    const QString &from = args[0];
    const QString &to = args[1];
    std::unique_ptr<TCatalogStore> source = CatalogStore::Open(from);

    // The destination is new (made and filled in one go, so a failure leaves nothing behind), or a
    // catalogue without entries, filled in one transaction.
    TCopyCounts counts;
    std::unique_ptr<TCatalogStore> dest;
    try {
        dest = CatalogStore::Open(to);
    } catch (const TavelinError &) {
        CatalogStore::Create(to, [&](TCatalogStore &fresh) { counts = CopyEntries(*source, fresh, true); });
        dest = CatalogStore::Open(to);
    }
    if (counts.entries == 0) {
        if (holdsEntries(*dest))
            throw TavelinError(QStringLiteral("%1 already holds a catalogue with entries; it was not changed. Copy "
                                              "into a new file or an empty database.")
                                   .arg(dest->Location()));
        dest->RequireWritable();
        counts = CopyEntries(*source, *dest, true);
    }
    std::fprintf(stderr, "copy: %d entries and %d pictures written to %s\n", counts.entries, counts.pictures, qPrintable(dest->Location()));

    if (catalogueDigest(*source) != catalogueDigest(*dest)) {
        Complain(QStringLiteral("copy: %1 does not hold what %2 holds").arg(dest->Location(), source->Location()));
        return kExitNotFound;
    }
    std::fprintf(stderr, "copy: every entry and picture byte of the copy matches the source; verifying...\n");
    dest.reset();
    source.reset();
    return Verify({to});
}

} // namespace CatalogTool
