#include "data/TCatalogStore.h"

#include "data/sqlite/TSqliteCatalogStore.h"
#include "platform/TavelinError.h"

TCatalogStore::~TCatalogStore() = default;

void TCatalogStore::RequireWritable() const
{
    if (ReadOnly())
        throw TavelinError(QStringLiteral("图库 %1 是只读的,修改没有进行。").arg(Location()));
}

namespace CatalogStore {

std::unique_ptr<TCatalogStore> Open(const QString &location)
{
    return std::make_unique<TSqliteCatalogStore>(location);
}

void Create(const QString &location, const std::function<void(TCatalogStore &)> &fill)
{
    TSqliteCatalogStore::Create(location, fill);
}

} // namespace CatalogStore
