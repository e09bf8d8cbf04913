#pragma once
// The reason shown under the start-up error when no place held a catalogue: every place looked at,
// in order, and the commands that make a demo catalogue where the program will find it.
#include <QString>
#include <QStringList>

// places: CatalogueSearchPlaces' list; userPlace and sharedPlace: the user's own and the machine's
// shared place among them; toolPath: the catalogue tool that comes with the program.
QString CatalogueNotFoundText(const QStringList &places, const QString &userPlace, const QString &sharedPlace,
                              const QString &toolPath);

// path as one word for a POSIX shell: unchanged when it is plain, else in single quotes.
QString ShellWord(const QString &path);
