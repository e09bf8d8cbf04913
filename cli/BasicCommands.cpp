// create, info, add, export-picture.
#include "data/AtlasEntries.h"
#include "data/TCatalogConnection.h"
#include "data/TCatalogQuery.h"
#include "platform/TMemoryStream.h"
#include "platform/TavelinError.h"
#include "cli/CatalogCommands.h"
#include "cli/ToolSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cstdio>

namespace CatalogTool {

void OpenCatalogue(TCatalogConnection &connection, const QString &path)
{
    connection.SetConnectionString(TCatalogConnection::ConnectionStringForFile(path));
    connection.SetConnected(true);
}

void MakeParentFolder(const QString &path)
{
    const QString folder = QFileInfo(path).absolutePath();
    if (!QDir().mkpath(folder))
        throw TavelinError(QStringLiteral("Cannot create the folder \"%1\"").arg(QDir::toNativeSeparators(folder)));
}

void Complain(const QString &message)
{
    std::fprintf(stderr, "tavelin-catalog: %s\n", qPrintable(message));
}

int Create(const QStringList &args)
{
    if (args.size() != 1) {
        Complain(QStringLiteral("usage: tavelin-catalog create PATH"));
        return kExitBadInput;
    }
    MakeParentFolder(args[0]);
    CatalogStore::Create(args[0]);
    return kExitOk;
}

int Info(const QStringList &args)
{
    if (args.size() != 1) {
        Complain(QStringLiteral("usage: tavelin-catalog info PATH"));
        return kExitBadInput;
    }
    TCatalogConnection conn;
    OpenCatalogue(conn, args[0]);
    std::printf("%-6s %-18s %10s %12s %16s\n", "atlas", "table", "entries", "filled slots", "picture bytes");
    for (const TAtlasDef &a : CatalogSchema::Atlases()) {
        if (!conn.Store().TableExists(a.table)) {
            std::printf("%-6s %-18s %10s\n", qPrintable(a.code), qPrintable(a.table), "(missing)");
            continue;
        }
        QStringList pictureColumns;
        for (int k = 1; k <= a.slotCount; ++k)
            pictureColumns << CatalogSchema::SlotColumn(k);
        const TTableStatistics stats = conn.Store().Statistics(a.table, pictureColumns);
        const qint64 entries = stats.entries, filled = stats.filledSlots, bytes = stats.pictureBytes;
        std::printf("%-6s %-18s %10lld %12lld %16lld\n", qPrintable(a.code), qPrintable(a.table), entries, filled,
                    bytes);
    }
    return kExitOk;
}

int Add(const QStringList &args)
{
    if (args.size() < 2) {
        Complain(QStringLiteral("usage: tavelin-catalog add PATH ATLAS --name NAME [--other NAME2] FILE..."));
        return kExitBadInput;
    }
    const QString path = args[0];
    const TAtlasDef &atlas = CatalogSchema::AtlasOrThrow(args[1]);
    QString name, other;
    bool haveName = false, haveOther = false;
    QStringList files;
    for (int i = 2; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--name") && i + 1 < args.size()) {
            name = args[++i];
            haveName = true;
        } else if (args[i] == QLatin1String("--other") && i + 1 < args.size()) {
            other = args[++i];
            haveOther = true;
        } else if (args[i].startsWith(QLatin1String("--"))) {
            Complain(QStringLiteral("unknown option %1").arg(args[i]));
            return kExitBadInput;
        } else {
            files << args[i];
        }
    }
    if (!haveName) {
        Complain(QStringLiteral("add needs --name NAME"));
        return kExitBadInput;
    }
    if (files.size() > atlas.slotCount) {
        Complain(QStringLiteral("%1 has %2 picture slots; %3 files given").arg(atlas.code).arg(atlas.slotCount).arg(files.size()));
        return kExitBadInput;
    }
    // Read every file before touching the catalogue, so a bad file changes nothing.
    QList<QByteArray> contents;
    for (const QString &f : files) {
        QFile file(f);
        if (!file.open(QIODevice::ReadOnly)) {
            Complain(QStringLiteral("cannot read %1: %2").arg(f, file.errorString()));
            return kExitBadInput;
        }
        contents << file.readAll();
    }

    TCatalogConnection conn;
    OpenCatalogue(conn, path);
    TCatalogQuery q;
    q.SetConnection(&conn);
    q.SQL() << QStringLiteral("select * from %1 where 0").arg(atlas.table);
    q.Open();
    q.Append();
    q.SetFieldText(atlas.nameColumn, name);
    if (haveOther)
        q.SetFieldText(atlas.otherColumn, other);
    for (int k = 0; k < contents.size(); ++k) {
        TMemoryStream stream;
        stream.Write(contents[k]);
        q.PictureFromStream(CatalogSchema::SlotColumn(k + 1), stream);
    }
    q.Post();
    std::printf("%d\n", q.FieldAsInteger(QStringLiteral("RecordSN")));
    return kExitOk;
}

int ExportPicture(const QStringList &args)
{
    if (args.size() != 5) {
        Complain(QStringLiteral("usage: tavelin-catalog export-picture PATH ATLAS RECORDSN SLOT OUTFILE"));
        return kExitBadInput;
    }
    const TAtlasDef &atlas = CatalogSchema::AtlasOrThrow(args[1]);
    bool ok1 = false, ok2 = false;
    const qint64 sn = args[2].toLongLong(&ok1);
    const int slot = args[3].toInt(&ok2);
    if (!ok1 || !ok2 || slot < 1 || slot > atlas.slotCount) {
        Complain(QStringLiteral("RECORDSN must be a number and SLOT one of 1..%1").arg(atlas.slotCount));
        return kExitBadInput;
    }
    TCatalogConnection conn;
    OpenCatalogue(conn, args[0]);
    TCatalogQuery q;
    q.SetConnection(&conn);
    q.SQL() << QStringLiteral("select %1, RecordSN from %2 where RecordSN = :SQLRecordSN")
                   .arg(CatalogSchema::SlotColumn(slot), atlas.table);
    q.SetParameter(QStringLiteral("SQLRecordSN"), sn);
    q.Open();
    if (q.IsEmpty()) {
        Complain(QStringLiteral("%1 has no entry %2").arg(atlas.code).arg(sn));
        return kExitNotFound;
    }
    TMemoryStream stream;
    q.PictureToStream(CatalogSchema::SlotColumn(slot), stream);
    if (stream.Size() == 0) {
        Complain(QStringLiteral("slot %1 of %2 entry %3 is empty").arg(slot).arg(atlas.code).arg(sn));
        return kExitNotFound;
    }
    QSaveFile out(args[4]);
    if (!out.open(QIODevice::WriteOnly) || out.write(stream.Bytes()) != stream.Size() || !out.commit()) {
        Complain(QStringLiteral("cannot write %1: %2").arg(args[4], out.errorString()));
        return kExitBadInput;
    }
    return kExitOk;
}

} // namespace CatalogTool
