// Value conversion of the data layer: what SQLite stores, in its storage
// classes, against what the programs read and set through a field's type.
#pragma once

#include "adodataset.h"

#include <QVariant>

namespace FieldValues
{

using FieldType = AdoDataSet::FieldType;

// The field type of a column's declared type ("DATETIME", "YESNO", ...);
// Text for none, as an expression has.
FieldType typeFromDeclaration(const char *declared);

// From a value as SQLite holds it to the value the programs read: a date
// number as QDate (QDateTime with a time of day), a yes/no number as bool.
// A value the type cannot read stays as stored, so that reading it as that
// type fails with a conversion error.
QVariant fromStorage(FieldType type, const QVariant &stored);

// From a value a program sets to the value SQLite stores: dates as day
// numbers, yes/no as -1/0. Raises DatabaseError, naming `fieldName`, for a
// value the field's type cannot take.
QVariant toStorage(FieldType type, const QVariant &value, const QString &fieldName);

} // namespace FieldValues
