#pragma once
// The program's statements (written for a file catalogue) in PostgreSQL's dialect.
//
// - Identifiers the catalogue knows are written with their own case and quoted, since the server
//   folds unquoted names to lower case while the program writes them case-insensitively.
// - String literals and named parameters (":Name") become numbered parameters ($1, ...), so no
//   value is ever part of the statement text.
// - `a LIKE b` keeps the file engine's rule: letters A-Z match a-z and nothing else ignores case
//   (not accented or other letters), and no character escapes a wildcard. A pattern given as a
//   literal or a parameter is folded to lower case before it is sent (ASCII letters only, as
//   lower() under the "C" collation folds), so the server folds only the column; a column whose
//   folded copy the catalogue stores beside it is not folded at all, row by row, but read.
//   Such a pattern is also sent with its backslashes doubled (the server's default escape made
//   harmless), not wrapped in ESCAPE '': the server would rewrite the pattern for every row.
#include <QByteArray>
#include <QString>
#include <QVector>

#include <QPair>
#include <QStringList>

#include <functional>
#include <optional>

struct TPgParameterSource {
    bool literal = false; // a string literal of the statement (else a named parameter)
    QString text;         // the literal's value, or the parameter's name
    bool folded = false;  // a named parameter sent with its ASCII letters in lower case
    bool pattern = false; // a LIKE pattern without an ESCAPE clause: sent with backslashes doubled
};

struct TPgStatement {
    QByteArray sql;
    QVector<TPgParameterSource> parameters; // $1 is parameters[0]
};

// A list narrowed by a search box: "select a, b, ... from T where a like '...' or b like '...'",
// every name a plain word, every pattern a text in quotes.
struct TListSearch {
    QString list;                          // the statement up to its WHERE
    QStringList columns;                   // its select list, as written
    QVector<QPair<QString, QString>> terms; // a column as written, its pattern's text
};

namespace PgStatementTranslation {

// canonical gives a known identifier's own spelling for any case of it, or an empty string for
// a word the catalogue does not know (left as written: a keyword, a function name).
// Throws TavelinError for a statement it cannot speak (an unterminated literal, a LIKE whose
// operand is not a plain column, literal or parameter).
// folded gives, for a known column (its own spelling), the name of the stored copy of it in lower
// case (ASCII letters only) that every table with that column keeps, or an empty string.
TPgStatement Translate(const QString &sql, const std::function<QString(const QString &)> &canonical,
                       const std::function<QString(const QString &)> &folded = {});

// The parts of a statement of exactly that shape; nothing for any other.
std::optional<TListSearch> SplitListSearch(const QString &sql);

// Letters A-Z to a-z, every other character as it is: lower() under the "C" collation.
QString FoldAscii(const QString &text);
// A parameter's text as it is sent: folded when the source says so, and as a pattern's, a backslash
// matching a backslash.
QString AsSent(const TPgParameterSource &source, const QString &text);

// An identifier quoted for the server.
QString QuoteIdentifier(const QString &name);

} // namespace PgStatementTranslation
