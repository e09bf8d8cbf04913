#pragma once
// The catalogue's tables on a PostgreSQL server: the six atlas tables under their own names and
// columns (quoted, so they keep their case), RecordSN an identity column, and the picture bytes
// in KVR_PictureData so that the rows a list or a search scans stay small. A picture column holds
// the PictureID of its bytes (the domain "picture", which also tells the column's kind).
#include <QStringList>

namespace PgCatalogSchema {

constexpr const char *kPictureDomain = "picture";
constexpr const char *kPictureDataTable = "KVR_PictureData";
// Beside each picture's bytes: the content hash of them, written by the store with the bytes, and
// the trigger (and its function) that clears it whenever the bytes are written without it.
constexpr const char *kPictureHashColumn = "BytesHash";
constexpr const char *kPictureHashTrigger = "KVR_PictureData_bytes_written";

// Which transactions changed which atlas table: a row for each transaction and table, written by
// a trigger on each atlas table whoever writes it. A workstation that read a list asks for rows
// of transactions its reading did not see, instead of reading the list again.
constexpr const char *kChangeTable = "KVR_Changes";
constexpr const char *kChangeTrigger = "KVR_change_noted";

// A searched column's copy in lower case (ASCII letters only, as a search compares them), kept by
// the server beside it, so a search reads it rather than folding every row's text anew. Its name
// is the column's followed by this (no statement of the program can name it unquoted).
constexpr const char *kFoldedSuffix = " (folded)";
QString FoldedColumn(const QString &column);

// The statements that make a new, empty catalogue in the current schema, whose name is schema.
QStringList CreateStatements(const QString &schema);

// The declared type of a column as the catalogue speaks of it ("INTEGER", "VARCHAR(50)", "TEXT",
// "PICTURE") from the server's name of it (format_type).
QString DeclaredType(const QString &serverType);

} // namespace PgCatalogSchema
