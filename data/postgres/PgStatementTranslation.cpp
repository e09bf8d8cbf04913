#include "data/postgres/PgStatementTranslation.h"

#include "platform/TavelinError.h"

#include <QHash>
#include <QRegularExpression>

namespace PgStatementTranslation {
namespace {

enum class Kind { Space, Word, Quoted, Literal, Parameter, Number, Symbol };

struct Token {
    Kind kind;
    QString text; // as written (for Literal: the value; for Parameter: the name)
};

bool isWordStart(QChar c)
{
    return c.isLetter() || c == QLatin1Char('_');
}

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$');
}

QVector<Token> tokenize(const QString &sql)
{
    QVector<Token> tokens;
    const int n = int(sql.size());
    int i = 0;
    auto fail = [&](const QString &why) {
        throw TavelinError(QStringLiteral("The statement cannot be run on the catalogue server: %1.").arg(why));
    };
    while (i < n) {
        const QChar c = sql.at(i);
        const int start = i;
        if (c.isSpace()) {
            while (i < n && sql.at(i).isSpace())
                ++i;
            tokens.append({Kind::Space, sql.mid(start, i - start)});
        } else if (c == QLatin1Char('-') && i + 1 < n && sql.at(i + 1) == QLatin1Char('-')) {
            while (i < n && sql.at(i) != QLatin1Char('\n'))
                ++i;
            tokens.append({Kind::Space, QStringLiteral(" ")});
        } else if (c == QLatin1Char('\'')) {
            QString value;
            ++i;
            for (;;) {
                if (i >= n)
                    fail(QStringLiteral("a text in quotes is not closed"));
                if (sql.at(i) == QLatin1Char('\'')) {
                    if (i + 1 < n && sql.at(i + 1) == QLatin1Char('\'')) {
                        value += QLatin1Char('\'');
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                value += sql.at(i++);
            }
            tokens.append({Kind::Literal, value});
        } else if (c == QLatin1Char('"')) {
            ++i;
            while (i < n && sql.at(i) != QLatin1Char('"'))
                ++i;
            if (i >= n)
                fail(QStringLiteral("a quoted name is not closed"));
            ++i;
            tokens.append({Kind::Quoted, sql.mid(start, i - start)});
        } else if (c == QLatin1Char(':') && i + 1 < n && sql.at(i + 1) == QLatin1Char(':')) {
            i += 2; // a cast, not a parameter
            tokens.append({Kind::Symbol, QStringLiteral("::")});
        } else if (c == QLatin1Char(':') && i + 1 < n && isWordStart(sql.at(i + 1))) {
            ++i;
            while (i < n && isWordChar(sql.at(i)))
                ++i;
            tokens.append({Kind::Parameter, sql.mid(start + 1, i - start - 1)});
        } else if (isWordStart(c)) {
            while (i < n && isWordChar(sql.at(i)))
                ++i;
            tokens.append({Kind::Word, sql.mid(start, i - start)});
        } else if (c.isDigit()) {
            while (i < n && (sql.at(i).isLetterOrNumber() || sql.at(i) == QLatin1Char('.')))
                ++i;
            tokens.append({Kind::Number, sql.mid(start, i - start)});
        } else {
            ++i;
            tokens.append({Kind::Symbol, QString(c)});
        }
    }
    return tokens;
}

bool isWord(const Token &t, const char *word)
{
    return t.kind == Kind::Word && t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

// Case folding of ASCII letters only, whatever the database's locale: lower() under the "C"
// collation touches A-Z and nothing else.
QString folded(const QString &operand)
{
    return QStringLiteral("lower((%1) COLLATE \"C\")").arg(operand);
}

} // namespace

QString AsSent(const TPgParameterSource &source, const QString &text)
{
    QString out = source.folded ? FoldAscii(text) : text;
    if (source.pattern)
        out.replace(QLatin1Char('\\'), QStringLiteral("\\\\"));
    return out;
}

QString FoldAscii(const QString &text)
{
    QString out = text;
    for (QChar &c : out)
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() - 'A' + 'a');
    return out;
}

QString QuoteIdentifier(const QString &name)
{
    QString q = name;
    q.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + q + QLatin1Char('"');
}

namespace {

// A bare number as a whole condition ("where 0", the file engine's idiom for an empty result)
// is a truth value there; the server wants a boolean.
void numbersAsConditions(QVector<Token> &tokens)
{
    auto significant = [&](int i, int step) {
        for (i += step; i >= 0 && i < tokens.size(); i += step)
            if (tokens[i].kind != Kind::Space)
                return i;
        return -1;
    };
    for (int i = 0; i < tokens.size(); ++i) {
        if (tokens[i].kind != Kind::Number)
            continue;
        const int before = significant(i, -1);
        const int after = significant(i, +1);
        const bool opens = before >= 0
                           && (isWord(tokens[before], "where") || isWord(tokens[before], "and")
                               || isWord(tokens[before], "or") || isWord(tokens[before], "not"));
        const bool closes = after < 0 || isWord(tokens[after], "and") || isWord(tokens[after], "or")
                            || isWord(tokens[after], "order") || isWord(tokens[after], "group")
                            || isWord(tokens[after], "limit") || tokens[after].text == QLatin1String(")");
        if (opens && closes)
            tokens[i] = {Kind::Symbol, QStringLiteral("(%1 <> 0)").arg(tokens[i].text)};
    }
}

// Whether a statement lists entries in no order of its own: one SELECT whose list names RecordSN
// itself, without ORDER BY, grouping, a limit or a set operation. A catalogue file hands such a
// list over in RecordSN order (its rows are kept in that order); a server in the order its rows
// happen to lie, which every update changes.
bool listsInNoOrder(const QVector<Token> &tokens, const std::function<QString(const QString &)> &canonical)
{
    int depth = 0;
    bool first = true;
    bool inSelectList = false;
    bool itemIsKey = false;
    bool itemAlone = true; // the current item of the select list is one token so far
    bool namesKey = false;
    bool from = false;
    static const char *const kOrdered[] = {"order", "group", "having", "limit", "offset", "fetch", "union",
                                           "intersect", "except", "for", "into", "window"};
    for (const Token &t : tokens) {
        if (t.kind == Kind::Space)
            continue;
        if (first) {
            if (!isWord(t, "select"))
                return false;
            first = false;
            inSelectList = true;
            continue;
        }
        if (t.text == QLatin1String("("))
            ++depth;
        else if (t.text == QLatin1String(")"))
            --depth;
        else if (t.text == QLatin1String(";"))
            return false;
        if (depth > 0 || t.text == QLatin1String(")"))
            continue;
        for (const char *word : kOrdered)
            if (isWord(t, word))
                return false;
        if (!inSelectList)
            continue;
        if (isWord(t, "from") || t.text == QLatin1String(",")) {
            namesKey = namesKey || (itemIsKey && itemAlone);
            itemIsKey = false;
            itemAlone = true;
            if (isWord(t, "from")) {
                inSelectList = false;
                from = true;
            }
            continue;
        }
        if (isWord(t, "distinct") && !itemIsKey && itemAlone)
            continue;
        if (itemIsKey || !itemAlone) {
            itemAlone = false;
            itemIsKey = false;
            continue;
        }
        itemIsKey = t.kind == Kind::Word && canonical(t.text) == QLatin1String("RecordSN");
        if (!itemIsKey)
            itemAlone = false;
    }
    return from && namesKey;
}

} // namespace

TPgStatement Translate(const QString &sql, const std::function<QString(const QString &)> &canonical,
                       const std::function<QString(const QString &)> &foldedCopy)
{
    QVector<Token> tokens = tokenize(sql);
    numbersAsConditions(tokens);
    TPgStatement out;
    QHash<QString, int> parameterNumbers; // a name used twice is one parameter

    // The output as pieces, one per significant token, so that LIKE can wrap its left operand.
    struct Piece {
        QString text;
        bool operand; // a column, literal or parameter
        bool isNot;
        QString column = QString(); // a known column's own spelling
    };
    QVector<Piece> pieces;
    bool wrapNextOperand = false;
    bool escapePending = false;
    int patternParameter = -1; // the pattern just written, when it is a parameter of its own

    auto operandText = [&](const Token &t) -> QString {
        switch (t.kind) {
        case Kind::Word: {
            const QString known = canonical(t.text);
            return known.isEmpty() ? t.text : QuoteIdentifier(known);
        }
        case Kind::Quoted: return t.text;
        case Kind::Literal:
            out.parameters.append({true, t.text});
            return QStringLiteral("($%1::text)").arg(out.parameters.size());
        case Kind::Parameter: {
            const QString key = t.text.toLower();
            auto it = parameterNumbers.find(key);
            if (it == parameterNumbers.end()) {
                out.parameters.append({false, t.text});
                it = parameterNumbers.insert(key, int(out.parameters.size()));
            }
            return QStringLiteral("$%1").arg(it.value());
        }
        default: return t.text;
        }
    };
    // A column as LIKE compares it: its stored folded copy when the catalogue keeps one, else
    // folded by the server row by row.
    auto foldedColumn = [&](const Piece &p) -> QString {
        const QString copy = p.column.isEmpty() || !foldedCopy ? QString() : foldedCopy(p.column);
        return copy.isEmpty() ? folded(p.text) : QuoteIdentifier(copy);
    };
    // The pattern side: a value is folded here (a parameter when it is sent), a column as above.
    auto foldedOperand = [&](const Token &t) -> QString {
        switch (t.kind) {
        case Kind::Literal:
            out.parameters.append({true, FoldAscii(t.text)});
            return QStringLiteral("($%1::text)").arg(out.parameters.size());
        case Kind::Parameter:
            // A parameter of its own: the same name elsewhere in the statement keeps its case.
            out.parameters.append({false, t.text, true});
            return QStringLiteral("($%1::text)").arg(out.parameters.size());
        case Kind::Word: {
            const QString known = canonical(t.text);
            return foldedColumn({operandText(t), true, false, known});
        }
        default: return folded(operandText(t));
        }
    };
    // No ESCAPE follows the pattern: no character may escape a wildcard. A parameter is sent so;
    // anything else is rewritten by the server.
    auto noEscapeClause = [&] {
        if (patternParameter >= 0)
            out.parameters[patternParameter].pattern = true;
        else
            pieces.append({QStringLiteral(" ESCAPE '' "), false, false});
    };
    auto failLike = [] {
        throw TavelinError(QStringLiteral("The statement cannot be run on the catalogue server: LIKE needs a column, "
                                          "a text or a parameter on each side."));
    };

    for (const Token &t : tokens) {
        if (t.kind == Kind::Space) {
            pieces.append({QStringLiteral(" "), false, false});
            continue;
        }
        if (escapePending) {
            escapePending = false;
            if (!isWord(t, "escape"))
                noEscapeClause();
        }
        const bool isOperand = t.kind == Kind::Word || t.kind == Kind::Quoted || t.kind == Kind::Literal
                               || t.kind == Kind::Parameter;
        if (isWord(t, "like")) {
            // Find the left operand: the last significant piece, or the one before NOT.
            int k = int(pieces.size()) - 1;
            auto skipSpace = [&] {
                while (k >= 0 && pieces[k].text == QLatin1String(" "))
                    --k;
            };
            skipSpace();
            if (k >= 0 && pieces[k].isNot) {
                --k;
                skipSpace();
            }
            if (k < 0 || !pieces[k].operand)
                failLike();
            pieces[k].text = foldedColumn(pieces[k]);
            pieces[k].operand = false;
            pieces.append({QStringLiteral("LIKE"), false, false});
            wrapNextOperand = true;
            continue;
        }
        if (wrapNextOperand) {
            if (!isOperand || isWord(t, "not"))
                failLike();
            wrapNextOperand = false;
            pieces.append({foldedOperand(t), false, false});
            patternParameter = t.kind == Kind::Literal || t.kind == Kind::Parameter ? int(out.parameters.size()) - 1 : -1;
            escapePending = true;
            continue;
        }
        if (isWord(t, "not")) {
            pieces.append({t.text, false, true});
            continue;
        }
        const QString known = t.kind == Kind::Word ? canonical(t.text) : QString();
        pieces.append({operandText(t), isOperand, false, known});
    }
    if (wrapNextOperand)
        failLike();
    if (escapePending)
        noEscapeClause();

    QString text;
    for (const Piece &p : pieces)
        text += p.text;
    if (listsInNoOrder(tokens, canonical))
        text += QStringLiteral(" ORDER BY \"RecordSN\"");
    out.sql = text.toUtf8();
    return out;
}

std::optional<TListSearch> SplitListSearch(const QString &sql)
{
    if (sql.contains(QLatin1String("--")))
        return std::nullopt; // a comment could hide a word the walk below does not see
    QVector<Token> tokens;
    for (const Token &t : tokenize(sql))
        if (t.kind != Kind::Space)
            tokens.append(t);
    TListSearch out;
    int i = 0;
    auto word = [&](const char *w) { return i < tokens.size() && isWord(tokens[i], w) && ++i; };
    auto name = [&](QString &n) {
        if (i >= tokens.size() || tokens[i].kind != Kind::Word)
            return false;
        n = tokens[i++].text;
        return true;
    };
    QString column, table;
    if (!word("select") || !name(column))
        return std::nullopt;
    out.columns << column;
    while (i < tokens.size() && tokens[i].text == QLatin1String(",")) {
        ++i;
        if (!name(column))
            return std::nullopt;
        out.columns << column;
    }
    if (!word("from") || !name(table))
        return std::nullopt;
    // Only words, commas and spaces so far: the first "where" in the text is this one.
    static const QRegularExpression where(QStringLiteral("(?<=\\s)where(?![\\w$])"),
                                          QRegularExpression::CaseInsensitiveOption
                                              | QRegularExpression::UseUnicodePropertiesOption);
    const qsizetype at = sql.indexOf(where);
    if (!word("where") || at < 0)
        return std::nullopt;
    out.list = sql.left(at);
    do {
        if (!name(column) || !word("like") || i >= tokens.size() || tokens[i].kind != Kind::Literal)
            return std::nullopt;
        out.terms.append({column, tokens[i++].text});
    } while (word("or"));
    if (i != tokens.size())
        return std::nullopt;
    return out;
}

} // namespace PgStatementTranslation
