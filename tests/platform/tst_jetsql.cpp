// Tests of the Jet SQL translation: date literals, True and False, and the
// text inside quotes that must pass through untouched.
#include "errors.h"
#include "jetsql.h"
#include "queries.h"

#include <gtest/gtest.h>

namespace
{

struct Translation {
    const char *jet;
    const char *sqlite;
};

void PrintTo(const Translation &t, std::ostream *out)
{
    *out << '"' << t.jet << '"';
}

class JetSqlTranslation : public ::testing::TestWithParam<Translation>
{
};

TEST_P(JetSqlTranslation, Translates)
{
    EXPECT_EQ(JetSql::toSqlite(QString::fromUtf8(GetParam().jet)),
              QString::fromUtf8(GetParam().sqlite));
}

INSTANTIATE_TEST_SUITE_P(
    Literals, JetSqlTranslation,
    ::testing::Values(
        // Month first, no leading zeros; day numbers count from 30 Dec 1899.
        Translation{"#3/5/2027#", "46451"}, Translation{"#12/25/2026#", "46381"},
        Translation{"#3/5/2000#", "36590"}, Translation{"#12/30/1899#", "0"},
        Translation{"#12/29/1899#", "-1"}, Translation{"#2/29/2000#", "36585"},
        Translation{"#1/1/1800#", "-36522"}, Translation{"#03/05/2027#", "46451"},
        Translation{"# 3/5/2027 #", "46451"},
        // A yes is any number but 0; it sorts before no whichever it is.
        Translation{"x=True AND y = False", "x<>0 AND y = 0"},
        Translation{"(t.x) = True ORDER BY t.x DESC, y, (t.x)",
                    "(t.x) <> 0 ORDER BY (t.x = 0) DESC, y, ((t.x = 0))"},
        Translation{"x<>True OR x>=True ORDER BY x", "x<>-1 OR x>=-1 ORDER BY x"},
        Translation{"TRUE true tRuE FALSE", "-1 -1 -1 0"},
        // Whole words only, and never a column of that name.
        Translation{"Trueness IsFalse True_ _False", "Trueness IsFalse True_ _False"},
        Translation{"TabData.True=True", "TabData.True<>0"},
        // A minus sign before True must not make "--", a comment.
        Translation{"a=-True", "a=- -1"},
        // Quoted strings and names stay as they are.
        Translation{"'True #1/2/2003# False'", "'True #1/2/2003# False'"},
        Translation{"'it''s True'=True", "'it''s True'<>0"},
        Translation{"\"True\" [False] `True`", "\"True\" [False] `True`"},
        Translation{"'Комментарий True' OR Annually=True", "'Комментарий True' OR Annually<>0"},
        Translation{"", ""}));

TEST(JetSql, TranslatesTheRemindersQuery)
{
    EXPECT_EQ(JetSql::toSqlite(reminderQueryText(QDate(2027, 3, 5))),
              QStringLiteral("SELECT TabData.Date, TabData.Commentary, TabData.Annually, "
                             "TabData.PsevdoDate, TabData.Muzik FROM TabData WHERE "
                             "(((TabData.Annually)<>0) AND ((TabData.PsevdoDate)=36590)) OR "
                             "(((TabData.Annually)=0)) AND ((TabData.Date)=46451) ORDER BY  "
                             "(TabData.Annually = 0) DESC"));
}

TEST(JetSql, RejectsDateLiteralsThatNameNoDay)
{
    for (const char *bad : {"#2/30/2027#", "#2/29/2027#", "#13/1/2027#", "#0/1/2027#", "#3/0/2027#",
                            "#3/5#", "#3/5/2027/1#", "#abc#", "##", "#3/5/20270#", "#3/-5/2027#",
                            "x = #3/5/2027", "#1/1/0#"}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(JetSql::toSqlite(QString::fromUtf8(bad)), DatabaseError);
    }
}

TEST(JetSql, BadLiteralErrorQuotesTheLiteral)
{
    try {
        JetSql::toSqlite(QStringLiteral("Date=#2/30/2027#"));
        FAIL() << "no error";
    } catch (const DatabaseError &error) {
        EXPECT_TRUE(error.message().contains(QStringLiteral("2/30/2027"))) << error.what();
    }
}

} // namespace
