#pragma once
// What an SQLite failure means for the person using the catalogue: a lock held by another
// program, a damaged file, or the operating system's own reason for a failed read or write
// (disk full, file too large, permission), with SQLite's text kept in brackets.
#include <QString>

struct sqlite3;

// rc: the (extended) result code of the failed call; db may be null. The text names the catalogue
// file db has open, unless nameFile is false (the caller names it already).
QString SqliteErrorText(sqlite3 *db, int rc, bool nameFile = true);

