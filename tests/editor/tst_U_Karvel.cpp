// The editor's start-up, main window and closing, against a temporary
// Program folder.
#include "U_Karvel.h"
#include "adodataset.h"
#include "calendar.h"
#include "controls.h"
#include "dbgrid.h"
#include "editortest.h"
#include "karvel_app.h"
#include "records.h"
#include "shortstring.h"

#include "datetext.h"
#include <QAccessible>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTest>
#include <QtEndian>
#include <gtest/gtest.h>

namespace
{

class MainWindowTest : public EditorTest
{
protected:
    void start()
    {
        CreateEditorWindows();
        FrmKarvel->showNonModal();
    }

    void addRows(const std::vector<std::pair<QDate, QString>> &rows)
    {
        for (const auto &[date, comment] : rows)
            sql(QStringLiteral("INSERT INTO TabData (Date, Commentary, Annually, PsevdoDate, "
                               "Muzik) VALUES (?, ?, -1, ?, 0)"),
                {Calendar::fromDate(date), comment,
                 Calendar::fromDate(QDate(2000, date.month(), date.day()))});
    }

    int rowsInDatabase() { return queryInt(QStringLiteral("SELECT count(*) FROM TabData")); }

    QString cell(int row, int column)
    {
        auto *model = FrmKarvel->DBGrid->model();
        return model->data(model->index(row, column), Qt::DisplayRole).toString();
    }
};

TEST_F(MainWindowTest, FreshFolderGetsDefaultRecordFiles)
{
    folder.addEmptyDatabase();
    start();

    const QByteArray option = folder.read("option.dat");
    ASSERT_EQ(option.size(), 32);
    EXPECT_EQ(option.left(24), QByteArray(24, '\0'));
    EXPECT_EQ(qFromLittleEndian<double>(option.constData() + 24),
              Calendar::fromDate(QDate(2026, 12, 8)));

    const QByteArray muzik = folder.read("muzikdan.dat");
    ASSERT_EQ(muzik.size(), 5940);
    for (int n : {1, 10, 20}) {
        const auto *record = reinterpret_cast<const std::uint8_t *>(muzik.constData()) +
                             (n - 1) * SoundEventRecord::size;
        EXPECT_EQ(ShortString::load(record, 40),
                  QStringLiteral("Событие %1").arg(n, 2, 10, QLatin1Char('0')));
        EXPECT_EQ(ShortString::load(record + 41, 255), folder.file("sound/sub.wav"));
    }
}

TEST_F(MainWindowTest, ExistingRecordFilesAreNotRewritten)
{
    folder.addEmptyDatabase();
    folder.write("option.dat", QByteArray(32, 'x'));
    folder.write("muzikdan.dat", QByteArray(5940, 'y'));
    start();
    EXPECT_EQ(folder.read("option.dat"), QByteArray(32, 'x'));
    EXPECT_EQ(folder.read("muzikdan.dat"), QByteArray(5940, 'y'));
}

TEST_F(MainWindowTest, EmptyTableDisablesEditAndDelete)
{
    folder.addEmptyDatabase();
    start();
    EXPECT_EQ(FrmKarvel->DBGrid->model()->rowCount(), 0);
    EXPECT_FALSE(FrmKarvel->BitEdit->isEnabled());
    EXPECT_FALSE(FrmKarvel->BitDelete->isEnabled());
    EXPECT_TRUE(FrmKarvel->BitAdd->isEnabled());
    EXPECT_TRUE(FrmKarvel->BitOption->isEnabled());
    EXPECT_TRUE(FrmKarvel->BitAbout->isEnabled());

    // Ctrl+Del in an empty grid asks nothing.
    QTest::keyClick(FrmKarvel->DBGrid, Qt::Key_Delete, Qt::ControlModifier);
}

TEST_F(MainWindowTest, ListsRowsInDateOrderWithShortDates)
{
    folder.addEmptyDatabase();
    addRows({{QDate(2027, 3, 5), QStringLiteral("Мама")},
             {QDate(1990, 1, 2), QStringLiteral("Папа")},
             {QDate(2001, 7, 9), QStringLiteral("Друг")}});
    start();

    ASSERT_EQ(FrmKarvel->DBGrid->model()->rowCount(), 3);
    EXPECT_EQ(cell(0, 1), QStringLiteral("Папа"));
    EXPECT_EQ(cell(1, 1), QStringLiteral("Друг"));
    EXPECT_EQ(cell(2, 1), QStringLiteral("Мама"));
    EXPECT_EQ(cell(0, 0), shortDateText(QDate(1990, 1, 2)));
    // Assistive technology hears of the two shown columns only.
    EXPECT_EQ(accessibleColumnCount(FrmKarvel->DBGrid), 2);
    EXPECT_EQ(accessibleColumnHeaders(FrmKarvel->DBGrid),
              (QStringList{QStringLiteral("Дата"), QStringLiteral("Комментарий")}));
    const QStringList texts = accessibleTexts(FrmKarvel);
    EXPECT_TRUE(texts.contains(QStringLiteral("Мама")));
    for (const char *hidden : {"Annually", "PsevdoDate", "Muzik", "True"})
        EXPECT_FALSE(texts.contains(QLatin1String(hidden))) << hidden;
    EXPECT_EQ(FrmKarvel->ADODataSet->fieldNames().size(), 5);
    EXPECT_EQ(FrmKarvel->DBGrid->columnWidth(0), 80);
    EXPECT_EQ(FrmKarvel->DBGrid->columnWidth(1), 718);
    EXPECT_EQ(FrmKarvel->ADODataSet->recNo(), 0);
    EXPECT_TRUE(FrmKarvel->BitEdit->isEnabled());
    EXPECT_TRUE(FrmKarvel->BitDelete->isEnabled());
}

TEST_F(MainWindowTest, StatusBarAndSize)
{
    folder.addEmptyDatabase();
    start();
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Отмена"));
    EXPECT_EQ(FrmKarvel->StatusBar1->panelText(4), QStringLiteral("Сегодня: ") +
                                                       shortDateText(QDate(2026, 12, 8)) +
                                                       QStringLiteral("     "));
    EXPECT_EQ(FrmKarvel->width() + Form::frameWidth, 839);
    EXPECT_EQ(FrmKarvel->height() + Form::frameHeight, 556);
    EXPECT_EQ(FrmKarvel->minimumSize(), FrmKarvel->maximumSize());
    EXPECT_FALSE(FrmKarvel->windowFlags() & Qt::WindowMaximizeButtonHint);
    // Screen readers look for a status bar only in a frame (Qt's window
    // role), and announce a dialog as one.
    EXPECT_EQ(QAccessible::queryAccessibleInterface(FrmKarvel)->role(), QAccessible::Window);
    for (QWidget *dialog : std::initializer_list<QWidget *>{FrmEdit, FrmOption, FrmAbout})
        EXPECT_EQ(QAccessible::queryAccessibleInterface(dialog)->role(), QAccessible::Dialog);
}

TEST_F(MainWindowTest, CtrlDelAsksThenDeletesAtOnce)
{
    folder.addEmptyDatabase();
    addRows(
        {{QDate(2020, 1, 1), QStringLiteral("one")}, {QDate(2021, 1, 1), QStringLiteral("two")}});
    start();
    auto &dialogs = ScriptedDialogs::instance();

    dialogs.answerConfirm(false);
    QTest::keyClick(FrmKarvel->DBGrid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(rowsInDatabase(), 2);

    FrmKarvel->DBGrid->selectRow(1);
    dialogs.answerConfirm(true);
    QTest::keyClick(FrmKarvel->DBGrid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(rowsInDatabase(), 1);
    EXPECT_EQ(cell(0, 1), QStringLiteral("one"));

    dialogs.answerConfirm(true);
    QTest::keyClick(FrmKarvel->DBGrid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(rowsInDatabase(), 0);
    // An emptied list disables Edit and Delete.
    EXPECT_FALSE(FrmKarvel->BitEdit->isEnabled());
    EXPECT_FALSE(FrmKarvel->BitDelete->isEnabled());

    const auto shown = dialogs.take();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].text, QStringLiteral("Delete record?"));
    EXPECT_EQ(shown[0].caption, QStringLiteral("Confirm"));
}

// Rows on damaged pages show empty: the editor tells SQLite's words once,
// however often they are shown, and deletes none of them.
TEST_F(MainWindowTest, DamagedRowsAreToldOnceAndNeverDeleted)
{
    folder.addEmptyDatabase();
    sql(QStringLiteral("INSERT INTO TabData (Date, Commentary, Annually, PsevdoDate, Muzik) "
                       "WITH RECURSIVE n(i) AS (SELECT 0 UNION ALL SELECT i + 1 FROM n "
                       "WHERE i < 2999) SELECT 40000 + i, 'r' || i, -1, 36526, 0 FROM n"));
    ASSERT_TRUE(damageMiddleOfTable(folder.file(QStringLiteral("Dates.mdb"))));
    const QByteArray damaged = folder.read(QStringLiteral("Dates.mdb"));
    start();
    auto &dialogs = ScriptedDialogs::instance();
    ASSERT_TRUE(dialogs.take().empty());

    int unreadable = -1;
    for (int pass = 0; pass < 2; ++pass) {
        for (int row = 2999; row >= 0; --row) {
            if (cell(row, 1).isEmpty())
                unreadable = row;
        }
        QCoreApplication::processEvents();
    }
    ASSERT_GT(unreadable, 0);
    const QString malformed =
        QStringLiteral("Файл базы данных «%1» повреждён (database disk image is malformed).")
            .arg(folder.file(QStringLiteral("Dates.mdb")));
    EXPECT_EQ(dialogs.takeTexts(), QStringList{malformed});

    FrmKarvel->DBGrid->selectRow(unreadable);
    dialogs.answerConfirm(true);
    QTest::keyClick(FrmKarvel->DBGrid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(dialogs.takeTexts(), QStringList{malformed});
    EXPECT_EQ(FrmKarvel->ADODataSet->recordCount(), 3000);
    deleteWindows();
    EXPECT_EQ(folder.read(QStringLiteral("Dates.mdb")), damaged);
}

TEST_F(MainWindowTest, EveryButtonAnswersTheKeyboard)
{
    folder.addEmptyDatabase();
    start();
    // Focus moves, and with it the button Enter presses, only in the active window.
    QApplication::setActiveWindow(FrmKarvel);
    const std::pair<QPushButton *, QString> buttons[] = {
        {FrmKarvel->BitAdd, QStringLiteral("FrmEdit")},
        {FrmKarvel->BitOption, QStringLiteral("FrmOption")},
        {FrmKarvel->BitAbout, QStringLiteral("FrmAbout")},
    };
    for (const auto &[button, form] : buttons) {
        button->setFocus();
        QTest::keyClick(button, Qt::Key_Return);
        const auto shown = ScriptedDialogs::instance().take();
        ASSERT_FALSE(shown.empty()) << button->objectName().toStdString();
        EXPECT_EQ(shown[0].kind, ShownMessage::Modal);
        EXPECT_EQ(shown[0].text, form);
        for (QWidget *window : QApplication::topLevelWidgets())
            if (window != FrmKarvel)
                window->hide();
        QApplication::setActiveWindow(FrmKarvel);
    }
    // Enter in the grid opens nothing.
    FrmKarvel->DBGrid->setFocus();
    QTest::keyClick(FrmKarvel->DBGrid, Qt::Key_Return);
}

TEST_F(MainWindowTest, OpensOnAddAndTabFollowsTheButtonsThenTheGrid)
{
    folder.addEmptyDatabase();
    addRows({{QDate(2020, 1, 1), QStringLiteral("one")}});
    start();
    QApplication::setActiveWindow(FrmKarvel);
    QWidget *const order[] = {FrmKarvel->BitAdd,    FrmKarvel->BitEdit,  FrmKarvel->BitDelete,
                              FrmKarvel->BitOption, FrmKarvel->BitAbout, FrmKarvel->DBGrid,
                              FrmKarvel->BitAdd};
    EXPECT_EQ(QApplication::focusWidget(), order[0]);
    AnnouncedFocus announced;
    for (std::size_t i = 1; i < std::size(order); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), order[i]) << i;
        QCoreApplication::processEvents();
    }
    // Entering the grid reads its current row.
    EXPECT_EQ(announced.take(), QStringList{shortDateText(QDate(2020, 1, 1))});
}

TEST_F(MainWindowTest, MissingDatabaseIsReportedAndWindowStillCloses)
{
    start();
    const QStringList texts = ScriptedDialogs::instance().takeTexts();
    ASSERT_EQ(texts.size(), 1);
    EXPECT_TRUE(texts[0].contains(QStringLiteral("Dates.mdb"))) << texts[0].toStdString();
    EXPECT_FALSE(QFile::exists(folder.file("Dates.mdb")));
    EXPECT_TRUE(FrmKarvel->isVisible());

    FrmKarvel->close();
    const auto shown = ScriptedDialogs::instance().take();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, ShownMessage::EndProcess);
}

TEST_F(MainWindowTest, UncreatableRecordFileIsReportedAndWindowStillCloses)
{
    for (const char *name : {"option.dat", "muzikdan.dat"}) {
        SCOPED_TRACE(name);
        TemporaryProgramFolder own;
        own.addEmptyDatabase();
        // A folder in the file's place can be neither opened nor created, even by root.
        QDir(own.path()).mkdir(QLatin1String(name));
        start();
        const QStringList texts = ScriptedDialogs::instance().takeTexts();
        ASSERT_FALSE(texts.isEmpty());
        EXPECT_EQ(texts[0], QStringLiteral("File access denied."));
        // The steps after the failure did not run: the list stays unopened.
        EXPECT_FALSE(FrmKarvel->ADOConnect.connected());
        EXPECT_TRUE(FrmKarvel->BitEdit->isEnabled());
        EXPECT_TRUE(FrmKarvel->isVisible());
        FrmKarvel->close();
        ASSERT_EQ(ScriptedDialogs::instance().take().back().kind, ShownMessage::EndProcess);
        deleteWindows();
    }
}

TEST_F(MainWindowTest, ClosingClosesTheFilesAndEnds)
{
    folder.addEmptyDatabase();
    start();
    ASSERT_TRUE(MuzikFile.isOpen());
    FrmKarvel->close();
    EXPECT_FALSE(MuzikFile.isOpen());
    EXPECT_FALSE(FrmKarvel->ADOConnect.connected());
    const auto shown = ScriptedDialogs::instance().take();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, ShownMessage::EndProcess);
    EXPECT_EQ(shown[0].text, QStringLiteral("0"));
}

} // namespace
