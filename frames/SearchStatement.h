#pragma once
// The search box's text turned into the list statement's lines.
#include <QString>
#include <QStringList>

namespace SearchStatement {

// Trailing blanks and control characters removed (leading ones stay); a to z upper-cased.
QString NormalizeSearchText(const QString &text);
// Blanks and control characters removed at both ends, as names are shown and stored.
QString TrimName(const QString &text);
// An SQL string literal: single quotes around, every single quote inside doubled.
QString QuotedLiteral(const QString &value);
// The designed lines, plus " Where A Like Q" and " Or B Like Q" with Q = '%v%' when v is not empty.
QStringList SearchLines(const QString &designedText, const QString &columnA, const QString &columnB, const QString &v);

} // namespace SearchStatement
