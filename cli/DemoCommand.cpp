// demo: writes the demo catalogue (demo/DemoCatalog.h) to a new file.
#include "cli/CatalogCommands.h"
#include "cli/ToolSupport.h"
#include "demo/DemoCatalog.h"

#include <QDir>

#include <cstdio>

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
