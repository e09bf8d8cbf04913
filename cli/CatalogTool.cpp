#include "cli/CatalogCommands.h"

#include "platform/TavelinError.h"

#include <cstdio>
#include <exception>

namespace CatalogTool {

void Usage()
{
    std::fputs("usage: tavelin-catalog COMMAND ...\n"
               "  create PATH                      a new, empty catalogue\n"
               "  demo PATH                        a new demo catalogue with pictures\n"
               "  info PATH                        entries, filled slots and picture bytes per atlas\n"
               "  add PATH ATLAS --name NAME [--other NAME2] FILE...\n"
               "                                   one new entry with the files in slots 1, 2, ...\n"
               "  export-picture PATH ATLAS RECORDSN SLOT OUTFILE\n"
               "                                   the plain JPEG bytes of one slot\n"
               "  verify PATH                      decodes every picture; lists the unreadable ones\n"
               "  import-mdb SRC DEST              converts a Jet catalogue file into a new catalogue\n"
               "ATLAS is one of ZY, ZYZJ, ZYWZ, XYJP, XYLC, ZXTP.\n",
               stderr);
}

int Run(const QStringList &args)
{
    if (args.isEmpty()) {
        Usage();
        return kExitBadInput;
    }
    const QString cmd = args.first();
    const QStringList rest = args.mid(1);
    try {
        if (cmd == QLatin1String("create")) return Create(rest);
        if (cmd == QLatin1String("info")) return Info(rest);
        if (cmd == QLatin1String("add")) return Add(rest);
        if (cmd == QLatin1String("export-picture")) return ExportPicture(rest);
        if (cmd == QLatin1String("verify")) return Verify(rest);
        if (cmd == QLatin1String("demo")) return Demo(rest);
        if (cmd == QLatin1String("import-mdb")) return ImportMdb(rest);
        if (cmd == QLatin1String("help") || cmd == QLatin1String("--help") || cmd == QLatin1String("-h")) {
            Usage();
            return kExitOk;
        }
    } catch (const TavelinError &e) {
        std::fprintf(stderr, "tavelin-catalog: %s\n", qPrintable(e.message()));
        return kExitBadInput;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "tavelin-catalog: %s\n", e.what());
        return kExitBadInput;
    }
    std::fprintf(stderr, "tavelin-catalog: unknown command '%s'\n", qPrintable(cmd));
    Usage();
    return kExitBadInput;
}

} // namespace CatalogTool
