#pragma once
// The SQLite form of the catalogue's tables: the atlas tables with picture references, the table
// of picture bytes and the triggers that keep the two together.
#include <QStringList>

namespace SqliteCatalogSchema {

constexpr const char *kPictureDataTable = "KVR_PictureData";
// Beside each picture's bytes: the content hash of them, written by the store with the bytes.
constexpr const char *kPictureHashColumn = "BytesHash";
// The trigger that clears the hash whenever the bytes are written without it.
constexpr const char *kPictureHashTrigger = "KVR_PictureData_bytes_written";

// The CREATE statements of a new, empty catalogue.
QStringList CreateStatements();

// Gives the picture table of an older catalogue its hash column (when addColumn) and the trigger
// that keeps the hashes honest. Hashes written while no trigger watched are cleared: nothing
// vouches for them.
QStringList PictureHashStatements(bool addColumn);

} // namespace SqliteCatalogSchema
