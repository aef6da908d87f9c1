// Calendar dates over QDate's Julian day numbers, and the settable clock.
#include "calendar.h"

#include <cmath>

namespace Calendar
{

namespace
{
const qint64 epochJulianDay = QDate(1899, 12, 30).toJulianDay();
QDate fixedToday;
} // namespace

double fromDate(const QDate &date)
{
    return static_cast<double>(date.toJulianDay() - epochJulianDay);
}

QDate toDate(double dayNumber)
{
    if (!std::isfinite(dayNumber) || std::fabs(dayNumber) > 4.0e6)
        return {};
    const QDate date = QDate::fromJulianDay(epochJulianDay + qint64(std::floor(dayNumber)));
    if (!date.isValid() || date.year() < 1 || date.year() > 9999)
        return {};
    return date;
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
