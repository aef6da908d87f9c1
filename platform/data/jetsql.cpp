// Translation of Jet SQL into SQLite: date literals, True and False. Quoted
// strings and bracketed or quoted names pass through untouched, so a comment
// that happens to say "True" or "#1/2/2003#" is never rewritten.
#include "jetsql.h"

#include "calendar.h"
#include "errors.h"

namespace JetSql
{

namespace
{

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

// A whole number of 1 to `maxDigits` decimal digits, nothing else.
bool parseNumber(const QString &text, int maxDigits, int &value)
{
    if (text.isEmpty() || text.size() > maxDigits)
        return false;
    value = 0;
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
        value = value * 10 + (c.unicode() - '0');
    }
    return true;
}

// The body of a #m/d/yyyy# literal as a day number; the year is taken as
// written (no two-digit year window: the programs always write the full year).
QString dateNumber(const QString &body)
{
    const QStringList parts = body.trimmed().split(QLatin1Char('/'));
    int month = 0, day = 0, year = 0;
    std::optional<double> number;
    if (parts.size() == 3 && parseNumber(parts[0], 2, month) && parseNumber(parts[1], 2, day) &&
        parseNumber(parts[2], 4, year))
        number = Calendar::encode(year, month, day);
    if (!number)
        throw DatabaseError(
            QStringLiteral("Syntax error in date in query expression '#%1#'").arg(body));
    return QString::number(qint64(*number));
}

// The index just past a quoted run that opens at `start` with `close`
// as its closing character; a doubled closing character stays inside.
qsizetype skipQuoted(const QString &text, qsizetype start, QChar close)
{
    qsizetype i = start + 1;
    while (i < text.size()) {
        if (text[i] == close) {
            if (close != QLatin1Char(']') && i + 1 < text.size() && text[i + 1] == close) {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return text.size();
}

} // namespace

QString toSqlite(const QString &jetSql)
{
    QString out;
    out.reserve(jetSql.size());
    qsizetype i = 0;
    while (i < jetSql.size()) {
        const QChar c = jetSql[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"') || c == QLatin1Char('[') ||
            c == QLatin1Char('`')) {
            const QChar close = c == QLatin1Char('[') ? QLatin1Char(']') : c;
            const qsizetype end = skipQuoted(jetSql, i, close);
            out += QStringView(jetSql).mid(i, end - i);
            i = end;
        } else if (c == QLatin1Char('#')) {
            const qsizetype end = jetSql.indexOf(QLatin1Char('#'), i + 1);
            if (end < 0)
                throw DatabaseError(QStringLiteral("Syntax error in date in query expression '%1'")
                                        .arg(jetSql.mid(i)));
            out += dateNumber(jetSql.mid(i + 1, end - i - 1));
            i = end + 1;
        } else if (isWordChar(c)) {
            qsizetype end = i;
            while (end < jetSql.size() && isWordChar(jetSql[end]))
                ++end;
            const QStringView word = QStringView(jetSql).mid(i, end - i);
            // A name after "Table." is a column, never a constant.
            const bool qualified = i > 0 && jetSql[i - 1] == QLatin1Char('.');
            if (!qualified && word.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
                // After a minus sign, "-1" would start an SQL comment.
                out += out.endsWith(QLatin1Char('-')) ? QLatin1String(" -1") : QLatin1String("-1");
            else if (!qualified && word.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
                out += QLatin1String("0");
            else
                out += word;
            i = end;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

} // namespace JetSql
