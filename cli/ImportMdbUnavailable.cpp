// import-mdb in a build without libmdb: the command exists, and refuses as for an unusable input.
#include "cli/CatalogCommands.h"
#include "cli/ToolSupport.h"

namespace CatalogTool {

int ImportMdb(const QStringList &args)
{
    if (args.size() != 2 || args[0].startsWith(QLatin1String("-")) || args[1].startsWith(QLatin1String("-"))) {
        Complain(QStringLiteral("usage: tavelin-catalog import-mdb SRC DEST  (DEST must not exist)"));
        return kExitBadInput;
    }
    Complain(QStringLiteral("this build cannot read Jet files (it was built without libmdb; install mdbtools-dev "
                            "and rebuild): %1 is not converted")
                 .arg(args[0]));
    return kExitBadInput;
}

} // namespace CatalogTool
