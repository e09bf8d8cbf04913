#pragma once
// The SQLite form of the catalogue's tables: the atlas tables with picture references, the table
// of picture bytes and the triggers that keep the two together.
#include <QStringList>

namespace SqliteCatalogSchema {

constexpr const char *kPictureDataTable = "KVR_PictureData";

// The CREATE statements of a new, empty catalogue.
QStringList CreateStatements();

} // namespace SqliteCatalogSchema
