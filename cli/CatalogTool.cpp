#include "cli/CatalogCommands.h"

#include "platform/TavelinError.h"

#include <QCoreApplication>

#include <cstdio>
#include <exception>

namespace CatalogTool {

void Usage(std::FILE *to)
{
    std::fputs("Usage: tavelin-catalog COMMAND ...\n"
               "       tavelin-catalog --help | --version\n"
               "Creates, fills, checks and converts Tavelin catalogue files.\n\n"
               "  create PATH                      a new, empty catalogue\n"
               "  demo PATH                        a new demo catalogue with pictures\n"
               "  info PATH                        entries, filled slots and picture bytes per atlas\n"
               "  add PATH ATLAS --name NAME [--other NAME2] FILE...\n"
               "                                   one new entry with the files in slots 1, 2, ...\n"
               "  export-picture PATH ATLAS RECORDSN SLOT OUTFILE\n"
               "                                   the plain JPEG bytes of one slot\n"
               "  verify PATH                      decodes every picture; lists the unreadable ones\n"
               "  import-mdb SRC DEST              converts a Jet catalogue file into a new catalogue\n"
               "ATLAS is one of ZY, ZYZJ, ZYWZ, XYJP, XYLC, ZXTP.\n"
               "Exit status: 0 done, 1 not found or empty (verify: unreadable pictures), 2 bad usage or input.\n",
               to);
}

void Version()
{
    std::printf("tavelin-catalog (Tavelin) %s\n", qPrintable(QCoreApplication::applicationVersion()));
}

int Run(const QStringList &args)
{
    if (args.isEmpty()) {
        Usage(stderr);
        return kExitBadInput;
    }
    const QString cmd = args.first();
    // As GNU programs do: the asked-for help and version go to standard output and end well.
    if (cmd == QLatin1String("--help") || cmd == QLatin1String("-h") || cmd == QLatin1String("help")) {
        Usage(stdout);
        return kExitOk;
    }
    if (cmd == QLatin1String("--version")) {
        Version();
        return kExitOk;
    }
    const QStringList rest = args.mid(1);
    try {
        if (cmd == QLatin1String("create")) return Create(rest);
        if (cmd == QLatin1String("info")) return Info(rest);
        if (cmd == QLatin1String("add")) return Add(rest);
        if (cmd == QLatin1String("export-picture")) return ExportPicture(rest);
        if (cmd == QLatin1String("verify")) return Verify(rest);
        if (cmd == QLatin1String("demo")) return Demo(rest);
        if (cmd == QLatin1String("import-mdb")) return ImportMdb(rest);
    } catch (const TavelinError &e) {
        std::fprintf(stderr, "tavelin-catalog: %s\n", qPrintable(e.message()));
        return kExitBadInput;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "tavelin-catalog: %s\n", e.what());
        return kExitBadInput;
    }
    std::fprintf(stderr, "tavelin-catalog: unknown command '%s'\n", qPrintable(cmd));
    Usage(stderr);
    return kExitBadInput;
}

} // namespace CatalogTool
