#include "platform/TDateTime.h"

#include <cmath>

namespace {
const QDate kBaseDay(1899, 12, 30);
constexpr double kMsPerDay = 86400000.0;
} // namespace

QDateTime DateTimeToQDateTime(TDateTime value)
{
    if (!std::isfinite(value))
        return QDateTime();
    double wholeDays = std::trunc(value);
    double ms = std::round(std::fabs(value - wholeDays) * kMsPerDay);
    if (ms >= kMsPerDay) { // rounding reached the next midnight
        ms -= kMsPerDay;
        wholeDays += value < 0 ? -1 : 1;
    }
    const QDate date = kBaseDay.addDays(qint64(wholeDays));
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(int(ms)));
}

TDateTime QDateTimeToDateTime(const QDateTime &value)
{
    const double days = double(kBaseDay.daysTo(value.date()));
    const double fraction = double(value.time().msecsSinceStartOfDay()) / kMsPerDay;
    return days >= 0 ? days + fraction : days - fraction;
}

TDateTime NowAsDateTime()
{
    return QDateTimeToDateTime(QDateTime::currentDateTime());
}
