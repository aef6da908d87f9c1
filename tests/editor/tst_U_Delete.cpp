// The delete confirmation over a real main window and a "Dates.mdb" in a
// temporary Program folder; every deletion is checked in the database.
#include "U_Delete.h"
#include "U_Karvel.h"
#include "adodataset.h"
#include "calendar.h"
#include "dbgrid.h"
#include "editortest.h"

#include "datetext.h"
#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <ostream>

void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace
{

const QString yearlyText = QStringLiteral("Напомнить об этой дате ежегодно");
const QString onceText = QStringLiteral("Напомнить об этой дате лишь в указанный год");

struct Row {
    std::optional<double> date;
    std::optional<QString> comment;
    std::optional<int> annually;
};

QString shortDate(const QDate &date)
{
    return shortDateText(date);
}

class DeleteDialogTest : public EditorTest
{
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        folder.addEmptyDatabase();
    }

    void start() { startMainWindowWith<TFrmDelete>(); }

    // Selects a row of the main grid, then presses "Удалить".
    void openFor(int row)
    {
        FrmKarvel->DBGrid->selectRow(row);
        ASSERT_EQ(FrmKarvel->ADODataSet->recNo(), row);
        FrmKarvel->BitDelete->click();
        expectShownModally(QStringLiteral("FrmDelete"), FrmDelete);
    }

    void addRows(const std::vector<Row> &rows)
    {
        const auto orNull = [](const auto &value) { return value ? QVariant(*value) : QVariant(); };
        for (const Row &row : rows)
            sql(QStringLiteral("INSERT INTO TabData (Date, Commentary, Annually, PsevdoDate, "
                               "Muzik) VALUES (?, ?, ?, ?, 1)"),
                {orNull(row.date), orNull(row.comment), orNull(row.annually), orNull(row.date)});
    }

    // The comments left in the table, in date order.
    QStringList commentsInDatabase()
    {
        QStringList comments;
        sql(QStringLiteral("SELECT Commentary FROM TabData ORDER BY Date"), {},
            [&](sqlite3_stmt *stmt) {
                comments << QString::fromUtf8(
                    reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)));
            });
        return comments;
    }

    void expectButtonsEnabled(bool enabled)
    {
        EXPECT_EQ(FrmKarvel->BitEdit->isEnabled(), enabled);
        EXPECT_EQ(FrmKarvel->BitDelete->isEnabled(), enabled);
    }

    const double day2020 = Calendar::fromDate(QDate(2020, 1, 15));
    const double day2021 = Calendar::fromDate(QDate(2021, 6, 30));
    const double day2022 = Calendar::fromDate(QDate(2022, 11, 2));
};

TEST_F(DeleteDialogTest, LayoutAndNoDefaultButton)
{
    start();
    EXPECT_EQ(FrmDelete->windowTitle(), QStringLiteral("Внимание!"));
    EXPECT_EQ(FrmDelete->size(), QSize(525, 215));
    EXPECT_EQ(FrmDelete->minimumSize(), FrmDelete->maximumSize());
    EXPECT_EQ(FrmDelete->Label1->text(),
              QStringLiteral("Вы действительно желаете удалить нижеуказанную запись?"));
    EXPECT_TRUE(FrmDelete->Label1->font().bold());
    EXPECT_EQ(FrmDelete->Label1->palette().color(QPalette::WindowText), QColor(Qt::red));
    EXPECT_TRUE(FrmDelete->Label1->wordWrap());
    EXPECT_EQ(FrmDelete->CmdYes->text(), QStringLiteral("Да"));
    EXPECT_EQ(FrmDelete->CmdNo->text(), QStringLiteral("Нет"));
    EXPECT_EQ(FrmDelete->CmdYes->geometry(), QRect(78, 168, 165, 33));
    EXPECT_EQ(FrmDelete->CmdNo->geometry(), QRect(288, 168, 165, 33));
    EXPECT_TRUE(FrmDelete->TxtComment->isReadOnly());
    for (QPushButton *button : {FrmDelete->CmdYes, FrmDelete->CmdNo}) {
        EXPECT_FALSE(button->isDefault());
        EXPECT_FALSE(button->autoDefault());
    }
    // Tab goes from the comment to "Да", then to "Нет".
    EXPECT_EQ(FrmDelete->TxtComment->nextInFocusChain(), FrmDelete->CmdYes);
    EXPECT_EQ(FrmDelete->CmdYes->nextInFocusChain(), FrmDelete->CmdNo);
}

TEST_F(DeleteDialogTest, YesDeletesExactlyTheShownRow)
{
    addRows({{day2021, QStringLiteral("второй"), 0},
             {day2020, QStringLiteral("первый"), -1},
             {day2022, QStringLiteral("третий"), -1}});
    start();
    openFor(1);

    EXPECT_EQ(FrmDelete->PnlDate->text(), shortDate(QDate(2021, 6, 30)));
    EXPECT_EQ(FrmDelete->PnlAnnually->text(), onceText);
    EXPECT_EQ(FrmDelete->TxtComment->text(), QStringLiteral("второй"));
    EXPECT_EQ(FrmDelete->focusWidget(), FrmDelete->TxtComment);
    EXPECT_EQ(FrmDelete->TxtComment->selectionStart(), 0);
    EXPECT_EQ(FrmDelete->TxtComment->selectedText(), QStringLiteral("второй"));

    QTest::mouseClick(FrmDelete->CmdYes, Qt::LeftButton);
    EXPECT_FALSE(FrmDelete->isVisible());
    EXPECT_EQ(commentsInDatabase(),
              QStringList({QStringLiteral("первый"), QStringLiteral("третий")}));
    EXPECT_EQ(FrmKarvel->DBGrid->model()->rowCount(), 2);
    expectButtonsEnabled(true);
}

TEST_F(DeleteDialogTest, DeletingTheOnlyRowDisablesEditAndDelete)
{
    addRows({{day2020, QStringLiteral("единственный"), -1}});
    start();
    expectButtonsEnabled(true);
    openFor(0);
    FrmDelete->CmdYes->click();
    EXPECT_TRUE(commentsInDatabase().isEmpty());
    EXPECT_EQ(FrmKarvel->DBGrid->model()->rowCount(), 0);
    EXPECT_FALSE(FrmDelete->isVisible());
    expectButtonsEnabled(false);
}

TEST_F(DeleteDialogTest, NoEscAndCloseBoxChangeNothing)
{
    const std::pair<const char *, std::function<void()>> ways[] = {
        {"Нет", [] { QTest::mouseClick(FrmDelete->CmdNo, Qt::LeftButton); }},
        {"Esc", [] { QTest::keyClick(FrmDelete->TxtComment, Qt::Key_Escape); }},
        {"Enter on Нет",
         [] {
             FrmDelete->CmdNo->setFocus();
             QTest::keyClick(FrmDelete->CmdNo, Qt::Key_Return);
         }},
        {"close box", [] { FrmDelete->close(); }},
    };
    addRows({{day2020, QStringLiteral("a"), -1}, {day2021, QStringLiteral("b"), 0}});
    start();
    for (const auto &[name, leave] : ways) {
        SCOPED_TRACE(name);
        openFor(1);
        leave();
        EXPECT_FALSE(FrmDelete->isVisible());
        EXPECT_EQ(commentsInDatabase(), QStringList({QStringLiteral("a"), QStringLiteral("b")}));
        EXPECT_EQ(FrmKarvel->DBGrid->model()->rowCount(), 2);
        EXPECT_EQ(FrmKarvel->ADODataSet->recNo(), 1);
        expectButtonsEnabled(true);
    }
}

TEST_F(DeleteDialogTest, EnterInTheCommentDeletesNothing)
{
    addRows({{day2020, QStringLiteral("keep"), -1}});
    start();
    openFor(0);
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        QTest::keyClick(FrmDelete->TxtComment, key);
        EXPECT_TRUE(FrmDelete->isVisible());
    }
    // Typing does not change the comment either.
    typeText(FrmDelete->TxtComment, QStringLiteral("x"));
    QTest::keyClick(FrmDelete->TxtComment, Qt::Key_Backspace);
    EXPECT_EQ(FrmDelete->TxtComment->text(), QStringLiteral("keep"));
    EXPECT_EQ(commentsInDatabase(), QStringList{QStringLiteral("keep")});

    // Enter on a focused "Да" presses it, as Space does.
    FrmDelete->CmdYes->setFocus();
    QTest::keyClick(FrmDelete->CmdYes, Qt::Key_Return);
    EXPECT_FALSE(FrmDelete->isVisible());
    EXPECT_TRUE(commentsInDatabase().isEmpty());
}

TEST_F(DeleteDialogTest, YearlyTextFollowsAnnually)
{
    const struct {
        std::optional<int> annually;
        QString text;
    } cases[] = {{-1, yearlyText}, {1, yearlyText}, {0, onceText}, {std::nullopt, onceText}};
    std::vector<Row> rows;
    for (std::size_t i = 0; i < std::size(cases); ++i)
        rows.push_back({day2020 + double(i), QString::number(i), cases[i].annually});
    addRows(rows);
    start();
    // Each showing follows the row current at that moment, none of the one
    // before.
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(i);
        openFor(int(i));
        EXPECT_EQ(FrmDelete->PnlAnnually->text(), cases[i].text);
        EXPECT_EQ(FrmDelete->TxtComment->text(), QString::number(i));
        const QString date = shortDate(Calendar::toDate(day2020 + double(i)));
        EXPECT_EQ(FrmDelete->PnlDate->text(), date);
        // The date panels take no focus: a screen reader hears the date with
        // the comment box, which has it.
        EXPECT_EQ(QAccessible::queryAccessibleInterface(FrmDelete->TxtComment)
                      ->text(QAccessible::Description),
                  QStringLiteral("Дата: ") + date);
        FrmDelete->CmdNo->click();
    }
}

TEST_F(DeleteDialogTest, DateShowsNoTimeOfDay)
{
    // A date stored with a time of day, 18:00.
    addRows({{day2022 + 0.75, QStringLiteral("evening"), 0}});
    start();
    openFor(0);
    EXPECT_EQ(FrmDelete->PnlDate->text(), shortDate(QDate(2022, 11, 2)));
    EXPECT_FALSE(FrmDelete->PnlDate->text().contains(u':'));
    FrmDelete->CmdNo->click();
}

TEST_F(DeleteDialogTest, NullColumnsShowEmptyAndTheRowCanStillBeDeleted)
{
    addRows({{std::nullopt, std::nullopt, std::nullopt}, {day2020, QStringLiteral("ok"), -1}});
    start();
    openFor(0);
    EXPECT_EQ(FrmDelete->PnlDate->text(), QString());
    EXPECT_EQ(FrmDelete->PnlAnnually->text(), onceText);
    EXPECT_EQ(FrmDelete->TxtComment->text(), QString());
    FrmDelete->CmdYes->click();
    EXPECT_EQ(commentsInDatabase(), QStringList{QStringLiteral("ok")});
}

TEST_F(DeleteDialogTest, WithoutCurrentRowShowsNothingAndDeletesNothing)
{
    addRows({{day2020, QStringLiteral("first"), -1}});
    start();
    openFor(0);
    FrmDelete->CmdNo->click();

    // Emptied behind the main window's back: no current row any more.
    sql(QStringLiteral("DELETE FROM TabData"));
    FrmKarvel->ADODataSet->close();
    FrmKarvel->ADODataSet->open();
    ASSERT_EQ(FrmKarvel->ADODataSet->recNo(), -1);

    FrmDelete->showModal();
    ScriptedDialogs::instance().take();
    EXPECT_EQ(FrmDelete->PnlDate->text(), QString());
    EXPECT_EQ(FrmDelete->PnlAnnually->text(), QString());
    EXPECT_EQ(FrmDelete->TxtComment->text(), QString());

    FrmDelete->CmdYes->click();
    EXPECT_FALSE(FrmDelete->isVisible());
    expectButtonsEnabled(false);
}

TEST_F(DeleteDialogTest, FailedDeletionKeepsTheDialogOpen)
{
    addRows({{day2020, QStringLiteral("a"), -1}, {day2021, QStringLiteral("b"), -1}});
    sql(QStringLiteral("CREATE TRIGGER no_delete BEFORE DELETE ON TabData "
                       "BEGIN SELECT RAISE(ABORT, 'deleting is refused'); END"));
    start();
    openFor(0);
    FrmDelete->CmdYes->click();

    const QStringList errors = ScriptedDialogs::instance().takeTexts();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(QStringLiteral("deleting is refused")))
        << errors[0].toStdString();
    EXPECT_TRUE(FrmDelete->isVisible());
    EXPECT_EQ(FrmDelete->TxtComment->text(), QStringLiteral("a"));
    EXPECT_EQ(FrmKarvel->DBGrid->model()->rowCount(), 2);
    EXPECT_EQ(commentsInDatabase(), QStringList({QStringLiteral("a"), QStringLiteral("b")}));
    expectButtonsEnabled(true);
    FrmDelete->CmdNo->click();
}

} // namespace
