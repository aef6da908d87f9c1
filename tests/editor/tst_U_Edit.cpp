// The add/edit dialog driven headless through the main window's buttons,
// checked against the rows it leaves in a temporary "Dates.mdb".
#include "U_Edit.h"
#include "U_Karvel.h"
#include "adodataset.h"
#include "calendar.h"
#include "dbgrid.h"
#include "editortest.h"
#include "karvel_app.h"
#include "mediaplayer.h"
#include "records.h"

#include <QAccessible>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionSpinBox>
#include <QTest>
#include <QWheelEvent>
#include <functional>
#include <gtest/gtest.h>
#include <limits>
#include <optional>

namespace
{

// One row of TabData as SQLite holds it.
struct StoredRow {
    double date = 0;
    double psevdoDate = 0;
    std::optional<QString> commentary;
    long long annually = 0;
    long long muzik = 0;

    bool operator==(const StoredRow &) const = default;
};

std::ostream &operator<<(std::ostream &out, const StoredRow &row)
{
    return out << "{" << Calendar::toDate(row.date).toString(Qt::ISODate).toStdString() << ", "
               << Calendar::toDate(row.psevdoDate).toString(Qt::ISODate).toStdString() << ", \""
               << row.commentary.value_or(QStringLiteral("<null>")).toStdString() << "\", "
               << row.annually << ", " << row.muzik << "}";
}

double day(int year, int month, int dayOfMonth)
{
    return Calendar::fromDate(QDate(year, month, dayOfMonth));
}

StoredRow row(QDate date, const QString &comment, bool annually, int muzik)
{
    return {Calendar::fromDate(date), day(2000, date.month(), date.day()), comment,
            annually ? -1 : 0, muzik};
}

class EditDialogTest : public EditorTest
{
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        folder.addEmptyDatabase();
    }

    void start() { startMainWindowWith<TFrmEdit>(); }

    void insert(const StoredRow &r)
    {
        sql(QStringLiteral("INSERT INTO TabData (Date, PsevdoDate, Commentary, Annually, Muzik) "
                           "VALUES (?, ?, ?, ?, ?)"),
            {r.date, r.psevdoDate, r.commentary ? QVariant(*r.commentary) : QVariant(), r.annually,
             r.muzik});
    }

    std::vector<StoredRow> storedRows()
    {
        std::vector<StoredRow> rows;
        sql(QStringLiteral("SELECT Date, PsevdoDate, Commentary, Annually, Muzik "
                           "FROM TabData ORDER BY rowid"),
            {}, [&](sqlite3_stmt *stmt) {
                StoredRow r;
                r.date = sqlite3_column_double(stmt, 0);
                r.psevdoDate = sqlite3_column_double(stmt, 1);
                if (sqlite3_column_type(stmt, 2) != SQLITE_NULL)
                    r.commentary = QString::fromUtf8(
                        reinterpret_cast<const char *>(sqlite3_column_text(stmt, 2)));
                r.annually = sqlite3_column_int64(stmt, 3);
                r.muzik = sqlite3_column_int64(stmt, 4);
                rows.push_back(r);
            });
        return rows;
    }

    void openAdd()
    {
        FrmKarvel->BitAdd->click();
        expectShownModally(QStringLiteral("FrmEdit"), FrmEdit);
    }

    void openEdit(int listRow)
    {
        FrmKarvel->ADODataSet->setRecNo(listRow);
        FrmKarvel->BitEdit->click();
        expectShownModally(QStringLiteral("FrmEdit"), FrmEdit);
    }

    void setDate(int year, int month, int dayOfMonth)
    {
        FrmEdit->SpinYear->setValue(year);
        FrmEdit->CmbMonth->setCurrentIndex(month - 1);
        FrmEdit->SpnDay->setValue(dayOfMonth);
    }

    void setComment(const QString &text)
    {
        FrmEdit->TxtComment->clear();
        typeText(FrmEdit->TxtComment, text);
    }

    QString listCell(int row, int column)
    {
        auto *model = FrmKarvel->DBGrid->model();
        return model->data(model->index(row, column), Qt::DisplayRole).toString();
    }

    // Points sound event n at a file.
    void setEventPath(int n, const QString &path)
    {
        SoundEventRecord record = Records::readSoundEvent(MuzikFile, n);
        record.setPath(path);
        Records::writeSoundEvent(MuzikFile, n, record);
    }
};

TEST_F(EditDialogTest, LayoutAndTabOrder)
{
    start();
    EXPECT_EQ(FrmEdit->size(), QSize(682, 220));
    EXPECT_EQ(FrmEdit->minimumSize(), FrmEdit->maximumSize());
    EXPECT_FALSE(FrmEdit->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_FALSE(FrmEdit->windowFlags() & Qt::WindowMinimizeButtonHint);

    const std::pair<QWidget *, QRect> controls[] = {
        {FrmEdit->SpinYear, {40, 16, 57, 22}},        {FrmEdit->CmbMonth, {176, 16, 73, 21}},
        {FrmEdit->SpnDay, {344, 16, 57, 22}},         {FrmEdit->ChkAnnually, {464, 16, 217, 17}},
        {FrmEdit->TxtComment, {96, 64, 585, 21}},     {FrmEdit->CmbMuzSub, {136, 104, 385, 21}},
        {FrmEdit->BtnSoundPlay, {544, 104, 129, 17}}, {FrmEdit->CmdOk, {56, 168, 265, 33}},
        {FrmEdit->CmdCancel, {368, 168, 265, 33}},
    };
    std::vector<QWidget *> expectedOrder;
    for (const auto &[control, geometry] : controls) {
        EXPECT_EQ(control->geometry(), geometry) << control->objectName().toStdString();
        expectedOrder.push_back(control);
    }
    // Compound controls put their inner parts into the chain as well.
    std::vector<QWidget *> order;
    QWidget *w = FrmEdit->SpinYear;
    do {
        for (QWidget *control : expectedOrder)
            if ((w == control || control->isAncestorOf(w)) &&
                (order.empty() || order.back() != control))
                order.push_back(control);
        w = w->nextInFocusChain();
    } while (w != FrmEdit->SpinYear && order.size() < expectedOrder.size());
    EXPECT_EQ(order, expectedOrder);

    const std::pair<const char *, QString> accessible[] = {
        {"SpinYear", "Год"},
        {"CmbMonth", "Месяц"},
        {"SpnDay", "Число"},
        {"TxtComment", "Комментарий"},
        {"CmbMuzSub", "Озвучивать дату как"},
    };
    for (const auto &[name, text] : accessible)
        EXPECT_EQ(FrmEdit->findChild<QWidget *>(name)->accessibleName(), text) << name;

    ASSERT_EQ(FrmEdit->CmbMonth->count(), 12);
    EXPECT_EQ(FrmEdit->CmbMonth->itemText(0), QStringLiteral("январь"));
    EXPECT_EQ(FrmEdit->CmbMonth->itemText(11), QStringLiteral("декабрь"));
    EXPECT_FALSE(FrmEdit->CmbMonth->isEditable());
    EXPECT_FALSE(FrmEdit->CmbMuzSub->isEditable());
    EXPECT_TRUE(FrmEdit->CmdOk->isDefault());
}

// The rows of a dropped-down list that show whole.
int rowsShownWhenDropped(QComboBox *combo)
{
    combo->showPopup();
    const QAbstractItemView *view = combo->view();
    int rows = 0;
    for (int row = 0; row < combo->count(); ++row) {
        const QRect rect = view->visualRect(combo->model()->index(row, 0));
        rows += rect.top() >= 0 && rect.bottom() < view->viewport()->height();
    }
    combo->hidePopup();
    return rows;
}

TEST_F(EditDialogTest, DroppedListsShowElevenSoundsAndAllTwelveMonths)
{
    start();
    FrmEdit->show();
    EXPECT_EQ(rowsShownWhenDropped(FrmEdit->CmbMuzSub), 11);
    EXPECT_EQ(rowsShownWhenDropped(FrmEdit->CmbMonth), 12);
    FrmEdit->hide();
}

TEST_F(EditDialogTest, SoundEventListIsBuiltFromTheRecordFileWithoutSelection)
{
    start();
    ASSERT_EQ(FrmEdit->CmbMuzSub->count(), 21);
    EXPECT_EQ(FrmEdit->CmbMuzSub->itemText(0), QStringLiteral("Не озвучивать"));
    EXPECT_EQ(FrmEdit->CmbMuzSub->itemText(1), QStringLiteral("Событие 01"));
    EXPECT_EQ(FrmEdit->CmbMuzSub->itemText(20), QStringLiteral("Событие 20"));
    EXPECT_EQ(FrmEdit->CmbMuzSub->currentIndex(), -1);

    // A renamed event shows under its new name, and a row with it still
    // selects it by number.
    SoundEventRecord record = Records::readSoundEvent(MuzikFile, 7);
    record.setName(QStringLiteral("День рождения"));
    Records::writeSoundEvent(MuzikFile, 7, record);
    record.setName(QString());
    Records::writeSoundEvent(MuzikFile, 8, record);
    FrmEdit->FillSoundEventList();
    EXPECT_EQ(FrmEdit->CmbMuzSub->currentIndex(), -1);
    EXPECT_EQ(FrmEdit->CmbMuzSub->itemText(7), QStringLiteral("День рождения"));
    EXPECT_EQ(FrmEdit->CmbMuzSub->itemText(8), QString());
    EXPECT_EQ(FrmEdit->CmbMuzSub->count(), 21);
}

TEST_F(EditDialogTest, ShortSoundFileIsReportedAtCreationAndKeepsWhatWasRead)
{
    RecordFileOf<SoundEventRecord> file;
    Records::createDefaultMuzikFile(file, folder.path());
    file.close();
    folder.write("muzikdan.dat", folder.read("muzikdan.dat").left(5 * SoundEventRecord::size));

    new TFrmKarvel;
    new TFrmEdit;
    EXPECT_EQ(ScriptedDialogs::instance().takeTexts(),
              QStringList{QStringLiteral("Read beyond end of file.")});
    EXPECT_EQ(FrmEdit->CmbMuzSub->count(), 6);
}

TEST_F(EditDialogTest, AddModeOpensOnTodaysDefaults)
{
    start();
    FrmEdit->SpinYear->setValue(1999);
    FrmEdit->ChkAnnually->setChecked(false);
    FrmEdit->TxtComment->setText(QStringLiteral("старое"));
    FrmEdit->TxtComment->setFocus();

    openAdd();
    EXPECT_EQ(FrmEdit->windowTitle(), QStringLiteral("Добавление данных"));
    EXPECT_EQ(FrmEdit->CmdOk->text(), QStringLiteral("Добавить"));
    EXPECT_EQ(FrmEdit->SpinYear->value(), 2026);
    EXPECT_EQ(FrmEdit->CmbMonth->currentIndex(), 11);
    EXPECT_EQ(FrmEdit->SpnDay->value(), 8);
    EXPECT_TRUE(FrmEdit->ChkAnnually->isChecked());
    EXPECT_EQ(FrmEdit->TxtComment->text(), QString());
    EXPECT_EQ(FrmEdit->CmbMuzSub->currentIndex(), 0);
    EXPECT_EQ(FrmEdit->focusWidget(), FrmEdit->SpinYear);

    // A screen reader reads each drop-down's value with it, and hears each
    // change.
    const std::pair<QComboBox *, QString> lists[] = {
        {FrmEdit->CmbMonth, QStringLiteral("декабрь")},
        {FrmEdit->CmbMuzSub, QStringLiteral("Не озвучивать")},
    };
    for (const auto &[list, value] : lists)
        EXPECT_EQ(QAccessible::queryAccessibleInterface(list)->text(QAccessible::Description),
                  value);
    QApplication::setActiveWindow(FrmEdit);
    AnnouncedFocus announced;
    FrmEdit->CmbMonth->setFocus();
    QTest::keyClick(FrmEdit->CmbMonth, Qt::Key_Up);
    FrmEdit->CmbMuzSub->setFocus();
    QTest::keyClick(FrmEdit->CmbMuzSub, Qt::Key_Down);
    EXPECT_EQ(announced.take(),
              (QStringList{QStringLiteral("ноябрь"), QStringLiteral("Событие 01")}));
    FrmEdit->CmdCancel->click();
}

TEST_F(EditDialogTest, AddWritesOneRowWithAllColumnsAndEnablesEditAndDelete)
{
    start();
    EXPECT_FALSE(FrmKarvel->BitEdit->isEnabled());
    EXPECT_FALSE(FrmKarvel->BitDelete->isEnabled());

    openAdd();
    setDate(2004, 2, 29);
    FrmEdit->ChkAnnually->setChecked(false);
    setComment(QStringLiteral("  Високосный день  "));
    FrmEdit->CmbMuzSub->setCurrentIndex(20);
    FrmEdit->CmdOk->click();

    EXPECT_FALSE(FrmEdit->isVisible());
    EXPECT_EQ(FrmEdit->TxtComment->text(), QStringLiteral("Високосный день"));
    EXPECT_EQ(storedRows(), std::vector<StoredRow>{row(
                                QDate(2004, 2, 29), QStringLiteral("Високосный день"), false, 20)});
    EXPECT_EQ(FrmKarvel->ADODataSet->state(), AdoDataSet::State::Browse);
    EXPECT_TRUE(FrmKarvel->BitEdit->isEnabled());
    EXPECT_TRUE(FrmKarvel->BitDelete->isEnabled());
    EXPECT_EQ(FrmKarvel->DBGrid->model()->rowCount(), 1);
    EXPECT_EQ(listCell(0, 1), QStringLiteral("Високосный день"));
}

TEST_F(EditDialogTest, AddedRowStaysAtTheEndOfTheListAndEnterAddsIt)
{
    insert(row(QDate(2020, 5, 1), QStringLiteral("later"), true, 0));
    start();
    openAdd();
    setDate(1999, 1, 1);
    setComment(QStringLiteral("Новый год"));
    // Enter in the comment box answers through the default button.
    QTest::keyClick(FrmEdit->TxtComment, Qt::Key_Return);

    EXPECT_FALSE(FrmEdit->isVisible());
    EXPECT_EQ(storedRows().size(), 2u);
    EXPECT_EQ(storedRows().back(), row(QDate(1999, 1, 1), QStringLiteral("Новый год"), true, 0));
    ASSERT_EQ(FrmKarvel->DBGrid->model()->rowCount(), 2);
    EXPECT_EQ(listCell(0, 1), QStringLiteral("later"));
    EXPECT_EQ(listCell(1, 1), QStringLiteral("Новый год"));
}

TEST_F(EditDialogTest, ImpossibleDatesAreRefusedAndStoreNothing)
{
    struct Case {
        int year, month, dayOfMonth;
        bool exists;
    };
    const Case cases[] = {
        {2000, 2, 29, true},  {2004, 2, 29, true},  {2400, 2, 29, true},   {1900, 2, 29, false},
        {2100, 2, 29, false}, {2011, 2, 29, false}, {2000, 2, 30, false},  {2024, 4, 31, false},
        {2024, 6, 31, false}, {2024, 9, 31, false}, {2024, 11, 31, false}, {2024, 4, 30, true},
        {1800, 1, 1, true},   {2400, 12, 31, true},
    };
    start();
    std::vector<StoredRow> expected;
    for (const Case &c : cases) {
        SCOPED_TRACE(
            QStringLiteral("%1-%2-%3").arg(c.year).arg(c.month).arg(c.dayOfMonth).toStdString());
        openAdd();
        setDate(c.year, c.month, c.dayOfMonth);
        setComment(QStringLiteral("дата"));
        FrmEdit->CmdOk->click();
        if (c.exists) {
            EXPECT_FALSE(FrmEdit->isVisible());
            expected.push_back(
                row(QDate(c.year, c.month, c.dayOfMonth), QStringLiteral("дата"), true, 0));
        } else {
            expectMessage(QStringLiteral("Неверно введена дата!"), MB_OKCANCEL);
            EXPECT_TRUE(FrmEdit->isVisible());
            EXPECT_EQ(FrmEdit->SpnDay->value(), c.dayOfMonth);
            FrmEdit->CmdCancel->click();
        }
        EXPECT_EQ(storedRows(), expected);
    }
}

TEST_F(EditDialogTest, BadDateIsReportedBeforeABlankComment)
{
    start();
    openAdd();
    setDate(2023, 2, 29);
    setComment(QStringLiteral("   "));
    FrmEdit->CmdOk->click();
    expectMessage(QStringLiteral("Неверно введена дата!"), MB_OKCANCEL);
    EXPECT_EQ(FrmEdit->TxtComment->text(), QStringLiteral("   "));
    EXPECT_TRUE(storedRows().empty());

    // What the user entered survives the message box.
    setDate(2024, 2, 29);
    FrmEdit->CmdOk->click();
    expectMessage(QStringLiteral("Необходимо ввести комментарий!"), MB_OK);
    EXPECT_EQ(FrmEdit->TxtComment->text(), QString());
    EXPECT_TRUE(FrmEdit->isVisible());
    EXPECT_TRUE(storedRows().empty());
    FrmEdit->CmdCancel->click();
}

TEST_F(EditDialogTest, CommentIsTrimmedOfBlanksAndControlsOnly)
{
    struct Case {
        QString entered;
        QString stored; // empty: refused
    };
    const QChar nbsp(0xA0);
    const Case cases[] = {
        {QStringLiteral(" \t\r\n\x01\x1f "), QString()},
        {QStringLiteral("\x01 Отпуск \x1f"), QStringLiteral("Отпуск")},
        {nbsp + QStringLiteral("Дача ") + nbsp + QStringLiteral("  "),
         nbsp + QStringLiteral("Дача ") + nbsp},
        {QString(nbsp), QString(nbsp)},
        {QStringLiteral("a  b"), QStringLiteral("a  b")},
    };
    start();
    std::vector<StoredRow> expected;
    for (const Case &c : cases) {
        openAdd();
        FrmEdit->TxtComment->setText(c.entered);
        FrmEdit->CmdOk->click();
        EXPECT_EQ(FrmEdit->TxtComment->text(), c.stored);
        if (c.stored.isEmpty()) {
            expectMessage(QStringLiteral("Необходимо ввести комментарий!"), MB_OK);
            FrmEdit->CmdCancel->click();
        } else {
            expected.push_back(row(QDate(2026, 12, 8), c.stored, true, 0));
        }
    }
    EXPECT_EQ(storedRows(), expected);
}

TEST_F(EditDialogTest, EditLoadsTheCurrentRowAndOkRewritesAllColumns)
{
    StoredRow first = row(QDate(1990, 3, 15), QStringLiteral("первая"), true, 3);
    StoredRow second = row(QDate(2010, 7, 4), QStringLiteral("вторая  с пробелами"), false, 12);
    second.psevdoDate = day(2000, 1, 1); // out of step with Date
    insert(first);
    insert(second);
    start();

    openEdit(1);
    EXPECT_EQ(FrmEdit->windowTitle(), QStringLiteral("Редактирование данных"));
    EXPECT_EQ(FrmEdit->CmdOk->text(), QStringLiteral("Ok"));
    EXPECT_EQ(FrmEdit->SpinYear->value(), 2010);
    EXPECT_EQ(FrmEdit->CmbMonth->currentIndex(), 6);
    EXPECT_EQ(FrmEdit->SpnDay->value(), 4);
    EXPECT_FALSE(FrmEdit->ChkAnnually->isChecked());
    EXPECT_EQ(FrmEdit->TxtComment->text(), QStringLiteral("вторая  с пробелами"));
    EXPECT_EQ(FrmEdit->CmbMuzSub->currentIndex(), 12);

    FrmEdit->CmdOk->click();
    EXPECT_FALSE(FrmEdit->isVisible());
    const StoredRow repaired =
        row(QDate(2010, 7, 4), QStringLiteral("вторая  с пробелами"), false, 12);
    EXPECT_EQ(storedRows(), (std::vector<StoredRow>{first, repaired}));

    openEdit(0);
    setDate(1991, 4, 16);
    FrmEdit->ChkAnnually->setChecked(false);
    setComment(QStringLiteral("изменена"));
    FrmEdit->CmbMuzSub->setCurrentIndex(0);
    FrmEdit->CmdOk->click();
    EXPECT_EQ(storedRows(),
              (std::vector<StoredRow>{row(QDate(1991, 4, 16), QStringLiteral("изменена"), false, 0),
                                      repaired}));
    EXPECT_EQ(listCell(0, 1), QStringLiteral("изменена"));
    EXPECT_EQ(FrmKarvel->DBGrid->model()->rowCount(), 2);
}

TEST_F(EditDialogTest, CancelEscAndCloseBoxChangeNothing)
{
    const StoredRow stored = row(QDate(2001, 9, 9), QStringLiteral("как было"), true, 4);
    insert(stored);
    start();
    const std::pair<const char *, std::function<void()>> ways[] = {
        {"Cancel", [] { FrmEdit->CmdCancel->click(); }},
        {"Esc", [] { QTest::keyClick(FrmEdit->TxtComment, Qt::Key_Escape); }},
        {"close box", [] { FrmEdit->close(); }},
    };
    for (const auto &[name, closeDialog] : ways) {
        SCOPED_TRACE(name);
        openEdit(0);
        setDate(2002, 1, 2);
        FrmEdit->ChkAnnually->setChecked(false);
        setComment(QStringLiteral("другое"));
        FrmEdit->CmbMuzSub->setCurrentIndex(1);
        closeDialog();
        EXPECT_FALSE(FrmEdit->isVisible());
        EXPECT_EQ(storedRows(), std::vector<StoredRow>{stored});
        EXPECT_EQ(listCell(0, 1), QStringLiteral("как было"));

        openAdd();
        setComment(QStringLiteral("лишняя"));
        closeDialog();
        EXPECT_EQ(storedRows(), std::vector<StoredRow>{stored});
        EXPECT_EQ(FrmKarvel->ADODataSet->recordCount(), 1);
    }
}

TEST_F(EditDialogTest, YearOutsideTheSpinnerRangeOpensAtTheNearerBound)
{
    insert(row(QDate(1700, 6, 1), QStringLiteral("давно"), true, 0));
    insert(row(QDate(2500, 6, 2), QStringLiteral("нескоро"), true, 0));
    start();
    openEdit(0);
    EXPECT_EQ(FrmEdit->SpinYear->value(), 1800);
    FrmEdit->CmdOk->click();
    openEdit(1);
    EXPECT_EQ(FrmEdit->SpinYear->value(), 2400);
    FrmEdit->CmdOk->click();
    EXPECT_EQ(storedRows(),
              (std::vector<StoredRow>{row(QDate(1800, 6, 1), QStringLiteral("давно"), true, 0),
                                      row(QDate(2400, 6, 2), QStringLiteral("нескоро"), true, 0)}));
}

TEST_F(EditDialogTest, SoundNumberOutsideTheListSelectsNothingAndIsStoredAsNoSound)
{
    for (int muzik : {21, -1, 255}) {
        SCOPED_TRACE(muzik);
        sql(QStringLiteral("DELETE FROM TabData"));
        insert(row(QDate(2015, 5, 5), QStringLiteral("звук"), true, muzik));
        start();
        openEdit(0);
        EXPECT_EQ(FrmEdit->CmbMuzSub->currentIndex(), -1);
        FrmEdit->BtnSoundPlay->click();
        EXPECT_TRUE(SoundLog::played().isEmpty());
        FrmEdit->CmdOk->click();
        EXPECT_EQ(storedRows(),
                  std::vector<StoredRow>{row(QDate(2015, 5, 5), QStringLiteral("звук"), true, 0)});
        deleteWindows();
    }
}

// A database made by other tools: rows the dialog cannot load whole, each
// opened right after a whole row was shown and left with Esc, then Enter
// (Ok) pressed at once. None may take the whole row's values; each is then
// mended through the dialog, but for the one it refuses to open.
TEST_F(EditDialogTest, RowsThatCannotBeLoadedWholeKeepTheirValuesUntilMended)
{
    const QString noDate =
        QStringLiteral("Дату этой записи нельзя показать. Укажите год, месяц и число.");
    const QString badDate = QStringLiteral("Неверно введена дата!");
    const QString noComment = QStringLiteral("Необходимо ввести комментарий!");
    struct Case {
        const char *name;
        QVariantList stored; // Date, PsevdoDate, Commentary, Annually, Muzik
        QString onOpen;      // what opening it tells, if anything
        QString onOk;        // what Ok tells; none when the dialog did not open
        std::function<void()> mend;
        StoredRow mended;
    };
    const Case cases[] = {
        {"year 0",
         {day(1, 1, 1) - 366, day(2000, 1, 1), "Нулевой год", 0, 2},
         noDate,
         badDate,
         [&] { setDate(1901, 1, 1); },
         row(QDate(1901, 1, 1), "Нулевой год", false, 2)},
        {"Null comment",
         {day(2012, 8, 20), day(2000, 8, 20), QVariant(), -1, 5},
         {},
         noComment,
         [&] { setComment(QStringLiteral("Выпускной")); },
         row(QDate(2012, 8, 20), "Выпускной", true, 5)},
        {"Null yearly flag",
         {day(2015, 5, 5), day(2000, 5, 5), "Без флага", QVariant(), 0},
         QStringLiteral("Could not convert variant of type (Null) into type (Boolean)"),
         {},
         {},
         {}},
        {"date 1e300",
         {1e300, day(2000, 6, 12), "Свадьба родителей", -1, 7},
         noDate,
         badDate,
         [&] { setDate(1975, 6, 12); },
         row(QDate(1975, 6, 12), "Свадьба родителей", true, 7)},
    };
    const QString insertRow =
        QStringLiteral("INSERT INTO TabData (Date, PsevdoDate, Commentary, Annually, Muzik) "
                       "VALUES (?, ?, ?, ?, ?)");
    // In date order, so that a row's place in the list is its place here.
    const int wholeRow = 1;
    sql(insertRow, cases[0].stored);
    insert(row(QDate(1950, 3, 14), QStringLiteral("Бабушка: день рождения"), true, 3));
    for (std::size_t i = 1; i < std::size(cases); ++i)
        sql(insertRow, cases[i].stored);
    start();

    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case &c = cases[i];
        SCOPED_TRACE(c.name);
        const int listRow = i < wholeRow ? int(i) : int(i) + 1;
        openEdit(wholeRow);
        QTest::keyClick(FrmEdit->focusWidget(), Qt::Key_Escape);
        const std::vector<StoredRow> before = storedRows();

        FrmKarvel->ADODataSet->setRecNo(listRow);
        FrmKarvel->BitEdit->click();
        const auto shown = ScriptedDialogs::instance().take();
        ASSERT_EQ(shown.size(), c.onOpen.isEmpty() ? 1u : 2u);
        if (!c.onOpen.isEmpty()) {
            EXPECT_EQ(shown[1].text, c.onOpen);
        }
        ASSERT_EQ(FrmEdit->isVisible(), !c.onOk.isEmpty());
        if (FrmEdit->isVisible()) {
            QTest::keyClick(FrmEdit->focusWidget(), Qt::Key_Return);
            expectMessage(c.onOk, c.onOk == badDate ? MB_OKCANCEL : MB_OK);
        }
        EXPECT_EQ(storedRows(), before);

        if (c.mend) {
            c.mend();
            QTest::keyClick(FrmEdit->focusWidget(), Qt::Key_Return);
            EXPECT_FALSE(FrmEdit->isVisible());
            EXPECT_EQ(storedRows().at(listRow), c.mended);
        }
    }
}

TEST_F(EditDialogTest, PreviewPlaysTheEventsFileReadAtEachClick)
{
    start();
    const QString tone = folder.file("tone.wav");
    const QString other = folder.file("other.wav");
    writeToneWav(tone, 40);
    writeToneWav(other, 40, 440);
    setEventPath(3, tone);

    openAdd();
    FrmEdit->BtnSoundPlay->click(); // "Не озвучивать"
    EXPECT_TRUE(SoundLog::played().isEmpty());

    FrmEdit->CmbMuzSub->setCurrentIndex(3);
    FrmEdit->BtnSoundPlay->click();
    EXPECT_EQ(SoundLog::played(), QStringList{tone});

    setEventPath(3, other);
    FrmEdit->BtnSoundPlay->click();
    EXPECT_EQ(SoundLog::played(), (QStringList{tone, other}));

    // The default path names a file this folder does not hold: the alert.
    SoundLog::clear();
    FrmEdit->CmbMuzSub->setCurrentIndex(20);
    FrmEdit->BtnSoundPlay->click();
    EXPECT_EQ(SoundLog::played(), QStringList{QString()});
    EXPECT_TRUE(ScriptedDialogs::instance().take().empty());
    EXPECT_TRUE(FrmEdit->isVisible());
    FrmEdit->CmdCancel->click();
}

TEST_F(EditDialogTest, RefusedPostLeavesTheDialogOpenAndCancelAbandonsTheRow)
{
    start();
    sql(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON TabData "
                       "BEGIN SELECT RAISE(ABORT, 'disk is full'); END"));
    openAdd();
    setComment(QStringLiteral("не запишется"));
    FrmEdit->CmdOk->click();
    const QStringList errors = ScriptedDialogs::instance().takeTexts();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(QStringLiteral("disk is full"))) << errors[0].toStdString();
    EXPECT_TRUE(FrmEdit->isVisible());
    EXPECT_FALSE(FrmKarvel->BitEdit->isEnabled());

    // OK again once the database takes it: one row, not two.
    sql(QStringLiteral("DROP TRIGGER refuse"));
    FrmEdit->CmdOk->click();
    EXPECT_FALSE(FrmEdit->isVisible());
    EXPECT_EQ(storedRows().size(), 1u);
    EXPECT_EQ(FrmKarvel->ADODataSet->recordCount(), 1);
    EXPECT_TRUE(FrmKarvel->BitEdit->isEnabled());

    sql(QStringLiteral("CREATE TRIGGER refuse BEFORE INSERT ON TabData "
                       "BEGIN SELECT RAISE(ABORT, 'disk is full'); END"));
    openAdd();
    setComment(QStringLiteral("брошена"));
    FrmEdit->CmdOk->click();
    EXPECT_EQ(ScriptedDialogs::instance().takeTexts().size(), 1);
    FrmEdit->CmdCancel->click();
    EXPECT_FALSE(FrmEdit->isVisible());
    EXPECT_EQ(FrmKarvel->ADODataSet->state(), AdoDataSet::State::Browse);
    EXPECT_EQ(FrmKarvel->ADODataSet->recordCount(), 1);
    EXPECT_EQ(FrmKarvel->DBGrid->model()->rowCount(), 1);
    EXPECT_EQ(storedRows().size(), 1u);
}

TEST_F(EditDialogTest, SpinnersStepButCannotBeTypedInto)
{
    start();
    openAdd();
    for (LockedSpinBox *spinner : {FrmEdit->SpinYear, FrmEdit->SpnDay}) {
        SCOPED_TRACE(spinner->objectName().toStdString());
        QSignalSpy refused(spinner, &LockedSpinBox::keyRefused);
        const int before = spinner->value();
        for (Qt::Key key : {Qt::Key_1, Qt::Key_Minus, Qt::Key_Backspace, Qt::Key_Delete})
            QTest::keyClick(spinner, key);
        typeText(spinner, QStringLiteral("9ж"));
        EXPECT_EQ(spinner->value(), before);
        EXPECT_EQ(refused.count(), 6);

        QTest::keyClick(spinner, Qt::Key_Up);
        EXPECT_EQ(spinner->value(), before + 1);
        QTest::keyClick(spinner, Qt::Key_Down);
        QTest::keyClick(spinner, Qt::Key_Down);
        EXPECT_EQ(spinner->value(), before - 1);
        QTest::keyClick(spinner, Qt::Key_PageUp);
        EXPECT_EQ(spinner->value(), before - 1);

        // Ctrl makes no ten steps of one, by key, wheel or arrow.
        QTest::keyClick(spinner, Qt::Key_Up, Qt::ControlModifier);
        EXPECT_EQ(spinner->value(), before);
        const QPoint centre = spinner->rect().center();
        QWheelEvent notch(centre, spinner->mapToGlobal(centre), {}, {0, 120}, Qt::NoButton,
                          Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(spinner, &notch);
        EXPECT_EQ(spinner->value(), before + 1);
        QStyleOptionSpinBox option;
        option.initFrom(spinner);
        option.subControls = QStyle::SC_SpinBoxDown;
        option.stepEnabled = QAbstractSpinBox::StepUpEnabled | QAbstractSpinBox::StepDownEnabled;
        const QRect downArrow = spinner->style()->subControlRect(QStyle::CC_SpinBox, &option,
                                                                 QStyle::SC_SpinBoxDown, spinner);
        QTest::mouseClick(spinner, Qt::LeftButton, Qt::ControlModifier, downArrow.center());
        EXPECT_EQ(spinner->value(), before);

        spinner->setValue(spinner->maximum() + 100);
        EXPECT_EQ(spinner->value(), spinner->maximum());
        QTest::keyClick(spinner, Qt::Key_Up);
        EXPECT_EQ(spinner->value(), spinner->maximum());
        spinner->setValue(spinner->minimum() - 100);
        QTest::keyClick(spinner, Qt::Key_Down);
        EXPECT_EQ(spinner->value(), spinner->minimum());
    }
    EXPECT_EQ(FrmEdit->SpinYear->minimum(), 1800);
    EXPECT_EQ(FrmEdit->SpinYear->maximum(), 2400);
    EXPECT_EQ(FrmEdit->SpnDay->minimum(), 1);
    EXPECT_EQ(FrmEdit->SpnDay->maximum(), 31);
    FrmEdit->CmdCancel->click();
}

TEST_F(EditDialogTest, CommentTypingStopsAt150ButALongerStoredCommentStaysWhole)
{
    const QString longComment = QString(200, QChar(u'д'));
    insert(row(QDate(2005, 5, 5), longComment, true, 0));
    start();

    openAdd();
    typeText(FrmEdit->TxtComment, QString(160, QChar(u'ж')));
    EXPECT_EQ(FrmEdit->TxtComment->text(), QString(150, QChar(u'ж')));
    // A paste keeps its first characters up to the limit, where it goes in.
    QGuiApplication::clipboard()->setText(QString(200, QChar(u'п')));
    FrmEdit->TxtComment->setText(QStringLiteral("ab"));
    FrmEdit->TxtComment->setCursorPosition(1);
    FrmEdit->TxtComment->paste();
    EXPECT_EQ(FrmEdit->TxtComment->text(),
              QStringLiteral("a") + QString(148, QChar(u'п')) + QStringLiteral("b"));
    EXPECT_EQ(FrmEdit->TxtComment->cursorPosition(), 149);
    FrmEdit->CmdCancel->click();

    openEdit(0);
    EXPECT_EQ(FrmEdit->TxtComment->text(), longComment);
    typeText(FrmEdit->TxtComment, QStringLiteral("ещё"));
    FrmEdit->TxtComment->paste();
    EXPECT_EQ(FrmEdit->TxtComment->text(), longComment);
    QTest::keyClick(FrmEdit->TxtComment, Qt::Key_Backspace);
    EXPECT_EQ(FrmEdit->TxtComment->text().size(), 199);
    FrmEdit->CmdOk->click();
    EXPECT_EQ(storedRows().at(0).commentary, longComment.left(199));
}

TEST_F(EditDialogTest, EditorStartCreatesTheDialogAfterTheMainWindow)
{
    CreateEditorWindows();
    ASSERT_NE(FrmEdit, nullptr);
    EXPECT_EQ(FrmEdit->CmbMuzSub->count(), 21);
    EXPECT_FALSE(FrmEdit->isVisible());
    EXPECT_TRUE(ScriptedDialogs::instance().take().empty());
}

} // namespace
