// The date grid's layout and the status text, for both main windows.
#include "mainwindows.h"

#include "calendar.h"
#include "datetext.h"
#include "dbgrid.h"

void layOutDateGrid(DbGrid *grid)
{
    grid->setColumn(0, QStringLiteral("Date"), QStringLiteral("Дата"), Qt::AlignCenter, 80);
    grid->setColumn(1, QStringLiteral("Commentary"), QStringLiteral("Комментарий"), Qt::AlignCenter,
                    718);
    grid->setColumnShown(4, false);
    grid->setColumnShown(3, false);
    grid->setColumnShown(2, false);
}

QString todayStatusText()
{
    return QStringLiteral("Сегодня: ") + shortDateText(Calendar::today()) + QStringLiteral("     ");
}
