// The one date text of both programs: status bars, grids, the delete
// confirmation.
#include "datetext.h"

namespace
{

// Widens every two-digit year field of a date format to four digits;
// quoted literal text is left as it is.
QString withFourDigitYears(const QString &format)
{
    QString result;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format.at(i);
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
            result += c;
            ++i;
            continue;
        }
        if (quoted || c != QLatin1Char('y')) {
            result += c;
            ++i;
            continue;
        }
        qsizetype run = 1;
        while (i + run < format.size() && format.at(i + run) == QLatin1Char('y'))
            ++run;
        result += run == 2 ? QStringLiteral("yyyy") : format.mid(i, run);
        i += run;
    }
    return result;
}

} // namespace

QString shortDateText(const QDate &date, const QLocale &locale)
{
    if (!date.isValid())
        return {};
    if (locale.language() == QLocale::C)
        return QLocale::c().toString(date, QStringLiteral("dd.MM.yyyy"));
    return locale.toString(date, withFourDigitYears(locale.dateFormat(QLocale::ShortFormat)));
}
