#pragma once
// Date-times in the OLE Automation form the value records carry: a 64-bit float counting whole
// days since 1899-12-30, the fraction being the time of day (also for dates before the base day,
// where -1.25 is 1899-12-29 06:00).
#include <QDateTime>

using TDateTime = double;

QDateTime DateTimeToQDateTime(TDateTime value);
TDateTime QDateTimeToDateTime(const QDateTime &value);
TDateTime NowAsDateTime();
