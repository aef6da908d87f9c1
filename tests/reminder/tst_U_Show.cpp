// Tests of U_Show: the Jet date literals, today's query against a real
// database in a temporary Program folder, the grid's layout, and the
// reminder window's creation handler.
#include "U_Show.h"

#include "adoconnection.h"
#include "adodataset.h"
#include "calendar.h"
#include "controls.h"
#include "datasource.h"
#include "dbgrid.h"
#include "errors.h"
#include "testsupport.h"

#include <QFile>
#include <QHeaderView>
#include <QLocale>
#include <QSet>
#include <QTimer>
#include <gtest/gtest.h>

namespace
{

struct DateRow {
    QVariant date; // QDate, or a day number with a time of day
    QString commentary;
    bool annually;
    QDate pseudo = {}; // when invalid, the one the editor stores
};

// Appends rows as the editor stores them: the Pseudo-date is the date's
// month and day in the year 2000.
void addRows(const QString &folder, const std::vector<DateRow> &rows)
{
    AdoConnection connection;
    connection.setConnectionString(QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") +
                                   folder +
                                   QStringLiteral("Dates.mdb;Persist Security Info=False"));
    connection.open();
    AdoDataSet set;
    set.setConnection(&connection);
    set.setCommandText(
        QStringLiteral("SELECT Date, Commentary, Annually, PsevdoDate, Muzik FROM TabData"));
    set.open();
    for (const DateRow &row : rows) {
        const QDate date = row.date.typeId() == QMetaType::QDate
                               ? row.date.toDate()
                               : Calendar::toDate(row.date.toDouble());
        set.append();
        set.setFieldValue(QStringLiteral("Date"), row.date);
        set.setFieldValue(QStringLiteral("Commentary"), row.commentary);
        set.setFieldValue(QStringLiteral("Annually"), row.annually);
        set.setFieldValue(QStringLiteral("PsevdoDate"),
                          row.pseudo.isValid() ? row.pseudo
                                               : QDate(2000, date.month(), date.day()));
        set.setFieldValue(QStringLiteral("Muzik"), 1);
        set.post();
    }
    set.close();
    connection.close();
}

// The commentaries of the rows the dataset holds, in order.
QStringList listedCommentaries()
{
    QStringList listed;
    AdoDataSet *set = FrmTolvin->ADODataSet;
    const int field = set->fieldIndex(QStringLiteral("Commentary"));
    for (int row = 0; row < set->recordCount(); ++row)
        listed << set->value(row, field).toString();
    return listed;
}

class UShowTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        if (!FrmTolvin)
            new TFrmTolvin;
    }

    void SetUp() override
    {
        ScriptedDialogs::instance().clear();
        ProgramPath = folder.path();
        folder.addEmptyDatabase();
    }

    void TearDown() override
    {
        CloseDatabase();
        Calendar::setToday(QDate());
        EXPECT_TRUE(ScriptedDialogs::instance().take().empty());
    }

    TemporaryProgramFolder folder;
};

TEST(SqlLiterals, MonthFirstWithoutLeadingZeros)
{
    struct Case {
        QDate date;
        const char *literal;
        const char *pseudo;
    };
    const Case cases[] = {
        {QDate(2027, 3, 5), "#3/5/2027#", "#3/5/2000#"},
        {QDate(2026, 12, 25), "#12/25/2026#", "#12/25/2000#"},
        {QDate(2024, 2, 29), "#2/29/2024#", "#2/29/2000#"},
        {QDate(1999, 10, 1), "#10/1/1999#", "#10/1/2000#"},
        {QDate(1900, 1, 9), "#1/9/1900#", "#1/9/2000#"},
    };
    // A locale that writes the day first and groups digits must not leak in.
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    for (const Case &c : cases) {
        const double day = Calendar::fromDate(c.date);
        EXPECT_EQ(SqlDateLiteral(day), QLatin1String(c.literal));
        EXPECT_EQ(SqlPseudoDateLiteral(day), QLatin1String(c.pseudo));
    }
    QLocale::setDefault(before);
}

TEST_F(UShowTest, CommandTextForFifthOfMarch2027)
{
    Calendar::setToday(QDate(2027, 3, 5));
    OpenTodayEvents();
    const QString expected = QStringLiteral(
        "SELECT TabData.Date, TabData.Commentary, TabData.Annually, TabData.PsevdoDate, "
        "TabData.Muzik FROM TabData WHERE (((TabData.Annually)=True) AND "
        "((TabData.PsevdoDate)=#3/5/2000#)) OR (((TabData.Annually)=False)) AND "
        "((TabData.Date)=#3/5/2027#) ORDER BY  TabData.Annually DESC");
    EXPECT_EQ(expected.size(), 273);
    EXPECT_EQ(FrmTolvin->ADODataSet->commandText(), expected);
    EXPECT_EQ(FrmTolvin->ADOConnect.connectionString(),
              QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=") + folder.path() +
                  QStringLiteral("dates.mdb;Persist Security Info=False"));
    EXPECT_FALSE(FrmTolvin->ADOConnect.loginPrompt());
}

TEST_F(UShowTest, ListsTodaysOneTimeRowsThenYearlyRows)
{
    addRows(folder.path(), {
                               {QDate(1990, 3, 5), QStringLiteral("yearly 1990"), true},
                               {QDate(2027, 3, 5), QStringLiteral("once today"), false},
                               {QDate(2030, 3, 5), QStringLiteral("yearly 2030"), true},
                               {QDate(2026, 3, 5), QStringLiteral("once last year"), false},
                               {QDate(2027, 3, 6), QStringLiteral("once tomorrow"), false},
                               {QDate(1990, 3, 4), QStringLiteral("yearly yesterday"), true},
                               // Noon of today is not the start of the day.
                               {Calendar::fromDate(QDate(2027, 3, 5)) + 0.5,
                                QStringLiteral("once at noon"), false},
                               {QDate(2027, 3, 5), QStringLiteral("быть ещё раз сегодня"), false},
                           });
    Calendar::setToday(QDate(2027, 3, 5));
    OpenTodayEvents();

    const QStringList listed = listedCommentaries();
    ASSERT_EQ(listed.size(), 4) << listed.join(QLatin1String(", ")).toStdString();
    EXPECT_EQ(
        QSet<QString>(listed.begin(), listed.begin() + 2),
        (QSet<QString>{QStringLiteral("once today"), QStringLiteral("быть ещё раз сегодня")}));
    EXPECT_EQ(QSet<QString>(listed.begin() + 2, listed.end()),
              (QSet<QString>{QStringLiteral("yearly 1990"), QStringLiteral("yearly 2030")}));
    EXPECT_EQ(FrmTolvin->ADODataSet->recNo(), 0);
    EXPECT_EQ(FrmTolvin->DBGrid->model()->rowCount(), 4);
}

TEST_F(UShowTest, YearlyRowIsNeverFoundByItsDateNorOneTimeRowByItsPseudoDate)
{
    // Rows whose two dates disagree, so that each can only be found by the
    // wrong one of them.
    addRows(
        folder.path(),
        {{QDate(2027, 3, 5), QStringLiteral("yearly by date"), true, QDate(2000, 3, 6)},
         {QDate(2026, 3, 6), QStringLiteral("once by pseudo-date"), false, QDate(2000, 3, 5)},
         {QDate(2027, 3, 6), QStringLiteral("yearly by pseudo-date"), true, QDate(2000, 3, 5)}});
    Calendar::setToday(QDate(2027, 3, 5));
    OpenTodayEvents();
    EXPECT_EQ(listedCommentaries(), QStringList{QStringLiteral("yearly by pseudo-date")});
}

TEST_F(UShowTest, TwentyNinthOfFebruaryOnlyInLeapYears)
{
    addRows(folder.path(), {{QDate(1996, 2, 29), QStringLiteral("leap day"), true}});
    struct Case {
        QDate today;
        bool listed;
    };
    const Case cases[] = {
        {QDate(2028, 2, 29), true}, {QDate(2024, 2, 29), true},  {QDate(2027, 2, 28), false},
        {QDate(2027, 3, 1), false}, {QDate(2028, 2, 28), false}, {QDate(2028, 3, 1), false},
    };
    for (const Case &c : cases) {
        Calendar::setToday(c.today);
        // Each run starts from what the one before left open.
        OpenTodayEvents();
        EXPECT_EQ(!FrmTolvin->ADODataSet->isEmpty(), c.listed)
            << c.today.toString(Qt::ISODate).toStdString();
    }
}

TEST_F(UShowTest, EmptyDayOpensEmptyDatasetWithGridLaidOut)
{
    addRows(folder.path(), {{QDate(2027, 3, 6), QStringLiteral("tomorrow"), false}});
    Calendar::setToday(QDate(2027, 3, 5));
    OpenTodayEvents();

    AdoDataSet *set = FrmTolvin->ADODataSet;
    EXPECT_TRUE(set->active());
    EXPECT_TRUE(set->isEmpty());
    EXPECT_TRUE(FrmTolvin->ADOConnect.connected());
    EXPECT_EQ(set->fieldNames(),
              (QStringList{"Date", "Commentary", "Annually", "PsevdoDate", "Muzik"}));
    DbGrid *grid = FrmTolvin->DBGrid;
    EXPECT_EQ(grid->dataSource(), FrmTolvin->DataSource);
    EXPECT_EQ(grid->model()->headerData(0, Qt::Horizontal).toString(), QStringLiteral("Дата"));
    EXPECT_EQ(grid->model()->headerData(1, Qt::Horizontal).toString(),
              QStringLiteral("Комментарий"));
    EXPECT_EQ(grid->columnWidth(0), 80);
    EXPECT_EQ(grid->columnWidth(1), 718);
    for (int column : {0, 1})
        EXPECT_FALSE(grid->isColumnHidden(column));
    for (int column : {2, 3, 4})
        EXPECT_TRUE(grid->isColumnHidden(column));
}

TEST_F(UShowTest, DateColumnShowsShortDateAndHiddenFieldsStayReadable)
{
    addRows(folder.path(), {{QDate(2027, 3, 5), QStringLiteral("once"), false}});
    Calendar::setToday(QDate(2027, 3, 5));
    OpenTodayEvents();
    QAbstractItemModel *model = FrmTolvin->DBGrid->model();
    EXPECT_EQ(model->data(model->index(0, 0)).toString(),
              QLocale::system().toString(QDate(2027, 3, 5), QLocale::ShortFormat));
    EXPECT_EQ(FrmTolvin->ADODataSet->fieldValue(QStringLiteral("Muzik")).toInt(), 1);
}

TEST_F(UShowTest, CloseDatabaseDetachesGridAndCanBeRepeated)
{
    addRows(folder.path(), {{QDate(2027, 3, 5), QStringLiteral("once"), false}});
    Calendar::setToday(QDate(2027, 3, 5));
    OpenTodayEvents();
    ASSERT_EQ(FrmTolvin->DBGrid->model()->rowCount(), 1);

    for (int call = 0; call < 2; ++call) {
        CloseDatabase();
        EXPECT_EQ(FrmTolvin->DataSource->dataSet(), nullptr);
        EXPECT_FALSE(FrmTolvin->ADOConnect.connected());
        EXPECT_EQ(FrmTolvin->DBGrid->model()->rowCount(), 0);
    }
}

TEST_F(UShowTest, MissingDatabaseRaisesDatabaseError)
{
    QFile::remove(folder.file(QStringLiteral("Dates.mdb")));
    Calendar::setToday(QDate(2027, 3, 5));
    EXPECT_THROW(OpenTodayEvents(), DatabaseError);
    EXPECT_FALSE(FrmTolvin->ADOConnect.connected());
    // Nothing was created in its place.
    EXPECT_FALSE(QFile::exists(folder.file(QStringLiteral("Dates.mdb"))));
    EXPECT_FALSE(QFile::exists(folder.file(QStringLiteral("dates.mdb"))));
}

TEST_F(UShowTest, CreationSetsOuterWidthAndTodayPanel)
{
    Calendar::setToday(QDate(2027, 3, 5));
    FrmTolvin->FormCreate();
    EXPECT_EQ(FrmTolvin->width() + Form::frameWidth, 835);
    EXPECT_EQ(FrmTolvin->height(), 513);
    EXPECT_EQ(FrmTolvin->StatusBar1->panelText(4),
              QStringLiteral("Сегодня: ") +
                  QLocale::system().toString(QDate(2027, 3, 5), QLocale::ShortFormat) +
                  QStringLiteral("     "));
    EXPECT_EQ(FrmTolvin->StatusBar1->geometry(), QRect(0, 488, FrmTolvin->width(), 25));
    EXPECT_FALSE(FrmTolvin->isVisible());
    EXPECT_FALSE(FrmTolvin->TmrPlayAll->isActive());
    EXPECT_EQ(FrmTolvin->TmrPlayAll->interval(), 1000);
}

} // namespace
