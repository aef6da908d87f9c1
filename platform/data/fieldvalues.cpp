// Value conversion between SQLite's storage classes and the values the
// programs read and set, as Jet's field types would give them.
//
// Divisions: the field type of a declared column type; reading a stored
// value; storing a value set by a program.
#include "fieldvalues.h"

#include "calendar.h"
#include "errors.h"

#include <QDateTime>
#include <QLocale>
#include <climits>
#include <cmath>
#include <optional>
#include <utility>

namespace FieldValues
{

namespace
{

// An invalid QVariant or a null pointer: SQL's Null.
bool isNull(const QVariant &value)
{
    return !value.isValid() || value.typeId() == QMetaType::Nullptr;
}

// A number that names no date stays as it is stored, so that reading it as
// a date fails with a conversion error, as a text in a date field does.
QVariant dateFromNumber(double number)
{
    const std::optional<Calendar::DateAndTime> decoded = Calendar::decode(number);
    if (!decoded)
        return number;
    if (number == std::trunc(number))
        return decoded->date;
    return QDateTime(decoded->date, QTime::fromMSecsSinceStartOfDay(decoded->msecsSinceStartOfDay));
}

} // namespace

FieldType typeFromDeclaration(const char *declared)
{
    // The first word of these that the declared type holds, as SQLite finds
    // a column's affinity.
    static const std::pair<const char *, FieldType> words[] = {
        {"DATE", FieldType::Date},       {"TIME", FieldType::Date},    {"YESNO", FieldType::YesNo},
        {"BOOL", FieldType::YesNo},      {"BIT", FieldType::YesNo},    {"INT", FieldType::Integer},
        {"COUNTER", FieldType::Integer}, {"REAL", FieldType::Real},    {"FLOA", FieldType::Real},
        {"DOUB", FieldType::Real},       {"NUMERIC", FieldType::Real}, {"DECIMAL", FieldType::Real},
        {"CURRENCY", FieldType::Real},
    };
    const QString type = QString::fromUtf8(declared).toUpper();
    for (const auto &[word, fieldType] : words) {
        if (type.contains(QLatin1String(word)))
            return fieldType;
    }
    return FieldType::Text;
}

QVariant fromStorage(FieldType type, const QVariant &stored)
{
    if (isNull(stored))
        return {};
    const bool number =
        stored.typeId() == QMetaType::LongLong || stored.typeId() == QMetaType::Double;
    switch (type) {
    case FieldType::Date:
        return number ? dateFromNumber(stored.toDouble()) : stored;
    case FieldType::YesNo:
        return number ? QVariant(stored.toDouble() != 0) : stored;
    case FieldType::Integer:
        if (!number)
            return stored;
        // A number that a whole number cannot hold (out of range, an infinity)
        // reads as its text with an exponent, so that reading it as a whole
        // number fails with a conversion error, as a text in the field does:
        // Qt would round such a number undefinedly, and would read an integer
        // text beyond the range wrapped round.
        if (!(stored.toDouble() >= INT_MIN && stored.toDouble() <= INT_MAX))
            return QString::number(stored.toDouble(), 'e', QLocale::FloatingPointShortest);
        return stored.typeId() == QMetaType::LongLong ? QVariant(stored.toInt()) : stored;
    case FieldType::Real:
        return number ? QVariant(stored.toDouble()) : stored;
    case FieldType::Text:
        return number ? QVariant(stored.toString()) : stored;
    }
    return stored;
}

QVariant toStorage(FieldType type, const QVariant &value, const QString &fieldName)
{
    if (isNull(value))
        return {};
    const int kind = value.typeId();
    bool ok = kind == QMetaType::Int || kind == QMetaType::LongLong || kind == QMetaType::Double;
    QVariant stored;
    switch (type) {
    case FieldType::Date:
        if (kind == QMetaType::QDate) {
            ok = value.toDate().isValid();
            stored = Calendar::fromDate(value.toDate());
        } else if (ok) {
            stored = value.toDouble();
        }
        break;
    case FieldType::YesNo:
        ok = ok || kind == QMetaType::Bool;
        stored = qlonglong(value.toDouble() != 0 ? -1 : 0);
        break;
    case FieldType::Integer:
        // A real within the range of qRound64, whose result is undefined beyond it.
        ok = ok && (kind != QMetaType::Double || std::abs(value.toDouble()) < 9.2e18);
        if (ok)
            stored = kind == QMetaType::Double ? qRound64(value.toDouble()) : value.toLongLong();
        break;
    case FieldType::Real:
        stored = value.toDouble();
        break;
    case FieldType::Text:
        ok = value.canConvert<QString>();
        stored = value.toString();
        break;
    }
    // The type names in the order of FieldType.
    static const char *const names[] = {"дата", "да/нет", "текст", "целое число", "число"};
    if (!ok)
        throw DatabaseError(
            QStringLiteral("Значение «%1» нельзя записать в поле «%3» (тип: %2)")
                .arg(value.toString(), QString::fromUtf8(names[int(type)]), fieldName));
    return stored;
}

} // namespace FieldValues
