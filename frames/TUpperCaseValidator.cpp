#include "frames/TUpperCaseValidator.h"

QValidator::State TUpperCaseValidator::validate(QString &input, int &) const
{
    for (QChar &c : input)
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 'a' + 'A');
    return Acceptable;
}
