#pragma once
// How the typed input dialog shows and reads its values, as plain functions.
#include <QLocale>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

// Two decimal places, halves away from zero: trunc(v / 0.01 +- 0.5) * 0.01.
double RoundToCents(double value);
// The general number format: shortest form, up to 15 significant digits, no trailing zeros, the
// locale's decimal separator and no group separators (3.14, 7, -0.5).
QString FormatGeneralFloat(double value, const QLocale &locale = QLocale());
// A floating-point value as the dialog shows it: rounded to cents, general format.
QString FormatFloatForInput(double value, const QLocale &locale = QLocale());

// A decimal 32-bit signed integer, surrounding blanks allowed; nothing for empty text, other
// characters or a value out of range.
std::optional<std::int32_t> ParseInt32(const QString &text);
// A finite floating-point number with the locale's decimal separator (no group separators),
// surrounding blanks allowed.
std::optional<double> ParseFloat(const QString &text, const QLocale &locale = QLocale());

// The memo's text for a list of lines: every line followed by a line break.
QString MemoTextFromLines(const QStringList &lines);
// The memo's lines: split at line breaks; the empty line after a final line break is no line.
QStringList MemoLinesFromText(const QString &text);
