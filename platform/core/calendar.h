// Calendar dates as both programs store them (a double counting days from
// 30 December 1899), and the one clock that says what day it is today.
#pragma once

#include <QDate>
#include <optional>

namespace Calendar
{

// The day number of a date; whole days only.
double fromDate(const QDate &date);

// The date of a day number; a fraction (a time of day) is dropped. An
// invalid date for NaN or a number outside the years 1 to 9999.
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
