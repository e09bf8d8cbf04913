#include "data/TCatalogStore.h"

#include "data/postgres/TPgCatalogStore.h"
#include "data/sqlite/TSqliteCatalogStore.h"
#include "platform/TMemoryStream.h"
#include "platform/TavelinError.h"

TCatalogStore::~TCatalogStore() = default;

void TCatalogStore::RequireWritable() const
{
    if (ReadOnly())
        throw TavelinError(QStringLiteral("图库 %1 是只读的,修改没有进行。").arg(Location()));
}

void TCatalogStore::ReadPictures(const QVector<qint64> &references, const std::function<void(qint64, QByteArray)> &each)
{
    for (qint64 reference : references) {
        QByteArray bytes;
        try {
            TMemoryStream stream;
            ReadPicture(reference, stream);
            bytes = stream.Bytes();
        } catch (const TavelinError &) {
            continue; // left out: the caller treats it as unreadable
        }
        each(reference, bytes.isNull() ? QByteArray("", 0) : bytes);
    }
}

namespace CatalogStore {

std::unique_ptr<TCatalogStore> Open(const QString &location)
{
    if (TPgCatalogStore::IsServerLocation(location))
        return TPgCatalogStore::Open(location);
    return std::make_unique<TSqliteCatalogStore>(location);
}

void Create(const QString &location, const std::function<void(TCatalogStore &)> &fill)
{
    if (TPgCatalogStore::IsServerLocation(location))
        return TPgCatalogStore::Create(location, fill);
    TSqliteCatalogStore::Create(location, fill);
}

} // namespace CatalogStore
