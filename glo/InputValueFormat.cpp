#include "glo/InputValueFormat.h"

#include <QRegularExpression>
#include <cmath>
#include <limits>

double RoundToCents(double value)
{
    const double scaled = value / 0.01 + (value >= 0 ? 0.5 : -0.5);
    // Beyond about 1.8e306 the division overflows; such a value has no cents to round, and
    // showing it as "inf" would make the dialog refuse its own text.
    if (!std::isfinite(scaled))
        return value;
    return std::trunc(scaled) * 0.01;
}

QString FormatGeneralFloat(double value, const QLocale &locale)
{
    QLocale l = locale;
    l.setNumberOptions(l.numberOptions() | QLocale::OmitGroupSeparator);
    const QString text = l.toString(value, 'g', 15);
    // Next to the largest double, 15 digits round up past it and would read back as overflow.
    bool ok = false;
    if (std::isfinite(value) && (l.toDouble(text, &ok), !ok))
        return l.toString(value, 'g', 17);
    return text;
}

QString FormatFloatForInput(double value, const QLocale &locale)
{
    return FormatGeneralFloat(RoundToCents(value), locale);
}

std::optional<std::int32_t> ParseInt32(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    for (int i = 0; i < t.size(); ++i) {
        const QChar c = t[i];
        const bool sign = i == 0 && (c == QLatin1Char('+') || c == QLatin1Char('-'));
        if (!sign && (c < QLatin1Char('0') || c > QLatin1Char('9')))
            return std::nullopt;
    }
    bool ok = false;
    const qlonglong v = t.toLongLong(&ok, 10);
    if (!ok || v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return std::int32_t(v);
}

std::optional<double> ParseFloat(const QString &text, const QLocale &locale)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    QLocale l = locale;
    l.setNumberOptions(l.numberOptions() | QLocale::RejectGroupSeparator);
    bool ok = false;
    const double v = l.toDouble(t, &ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}

QString MemoTextFromLines(const QStringList &lines)
{
    QString text;
    for (const QString &line : lines) {
        text += line;
        text += QLatin1Char('\n');
    }
    return text;
}

QStringList MemoLinesFromText(const QString &text)
{
    if (text.isEmpty())
        return {};
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\n|\r|\u2029"));
    QStringList lines = text.split(lineBreak);
    if (lines.last().isEmpty())
        lines.removeLast();
    return lines;
}
