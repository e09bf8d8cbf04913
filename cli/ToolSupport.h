#pragma once
// Small helpers the catalogue tool's commands share.
#include "data/CatalogSchema.h"

#include <QString>

class TCatalogConnection;

namespace CatalogTool {

// Opens an existing catalogue file through the program's own connection code.
void OpenCatalogue(TCatalogConnection &connection, const QString &path);
// Makes the folders up to the one that is to hold path (a catalogue's usual place, such as
// ~/.local/share/tavelin, often does not exist yet); throws when it cannot.
void MakeParentFolder(const QString &path);
// Prints a one-line message on stderr.
void Complain(const QString &message);

} // namespace CatalogTool
