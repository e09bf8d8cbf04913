#include "data/TCatalogueOpenAhead.h"

#include "data/postgres/TPgCatalogStore.h"

#include <future>

namespace TCatalogueOpenAhead {
namespace {

struct TPending {
    QString location;
    std::future<std::unique_ptr<TCatalogStore>> store;
};

// Used from the thread that starts the program only.
TPending &pending()
{
    static TPending p;
    return p;
}

} // namespace

void Start(const QString &location)
{
    Discard();
    if (location.isEmpty() || TPgCatalogStore::IsServerLocation(location))
        return;
    pending().location = location;
    pending().store = std::async(std::launch::async, [location] { return CatalogStore::Open(location); });
}

std::unique_ptr<TCatalogStore> Take(const QString &location)
{
    TPending &p = pending();
    if (!p.store.valid() || p.location != location)
        return nullptr;
    p.location.clear();
    return p.store.get();
}

void Discard()
{
    TPending &p = pending();
    p.location.clear();
    if (!p.store.valid())
        return;
    try {
        p.store.get();
    } catch (...) {
        // Nobody asked for it: its error is not anybody's either.
    }
}

} // namespace TCatalogueOpenAhead
