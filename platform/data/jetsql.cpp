// Translation of Jet SQL into SQLite: date literals, True and False, and the
// order of yes/no columns. Quoted strings and bracketed or quoted names pass
// through untouched, so a comment that happens to say "True" or "#1/2/2003#"
// is never rewritten.
#include "jetsql.h"

#include "calendar.h"
#include "errors.h"

#include <QStringList>

namespace JetSql
{

namespace
{

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

// The body of a #m/d/yyyy# literal as a day number; the year is taken as
// written (no two-digit year window: the programs always write the full year).
QString dateNumber(const QString &body)
{
    const QDate date = QDate::fromString(body.trimmed(), QStringLiteral("M/d/yyyy"));
    if (!date.isValid())
        throw DatabaseError(
            QStringLiteral("Синтаксическая ошибка в дате в выражении запроса «#%1#»").arg(body));
    return QString::number(qint64(Calendar::fromDate(date)));
}

// The name that ends `text`, dots included: "TabData.Annually" of
// "(((TabData.Annually)".
QString trailingName(QStringView text)
{
    while (!text.isEmpty() && (text.back() == QLatin1Char(')') || text.back().isSpace()))
        text.chop(1);
    qsizetype start = text.size();
    while (start > 0 && (isWordChar(text[start - 1]) || text[start - 1] == QLatin1Char('.')))
        --start;
    return text.mid(start).toString();
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

// Where `out` ends in a plain "=" (blanks after it allowed), the index of
// that "=", else -1.
qsizetype equalsAtEnd(const QString &out)
{
    qsizetype end = out.size();
    while (end > 0 && out[end - 1] == QLatin1Char(' '))
        --end;
    if (end == 0 || out[end - 1] != QLatin1Char('='))
        return -1;
    if (end > 1 && QStringView(u"<>!=").contains(out[end - 2]))
        return -1;
    return end - 1;
}

} // namespace

QString toSqlite(const QString &jetSql)
{
    QString out;
    out.reserve(jetSql.size());
    // The names compared with True or False: yes/no columns, which an ORDER
    // BY sorts by yes and no alone.
    QStringList yesNoNames;
    bool inOrderBy = false;
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
                throw DatabaseError(
                    QStringLiteral("Синтаксическая ошибка в дате в выражении запроса «%1»")
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
            const bool yes =
                !qualified && word.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
            const bool no =
                !qualified && word.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0;
            const qsizetype equals = yes || no ? equalsAtEnd(out) : -1;
            if (equals >= 0) {
                const QString name = trailingName(QStringView(out).left(equals));
                if (!name.isEmpty())
                    yesNoNames << name;
            }
            if (yes && equals >= 0) {
                // Jet stores yes as -1, other tools write 1: any number but
                // 0 is a yes, as the editor reads it.
                out.replace(equals, 1, QLatin1String("<>"));
                out += QLatin1String("0");
            } else if (yes) {
                // After a minus sign, "-1" would start an SQL comment.
                out += out.endsWith(QLatin1Char('-')) ? QLatin1String(" -1") : QLatin1String("-1");
            } else if (no) {
                out += QLatin1String("0");
            } else {
                out += word;
                inOrderBy = inOrderBy || (!qualified && word.compare(QLatin1String("ORDER"),
                                                                     Qt::CaseInsensitive) == 0);
            }
            i = end;
            // Yes sorts before no, as -1 before 0, whichever number a yes is.
            const bool nameEnds = end == jetSql.size() || (jetSql[end] != QLatin1Char('.') &&
                                                           jetSql[end] != QLatin1Char('('));
            if (inOrderBy && nameEnds) {
                const QString name = trailingName(out);
                if (yesNoNames.contains(name, Qt::CaseInsensitive) && out.endsWith(name)) {
                    out.chop(name.size());
                    out += QStringLiteral("(%1 = 0)").arg(name);
                }
            }
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

} // namespace JetSql
