// The two programs' queries of the table of remembered dates, in Jet SQL as
// the data access layer takes them: the editor's list of every row and the
// reminder's rows of one day.
#pragma once

#include <QDate>
#include <QString>

// Every row, oldest date first.
QString editorQueryText();

// Jet SQL date literals, month first and without leading zeros whatever the
// locale: "#3/5/2027#", and for the Pseudo-date "#3/5/2000#".
QString SqlDateLiteral(double date);
QString SqlPseudoDateLiteral(double date);

// The yearly rows whose Pseudo-date is that of `pseudoDay` and the one-time
// rows dated `day`, one-time rows first. The reminder reads today afresh
// for each of the two day numbers.
QString reminderQueryText(double pseudoDay, double day);
// The same for one day.
QString reminderQueryText(const QDate &day);
