#pragma once
// Writes SQLite files that are not catalogues, or are damaged ones, for tests of what the program
// makes of them. They are written with the sqlite3 command-line shell, as someone outside the
// program would write them, so the tests never reach past the catalogue store into its engine.
#include <QProcess>
#include <QString>

namespace SqliteShell {

// Runs the statements on the file at path (created when missing); returns the shell's error text,
// empty on success. output, when given, receives what the statements printed.
QString Run(const QString &path, const QString &sql, QString *output = nullptr);

// Another program working on the file while the test goes on: a shell kept running, whose open
// transaction (a lock, a change under way) lasts until the next statements or the session's end.
// The end closes the shell, which undoes whatever it has not committed.
class Session {
public:
    explicit Session(const QString &path);
    ~Session();
    Session(const Session &) = delete;
    Session &operator=(const Session &) = delete;

    // Runs the statements and returns once the shell has done them: its error text, empty on success.
    QString Run(const QString &sql);

private:
    QProcess m_shell;
};

} // namespace SqliteShell
