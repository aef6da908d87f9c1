// Translation of the Jet SQL that the programs speak into SQLite's dialect.
#pragma once

#include <QString>

namespace JetSql
{

// Outside quoted strings: #m/d/yyyy# date literals become their Calendar
// date numbers, True becomes -1 and False 0. Raises DatabaseError for a date
// literal that names no day.
QString toSqlite(const QString &jetSql);

} // namespace JetSql
