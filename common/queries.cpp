// The query texts, built in this one place for both programs, the tests and
// the benchmarks.
#include "queries.h"

#include "calendar.h"

namespace
{

// Both queries read the five columns of a Date record in the order the
// grids number them.
QString selectDateRecords()
{
    return QStringLiteral("SELECT TabData.Date, TabData.Commentary, TabData.Annually, "
                          "TabData.PsevdoDate, TabData.Muzik FROM TabData ");
}

QString jetDateLiteral(int month, int day, int year)
{
    return QStringLiteral("#%1/%2/%3#").arg(month).arg(day).arg(year);
}

} // namespace

QString editorQueryText()
{
    return selectDateRecords() + QStringLiteral("ORDER BY TabData.Date");
}

QString SqlDateLiteral(double date)
{
    const QDate d = Calendar::toDate(date);
    return jetDateLiteral(d.month(), d.day(), d.year());
}

QString SqlPseudoDateLiteral(double date)
{
    const QDate d = Calendar::toDate(date);
    return jetDateLiteral(d.month(), d.day(), 2000);
}

// The blanks are part of the text as the reminder has always sent it,
// the two between "BY" and "TabData" included.
QString reminderQueryText(double pseudoDay, double day)
{
    return selectDateRecords() +
           QStringLiteral("WHERE (((TabData.Annually)=True) AND ((TabData.PsevdoDate)=") +
           SqlPseudoDateLiteral(pseudoDay) +
           QStringLiteral(")) OR (((TabData.Annually)=False)) AND ((TabData.Date)=") +
           SqlDateLiteral(day) + QStringLiteral(") ORDER BY  TabData.Annually DESC");
}

QString reminderQueryText(const QDate &day)
{
    const double number = Calendar::fromDate(day);
    return reminderQueryText(number, number);
}
