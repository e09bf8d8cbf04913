#include "jet/JetHandle.h"

#include "jet/TJetDatabase.h"

#include "platform/TavelinError.h"
#include "jet/TJetTable.h"

#include <QFile>
#include <QFileInfo>

QString TJetFormat::Name() const
{
    if (jetVersion == 3)
        return QStringLiteral("Jet 3");
    if (jetVersion == 4)
        return QStringLiteral("Jet 4");
    return QStringLiteral("ACE");
}

TJetFormat TJetDatabase::InspectHeader(const QByteArray &head, qint64 fileSize)
{
    const QByteArray jetMagic("\x00\x01\x00\x00Standard Jet DB\x00", 20);
    const QByteArray aceMagic("\x00\x01\x00\x00Standard ACE DB\x00", 20);
    if (head.startsWith(QByteArray("SQLite format 3\0", 16)))
        throw TavelinError(QStringLiteral("it is already a Tavelin catalogue, not a Jet database: there is nothing "
                                          "to convert"));
    if (head.size() < 0x15 || !(head.startsWith(jetMagic) || head.startsWith(aceMagic)))
        throw TavelinError(QStringLiteral("it is not a Jet database (it does not begin like one)"));
    TJetFormat format;
    const int version = static_cast<unsigned char>(head[0x14]);
    format.jetVersion = version == 0 ? 3 : version == 1 ? 4 : 5;
    format.pageSize = version == 0 ? 2048 : 4096;
    // Jet writes whole pages; a copy that stops elsewhere was cut short.
    if (fileSize < 3 * format.pageSize || fileSize % format.pageSize != 0)
        throw TavelinError(QStringLiteral("the file is truncated or damaged: its %1 bytes are not a whole number of "
                                          "%2-byte pages")
                               .arg(fileSize)
                               .arg(format.pageSize));
    return format;
}

TJetDatabase::TJetDatabase(const QString &path) : d(std::make_unique<Impl>())
{
    d->path = path;
    const QFileInfo info(path);
    if (!info.exists())
        throw TavelinError(QStringLiteral("the file does not exist"));
    QFile file(path);
    if (!info.isFile() || !file.open(QIODevice::ReadOnly))
        throw TavelinError(QStringLiteral("the file cannot be read: %1").arg(file.errorString()));
    d->fileSize = file.size();
    d->format = InspectHeader(file.read(0x20), d->fileSize);
    file.close();

    // libmdb reads Jet 4 files without the database password; pages that are encoded it decodes
    // with the key from the header.
    d->mdb = mdb_open(QFile::encodeName(path).constData(), MDB_NOFLAGS);
    if (!d->mdb)
        throw TavelinError(QStringLiteral("libmdb cannot open it as a Jet database"));
    if (d->mdb->fmt->pg_size != d->format.pageSize) {
        const auto pageSize = d->mdb->fmt->pg_size;
        mdb_close(d->mdb);
        d->mdb = nullptr;
        throw TavelinError(QStringLiteral("it has %1-byte pages where its header says %2: the file is damaged")
                               .arg(pageSize)
                               .arg(d->format.pageSize));
    }
    if (!mdb_read_catalog(d->mdb, MDB_TABLE)) {
        mdb_close(d->mdb);
        d->mdb = nullptr;
        throw TavelinError(QStringLiteral("its list of tables cannot be read: the file is damaged"));
    }
    // libmdb passes over catalogue pages it cannot read; a table list read in part would make
    // tables look missing. The system table's own row count tells.
    try {
        TJetTable(*this, QStringLiteral("MSysObjects")).ReadToEnd();
    } catch (const TavelinError &e) {
        mdb_close(d->mdb);
        d->mdb = nullptr;
        throw TavelinError(QStringLiteral("its list of tables cannot be read completely (%1): the file is damaged")
                               .arg(e.message()));
    }
}

TJetDatabase::~TJetDatabase()
{
    if (d->mdb)
        mdb_close(d->mdb);
}

QStringList TJetDatabase::UserTables() const
{
    QStringList names;
    for (unsigned i = 0; i < d->mdb->num_catalog; ++i) {
        auto *entry = static_cast<MdbCatalogEntry *>(g_ptr_array_index(d->mdb->catalog, i));
        if (entry->object_type == MDB_TABLE && mdb_is_user_table(entry))
            names << QString::fromUtf8(entry->object_name);
    }
    return names;
}

const TJetFormat &TJetDatabase::Format() const
{
    return d->format;
}

QString TJetDatabase::Path() const
{
    return d->path;
}

qint64 TJetDatabase::FileSize() const
{
    return d->fileSize;
}

std::unique_ptr<TJetTable> TJetDatabase::OpenTable(const QString &name) const
{
    return std::make_unique<TJetTable>(*this, name);
}
