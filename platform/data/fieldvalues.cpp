// Value conversion between SQLite's storage classes and the values the
// programs read and set, as Jet's field types would give them.
//
// Divisions: the field type of a declared column type; the helpers of dates
// and numbers; reading a stored value; storing a value set by a program.
#include "fieldvalues.h"

#include "calendar.h"
#include "errors.h"

#include <QDateTime>
#include <QLocale>
#include <climits>
#include <cmath>
#include <optional>
#include <set>

namespace FieldValues
{

namespace
{

constexpr double msecsPerDay = 86400000.0;

bool isNumber(const QVariant &value)
{
    static const std::set<int> numbers{QMetaType::Int,       QMetaType::UInt,   QMetaType::LongLong,
                                       QMetaType::ULongLong, QMetaType::Long,   QMetaType::ULong,
                                       QMetaType::Short,     QMetaType::UShort, QMetaType::Double,
                                       QMetaType::Float};
    return numbers.count(value.typeId()) != 0;
}

// A date/time number's time of day counts away from the day, also for days
// before 30 December 1899: -1.25 is 29 December 1899, 6 o'clock.
double dateTimeNumber(const QDateTime &dateTime)
{
    const double day = Calendar::fromDate(dateTime.date());
    const double fraction = dateTime.time().msecsSinceStartOfDay() / msecsPerDay;
    return day < 0 ? day - fraction : day + fraction;
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

// A stored number that a whole number cannot hold (out of range, an
// infinity) reads as its text with an exponent, so that reading it as a
// whole number fails with a conversion error, as a text in the field does:
// Qt would round such a number undefinedly, and would read an integer text
// beyond the range wrapped round.
QVariant beyondInteger(double number)
{
    return QString::number(number, 'e', QLocale::FloatingPointShortest);
}

QString typeName(FieldType type)
{
    // In the order of FieldType.
    static const char *const names[] = {"дата", "да/нет", "текст", "целое число", "число"};
    return QString::fromUtf8(names[int(type)]);
}

} // namespace

FieldType typeFromDeclaration(const char *declared)
{
    const QString type = QString::fromUtf8(declared).toUpper();
    if (type.contains(QLatin1String("DATE")) || type.contains(QLatin1String("TIME")))
        return FieldType::Date;
    if (type.contains(QLatin1String("YESNO")) || type.contains(QLatin1String("BOOL")) ||
        type == QLatin1String("BIT"))
        return FieldType::YesNo;
    if (type.contains(QLatin1String("INT")) || type == QLatin1String("COUNTER"))
        return FieldType::Integer;
    if (type.contains(QLatin1String("REAL")) || type.contains(QLatin1String("FLOA")) ||
        type.contains(QLatin1String("DOUB")) || type.contains(QLatin1String("NUMERIC")) ||
        type.contains(QLatin1String("DECIMAL")) || type.contains(QLatin1String("CURRENCY")))
        return FieldType::Real;
    return FieldType::Text;
}

bool isNull(const QVariant &value)
{
    return !value.isValid() || value.typeId() == QMetaType::Nullptr;
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
        if (stored.typeId() == QMetaType::LongLong) {
            const qlonglong value = stored.toLongLong();
            return value >= INT_MIN && value <= INT_MAX ? QVariant(int(value))
                                                        : beyondInteger(double(value));
        }
        if (stored.typeId() == QMetaType::Double) {
            const double value = stored.toDouble();
            return value >= INT_MIN && value <= INT_MAX ? stored : beyondInteger(value);
        }
        return stored;
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
    bool ok = true;
    QVariant stored;
    switch (type) {
    case FieldType::Date:
        if (value.typeId() == QMetaType::QDate) {
            ok = value.toDate().isValid();
            stored = Calendar::fromDate(value.toDate());
        } else if (value.typeId() == QMetaType::QDateTime) {
            ok = value.toDateTime().isValid();
            stored = dateTimeNumber(value.toDateTime());
        } else if (isNumber(value)) {
            stored = value.toDouble(&ok);
        } else {
            ok = false;
        }
        break;
    case FieldType::YesNo:
        if (value.typeId() == QMetaType::Bool || isNumber(value))
            stored = qlonglong(value.toDouble(&ok) != 0 ? -1 : 0);
        else
            ok = false;
        break;
    case FieldType::Integer:
        if (value.typeId() == QMetaType::Bool) {
            stored = qlonglong(value.toBool() ? -1 : 0);
        } else if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float) {
            // Within the range of qRound64, whose result is undefined beyond it.
            const double number = value.toDouble(&ok);
            ok = ok && number > -9.2e18 && number < 9.2e18;
            if (ok)
                stored = qRound64(number);
        } else if (isNumber(value) || value.typeId() == QMetaType::QString) {
            stored = value.toLongLong(&ok);
            // A number read as its text beyond the whole numbers goes back
            // as it was stored, so that the rest of its row can be posted.
            if (!ok && value.typeId() == QMetaType::QString) {
                const double number = value.toString().toDouble(&ok);
                ok = ok && beyondInteger(number) == value;
                stored = number;
            }
        } else {
            ok = false;
        }
        break;
    case FieldType::Real:
        if (isNumber(value) || value.typeId() == QMetaType::QString)
            stored = value.toDouble(&ok);
        else
            ok = false;
        break;
    case FieldType::Text:
        if (value.typeId() == QMetaType::QByteArray)
            stored = value;
        else if (value.canConvert<QString>())
            stored = value.toString();
        else
            ok = false;
        break;
    }
    if (!ok)
        throw DatabaseError(QStringLiteral("Значение «%1» нельзя записать в поле «%3» (тип: %2)")
                                .arg(value.toString(), typeName(type), fieldName));
    return stored;
}

} // namespace FieldValues
