#pragma once
// Where the program looks for its catalogue, in order, and which one it opens. A copy of the program
// in a folder of its own keeps its catalogue beside the executable, and that place always comes
// first. An installed program (its executable in /usr/bin, which holds no data) uses the catalogue
// the workstation is configured for (a server or a file, see CatalogLocation), else finds one in the
// freedesktop data folders: the user's own, then the system-wide ones.
#include <QString>
#include <QStringList>

#include <functional>

struct TCatalogueLocationInputs {
    QString programDir;             // the folder of the running executable
    QString configuredCatalogue;    // the catalogue/location setting, the user's over the system-wide one:
                                    // a server or a file; empty: none
    QString dataHome;               // $XDG_DATA_HOME as set (empty or relative: not set)
    QString homeDir;                // the user's home folder, for the default data home
    QString dataDirs;               // $XDG_DATA_DIRS as set, colon-separated (empty: not set)
};

// The catalogue file's full path in every place looked at, first to last, each place once:
//   1. beside the executable;
//   2. the configured catalogue, when there is one;
//   3. the user's data folder, $XDG_DATA_HOME/tavelin (default ~/.local/share/tavelin);
//   4. /var/lib/tavelin, where an administrator keeps a catalogue all users share;
//   5. tavelin/ in every system data folder of $XDG_DATA_DIRS (default /usr/local/share:/usr/share),
//      then in the data folder of the prefix the program is installed in (<prefix>/bin/..).
QStringList CatalogueSearchPlaces(const TCatalogueLocationInputs &inputs);

// The user's own place (3 above): where a user without an administrator puts a catalogue.
QString UserCataloguePlace(const TCatalogueLocationInputs &inputs);
// The place for a catalogue every user of the machine shares (4 above).
QString SharedCataloguePlace();

// The catalogue the program opens: the first place that holds a file, where a configured server
// counts as present (whether it answers shows when it is opened). Empty when no place holds one.
QString ChooseCatalogue(const TCatalogueLocationInputs &inputs, const std::function<bool(const QString &)> &isFile = {});

// The first of places that holds a file (a folder of that name does not count), or an empty string.
QString FirstExistingCatalogue(const QStringList &places,
                               const std::function<bool(const QString &)> &isFile = {});

// The inputs of the running program: its folder, the catalogue setting, the environment and the
// home folder. Throws TavelinError naming the settings file when the setting cannot be used.
TCatalogueLocationInputs CurrentCatalogueLocationInputs();
