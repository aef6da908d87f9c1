// Dates as the user reads them in either program: the system's short date
// format, but always with a four-digit year, and the Russian day-first form
// where no locale is set.
#pragma once

#include <QDate>
#include <QLocale>
#include <QString>

// The date in the locale's short format with its year widened to four
// digits ("14.03.85" would not tell 1885 from 1985); dd.MM.yyyy for the
// C/POSIX locale, whose own "9 Dec 2026" would put an English month into a
// Russian window. Empty for an invalid date.
QString shortDateText(const QDate &date, const QLocale &locale = QLocale::system());
