// Commands whose implementation has not landed yet: they refuse clearly instead of pretending.
#include "tools/CatalogCommands.h"

#include <cstdio>

namespace CatalogTool {

static int notYet(const char *name)
{
    std::fprintf(stderr, "tavelin-catalog: '%s' is not available in this build\n", name);
    return kExitBadInput;
}

int Demo(const QStringList &) { return notYet("demo"); }

} // namespace CatalogTool
