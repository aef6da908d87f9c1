// The reminder's command text for a given day, for the tests and the
// benchmark that run it against databases of their own.
#pragma once

#include <QDate>
#include <QString>

namespace ReminderQuery
{

inline QString jetLiteral(int month, int day, int year)
{
    return QStringLiteral("#%1/%2/%3#").arg(month).arg(day).arg(year);
}

inline QString forDay(const QDate &today)
{
    return QStringLiteral("SELECT TabData.Date, TabData.Commentary, TabData.Annually, "
                          "TabData.PsevdoDate, TabData.Muzik FROM TabData WHERE "
                          "(((TabData.Annually)=True) AND ((TabData.PsevdoDate)=") +
           jetLiteral(today.month(), today.day(), 2000) +
           QStringLiteral(")) OR (((TabData.Annually)=False)) AND ((TabData.Date)=") +
           jetLiteral(today.month(), today.day(), today.year()) +
           QStringLiteral(") ORDER BY  TabData.Annually DESC");
}

} // namespace ReminderQuery
