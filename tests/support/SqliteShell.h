#pragma once
// Writes SQLite files that are not catalogues, or are damaged ones, for tests of what the program
// makes of them. They are written with the sqlite3 command-line shell, as someone outside the
// program would write them, so the tests never reach past the catalogue store into its engine.
#include <QString>

namespace SqliteShell {

// Runs the statements on the file at path (created when missing); returns the shell's error text,
// empty on success.
QString Run(const QString &path, const QString &sql);

} // namespace SqliteShell
