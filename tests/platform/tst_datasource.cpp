// Tests of the data source: what a grid sees of a dataset (short dates, the
// current-row mark, titles), and that the model stays consistent for Qt's
// model checker through opening, appending, deleting and closing.
#include "adoconnection.h"
#include "adodataset.h"
#include "calendar.h"
#include "datasource.h"
#include "datesschema.h"
#include "dbgrid.h"
#include "errors.h"
#include "queries.h"
#include "testsupport.h"

#include "datetext.h"
#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace
{

const QString editorQuery = editorQueryText();
const QString mark = QStringLiteral("\u25B6");

// Three rows: 5 March 2027 (yearly, with sound 2), 6 March 2027 at 18:00,
// and a row of Nulls but its date.
class Fixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        const QString path = m_dir.filePath(QStringLiteral("Dates.mdb"));
        sqlite3 *db = nullptr;
        sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                        nullptr);
        ASSERT_EQ(sqlite3_exec(db, DatesSchema::statements, nullptr, nullptr, nullptr), SQLITE_OK);
        ASSERT_EQ(sqlite3_exec(db,
                               "INSERT INTO TabData VALUES (46451, 'first', -1, 36590, 2);"
                               "INSERT INTO TabData VALUES (46452.75, 'second', 0, 36591, 0);"
                               "INSERT INTO TabData (Date) VALUES (46453);",
                               nullptr, nullptr, nullptr),
                  SQLITE_OK);
        sqlite3_close(db);
        connection.setConnectionString(QStringLiteral("Data Source=") + path);
        connection.open();
        dataSet.setConnection(&connection);
        dataSet.setCommandText(editorQuery);
    }

    QString text(int row, int column) const
    {
        return source.data(source.index(row, column), Qt::DisplayRole).toString();
    }
    QStringList marks() const
    {
        QStringList list;
        for (int row = 0; row < source.rowCount(); ++row)
            list << source.headerData(row, Qt::Vertical, Qt::DisplayRole).toString();
        return list;
    }

    QTemporaryDir m_dir;
    AdoConnection connection;
    AdoDataSet dataSet;
    DataSource source;
};

QString shortDate(const QDate &date)
{
    return shortDateText(date);
}

TEST_F(Fixture, ShowsEachFieldAsTextWithShortDatesAndNoTimeOfDay)
{
    dataSet.open();
    source.setDataSet(&dataSet);
    ASSERT_EQ(source.rowCount(), 3);
    ASSERT_EQ(source.columnCount(), 5);
    EXPECT_EQ(text(0, 0), shortDate(QDate(2027, 3, 5)));
    EXPECT_EQ(text(1, 0), shortDate(QDate(2027, 3, 6)));
    EXPECT_EQ(text(0, 1), QStringLiteral("first"));
    EXPECT_EQ(text(0, 2), QStringLiteral("True"));
    EXPECT_EQ(text(1, 2), QStringLiteral("False"));
    EXPECT_EQ(text(0, 3), shortDate(QDate(2000, 3, 5)));
    EXPECT_EQ(text(0, 4), QStringLiteral("2"));
    for (int column = 1; column < 5; ++column)
        EXPECT_EQ(text(2, column), QString()) << "Null in column " << column;
    EXPECT_EQ(source.data(source.index(1, 1), Qt::TextAlignmentRole).toInt(),
              int(Qt::AlignLeft | Qt::AlignVCenter));
    EXPECT_EQ(source.headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("Commentary"));
}

TEST_F(Fixture, ColumnLayoutPicksFieldsAndTitlesAndSurvivesAReopen)
{
    dataSet.open();
    source.setDataSet(&dataSet);
    source.setColumn(0, QStringLiteral("Commentary"), QStringLiteral("Комментарий"),
                     Qt::AlignCenter);
    EXPECT_EQ(text(0, 0), QStringLiteral("first"));
    EXPECT_EQ(source.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("Комментарий"));
    EXPECT_EQ(source.headerData(0, Qt::Horizontal, Qt::TextAlignmentRole).toInt(),
              int(Qt::AlignCenter));
    // Hidden columns leave the model; the layout keeps its numbers.
    source.setColumnShown(3, false);
    source.setColumnShown(1, false);
    ASSERT_EQ(source.columnCount(), 3);
    EXPECT_EQ(source.modelColumn(2), 1);
    EXPECT_EQ(source.modelColumn(3), -1);
    dataSet.close();
    dataSet.open();
    EXPECT_EQ(source.columnCount(), 3);
    EXPECT_EQ(text(0, 0), QStringLiteral("first"));
    EXPECT_EQ(text(0, 1), QStringLiteral("True"));
    EXPECT_EQ(text(0, 2), QStringLiteral("2"));
    EXPECT_EQ(source.headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("Комментарий"));
    EXPECT_EQ(source.headerData(2, Qt::Horizontal, Qt::DisplayRole).toString(),
              QStringLiteral("Muzik"));
}

TEST_F(Fixture, MarksTheCurrentRowAndFollowsItsMoves)
{
    dataSet.open();
    source.setDataSet(&dataSet);
    QSignalSpy moved(&source, &DataSource::currentRowChanged);
    EXPECT_EQ(marks(), (QStringList{mark, "", ""}));
    dataSet.setRecNo(2);
    EXPECT_EQ(marks(), (QStringList{"", "", mark}));
    ASSERT_EQ(moved.count(), 1);
    EXPECT_EQ(moved.at(0).at(0).toInt(), 2);
    dataSet.deleteCurrent();
    EXPECT_EQ(marks(), (QStringList{"", mark}));
    dataSet.append();
    EXPECT_EQ(marks(), (QStringList{"", "", mark}));
}

TEST_F(Fixture, StaysAConsistentModelThroughEveryChange)
{
    QAbstractItemModelTester tester(&source, QAbstractItemModelTester::FailureReportingMode::Fatal);
    source.setDataSet(&dataSet);
    EXPECT_EQ(source.rowCount(), 0) << "a closed dataset shows no rows";
    dataSet.open();
    EXPECT_EQ(source.rowCount(), 3);
    source.setColumnShown(4, false);
    source.setColumnShown(2, false);
    source.setColumnShown(2, true);
    source.setColumn(6, QStringLiteral("Date"), QStringLiteral("Date"));
    EXPECT_EQ(source.columnCount(), 6);
    dataSet.append();
    dataSet.setFieldValue(QStringLiteral("Date"), QDate(2001, 1, 1));
    dataSet.setFieldValue(QStringLiteral("Commentary"), QStringLiteral("new"));
    EXPECT_EQ(source.rowCount(), 4);
    EXPECT_EQ(text(3, 1), QStringLiteral("new"));
    dataSet.post();
    dataSet.setRecNo(0);
    dataSet.deleteCurrent();
    dataSet.append();
    dataSet.cancel();
    EXPECT_EQ(source.rowCount(), 3);
    EXPECT_EQ(text(2, 1), QStringLiteral("new")) << "the appended row stays last";
    source.refresh();
    dataSet.open();
    EXPECT_EQ(text(0, 1), QStringLiteral("new"));
    source.setDataSet(nullptr);
    EXPECT_EQ(source.rowCount(), 0);
    source.setDataSet(&dataSet);
    dataSet.close();
    EXPECT_EQ(source.rowCount(), 0);
}

TEST_F(Fixture, ADatasetThatGoesAwayLeavesNoRows)
{
    auto *owned = new AdoDataSet;
    owned->setConnection(&connection);
    owned->setCommandText(editorQuery);
    owned->open();
    source.setDataSet(owned);
    EXPECT_EQ(source.rowCount(), 3);
    delete owned;
    EXPECT_EQ(source.rowCount(), 0);
    EXPECT_EQ(source.dataSet(), nullptr);
}

TEST_F(Fixture, GridLeavingAnAbandonedRowDoesNotPostIt)
{
    sqlite3 *db = connection.handle();
    ASSERT_EQ(sqlite3_exec(db,
                           "CREATE TRIGGER refuse BEFORE INSERT ON TabData "
                           "BEGIN SELECT RAISE(ABORT, 'refused'); END",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    dataSet.open();
    source.setDataSet(&dataSet);
    DbGrid grid;
    grid.setDataSource(&source);
    ScriptedDialogs::instance().clear();
    dataSet.append();
    dataSet.setFieldValue(QStringLiteral("Commentary"), QStringLiteral("new"));
    EXPECT_THROW(dataSet.post(), DatabaseError);
    // The grid moves its current row off the dropped one while it goes.
    dataSet.cancel();
    EXPECT_TRUE(ScriptedDialogs::instance().takeTexts().isEmpty());
    EXPECT_EQ(dataSet.state(), AdoDataSet::State::Browse);
    EXPECT_EQ(source.rowCount(), 3);
    EXPECT_EQ(grid.currentIndex().row(), dataSet.recNo());
}

} // namespace
