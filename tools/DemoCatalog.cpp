// demo: a new catalogue that shows the program at its best on a fresh machine.
#include "tools/DemoCatalog.h"

#include "data/CatalogSchema.h"
#include "data/PictureTransform.h"
#include "data/TCatalogConnection.h"
#include "data/TCatalogQuery.h"
#include "picture/JpegEncoder.h"
#include "platform/TMemoryStream.h"
#include "platform/TavelinError.h"
#include "tools/CatalogCommands.h"
#include "tools/ToolSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cstdio>
#include <map>
#include <memory>

namespace {

// Removes the half-built file and SQLite's companions unless the build got through.
class TPartialFileGuard {
public:
    explicit TPartialFileGuard(QString path) : m_path(std::move(path)) {}
    ~TPartialFileGuard()
    {
        if (m_armed)
            for (const char *suffix : {"", "-wal", "-shm", "-journal", ".creating", ".creating-wal", ".creating-shm"})
                QFile::remove(m_path + QLatin1String(suffix));
    }
    TPartialFileGuard(const TPartialFileGuard &) = delete;
    TPartialFileGuard &operator=(const TPartialFileGuard &) = delete;
    void Release() { m_armed = false; }

private:
    QString m_path;
    bool m_armed = true;
};

QString quoted(const QString &path)
{
    return QStringLiteral("\"%1\"").arg(QDir::toNativeSeparators(path));
}

// A fresh name beside path, in the same folder so the final rename does not cross file systems.
QString temporaryNameBeside(const QString &path)
{
    QTemporaryFile reserve(path + QStringLiteral(".XXXXXX.part"));
    if (!reserve.open())
        throw TavelinError(QStringLiteral("Cannot create %1: %2").arg(quoted(path), reserve.errorString()));
    const QString name = reserve.fileName();
    reserve.close();
    reserve.remove(); // CreateCatalogueFile wants to make the file itself
    return name;
}

void storeEntry(TCatalogQuery &q, const TAtlasDef &atlas, const TDemoEntry &e, TDemoCatalogueStats &stats)
{
    q.Append();
    q.SetFieldText(atlas.nameColumn, e.name);
    q.SetFieldText(atlas.otherColumn, e.other);
    if (q.FieldIndex(QStringLiteral("MemoContent")) >= 0 && !e.memo.isEmpty())
        q.SetFieldText(QStringLiteral("MemoContent"), e.memo);
    if (e.pictures.size() > atlas.slotCount)
        throw TavelinError(QStringLiteral("%1 has %2 picture pictures; the entry %3 has %4")
                               .arg(atlas.code)
                               .arg(atlas.slotCount)
                               .arg(e.name)
                               .arg(e.pictures.size()));
    for (int k = 0; k < e.pictures.size(); ++k) {
        if (!e.pictures[k])
            continue;
        TJpegEncodeOptions options;
        options.quality = 85;
        TMemoryStream stream;
        stream.Write(EncodeJpeg(DrawDemoSlot(e, k + 1), options));
        stats.pictures += 1;
        stats.pictureBytes += stream.Size();
        if (atlas.transformed)
            EncodePictureStream(stream);
        q.BlobFromStream(CatalogSchema::SlotColumn(k + 1), stream);
    }
    q.Post();
    stats.entries += 1;
}

} // namespace

TDemoCatalogueStats BuildDemoCatalogue(const QString &path, const QVector<TDemoEntry> &entries)
{
    if (QFileInfo::exists(path))
        throw TavelinError(QStringLiteral("%1 already exists; it was not changed.").arg(quoted(path)));
    const QString temporary = temporaryNameBeside(path);
    TPartialFileGuard guard(temporary);
    TCatalogConnection::CreateCatalogueFile(temporary);

    TDemoCatalogueStats stats;
    {
        TCatalogConnection connection;
        CatalogTool::OpenCatalogue(connection, temporary);
        // Pictures are drawn here, one after the other: drawn on several threads at once, Qt's
        // shared font engines give slightly different glyphs from run to run, and the file must
        // come out the same every time. One query per atlas, ordered by code so nothing depends
        // on hashing.
        std::map<QString, std::unique_ptr<TCatalogQuery>> queries;
        connection.Begin();
        try {
            for (const TDemoEntry &e : entries) {
                const TAtlasDef &atlas = CatalogTool::AtlasOrThrow(e.atlas);
                std::unique_ptr<TCatalogQuery> &q = queries[atlas.code];
                if (!q) {
                    q = std::make_unique<TCatalogQuery>();
                    q->SetConnection(&connection);
                    q->SQL() << QStringLiteral("select * from %1 where 0").arg(atlas.table);
                    q->Open();
                }
                storeEntry(*q, atlas, e, stats);
            }
            connection.Commit();
        } catch (...) {
            connection.Rollback();
            throw;
        }
        queries.clear();
        connection.SetConnected(false); // checkpoints the write-ahead log into the file
    }
    if (QFileInfo::exists(temporary + QStringLiteral("-wal")))
        throw TavelinError(QStringLiteral("Cannot finish %1: the catalogue's log was not written back.").arg(quoted(path)));
    // rename() refuses an existing target, so a file that appeared meanwhile is not replaced.
    if (!QFile::rename(temporary, path))
        throw TavelinError(QStringLiteral("Cannot move the new catalogue to %1%2")
                               .arg(quoted(path), QFileInfo::exists(path) ? QStringLiteral(": it exists now") : QString()));
    guard.Release();
    return stats;
}

namespace CatalogTool {

int Demo(const QStringList &args)
{
    if (args.size() != 1) {
        Complain(QStringLiteral("usage: tavelin-catalog demo PATH"));
        return kExitBadInput;
    }
    MakeParentFolder(args[0]);
    const TDemoCatalogueStats stats = BuildDemoCatalogue(args[0], DemoCatalogEntries());
    std::printf("%s: %d entries, %d pictures, %.1f MB of pictures\n", qPrintable(QDir::toNativeSeparators(args[0])),
                stats.entries, stats.pictures, stats.pictureBytes / 1048576.0);
    return kExitOk;
}

} // namespace CatalogTool
