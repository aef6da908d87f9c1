// Calendar dates as both programs store them (a double counting days from
// 30 December 1899), and the one clock that says what day it is today.
#pragma once

#include <QDate>
#include <optional>

namespace Calendar
{

// The day number of a date; whole days only. NaN for an invalid date.
double fromDate(const QDate &date);

// A stored date/time number read the way Jet (and OLE Automation) reads
// it: the whole part, cut toward zero, counts days from 30 December 1899;
// the size of the fraction is the time of day, counted forward from
// midnight on days before that as well (-1.25 is 29 December 1899, 6:00).
struct DateAndTime {
    QDate date;
    int msecsSinceStartOfDay = 0;
};

// Empty for NaN, an infinity, or a number outside the years 1 to 9999, the
// years encode() accepts: such a number names no date.
std::optional<DateAndTime> decode(double number);

// The date of a day number as decode() reads it, without the time of day;
// an invalid date where decode() is empty.
QDate toDate(double dayNumber);

// Encodes a year, month and day in the proleptic Gregorian calendar; empty
// when that day does not exist.
std::optional<double> encode(int year, int month, int day);

// Today's local date, read afresh at each call unless a test has set it.
QDate today();
double todayNumber();

// For tests: make today() return this date; an invalid date restores the
// system clock.
void setToday(const QDate &date);

} // namespace Calendar
