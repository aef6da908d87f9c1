// Translation of the Jet SQL that the programs speak into SQLite's dialect.
#pragma once

#include <QString>

namespace JetSql
{

// Outside quoted strings: #m/d/yyyy# date literals become their Calendar
// date numbers, True becomes -1 and False 0. A yes stored by another program
// may be 1: "= True" finds -1 and 1, and an ORDER BY of a name compared with
// True or False sorts yes before no (as Jet's -1 before 0) whichever number
// a yes is. Raises DatabaseError for a date literal that names no day.
QString toSqlite(const QString &jetSql);

} // namespace JetSql
