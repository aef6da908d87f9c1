// What the two main windows show alike: the columns of their date grid and
// the today text of their status bar.
#pragma once

#include <QString>

class DbGrid;

// Lays out a grid bound to the rows of a date query: "Дата" (80 pixels)
// and "Комментарий" (718 pixels), both titles centred; Muzik, PsevdoDate
// and Annually hidden, in this order.
void layOutDateGrid(DbGrid *grid);

// The text of the status bar's last panel: "Сегодня: ", today's date as
// shortDateText writes it, and five blanks.
QString todayStatusText();
