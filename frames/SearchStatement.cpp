#include "frames/SearchStatement.h"

namespace SearchStatement {

namespace {
bool isBlankOrControl(QChar c)
{
    return c.unicode() <= 0x20;
}
} // namespace

QString NormalizeSearchText(const QString &text)
{
    int end = text.size();
    while (end > 0 && isBlankOrControl(text.at(end - 1)))
        --end;
    QString v = text.left(end);
    for (QChar &c : v)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 'a' + 'A');
    return v;
}

QString TrimName(const QString &text)
{
    int begin = 0, end = text.size();
    while (begin < end && isBlankOrControl(text.at(begin)))
        ++begin;
    while (end > begin && isBlankOrControl(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

QString QuotedLiteral(const QString &value)
{
    QString q = value;
    q.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + q + QLatin1Char('\'');
}

QStringList SearchLines(const QString &designedText, const QString &columnA, const QString &columnB, const QString &v)
{
    // The designed text holds its lines each followed by CR LF.
    QStringList lines = designedText.split(QStringLiteral("\r\n"));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    if (!v.isEmpty()) {
        const QString q = QuotedLiteral(QLatin1Char('%') + v + QLatin1Char('%'));
        lines << QStringLiteral(" Where ") + columnA + QStringLiteral(" Like ") + q;
        lines << QStringLiteral(" Or ") + columnB + QStringLiteral(" Like ") + q;
    }
    return lines;
}

} // namespace SearchStatement
