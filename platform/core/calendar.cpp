// Calendar dates over QDate's Julian day numbers, and the settable clock.
#include "calendar.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace Calendar
{

namespace
{
const qint64 epochJulianDay = QDate(1899, 12, 30).toJulianDay();
constexpr double msecsPerDay = 86400000.0;
QDate fixedToday;
} // namespace

double fromDate(const QDate &date)
{
    // An invalid date's Julian day is the lowest integer: subtracting from it
    // would overflow.
    if (!date.isValid())
        return std::numeric_limits<double>::quiet_NaN();
    return static_cast<double>(date.toJulianDay() - epochJulianDay);
}

std::optional<DateAndTime> decode(double number)
{
    static const double firstDay = fromDate(QDate(1, 1, 1));
    static const double lastDay = fromDate(QDate(9999, 12, 31));
    // Checked on the double, so that no conversion to an integer below can
    // overflow; NaN fails both comparisons.
    if (!(number > firstDay - 1 && number < lastDay + 1))
        return std::nullopt;
    const double day = std::trunc(number);
    // A fraction that rounds up to a whole day stays on its own day.
    const qint64 msecs =
        std::min(qRound64(std::fabs(number - day) * msecsPerDay), qint64(msecsPerDay) - 1);
    return DateAndTime{QDate::fromJulianDay(epochJulianDay + qint64(day)), int(msecs)};
}

QDate toDate(double dayNumber)
{
    const std::optional<DateAndTime> decoded = decode(dayNumber);
    return decoded ? decoded->date : QDate();
}

std::optional<double> encode(int year, int month, int day)
{
    if (year < 1 || year > 9999 || !QDate::isValid(year, month, day))
        return std::nullopt;
    return fromDate(QDate(year, month, day));
}

QDate today()
{
    return fixedToday.isValid() ? fixedToday : QDate::currentDate();
}

double todayNumber()
{
    return fromDate(today());
}

void setToday(const QDate &date)
{
    fixedToday = date;
}

} // namespace Calendar
