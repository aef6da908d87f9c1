// Tests of U_End, the closing dialog: what its Ok writes into "option.dat"
// (only the Next reminder date, the password checked against the file as it
// is at that moment), the wrong-password message, the refused ways of
// closing, and the end of the process.
#include "U_End.h"
#include "U_Show.h"

#include "calendar.h"
#include "errors.h"
#include "recordfile.h"
#include "records.h"
#include "testsupport.h"

#include <QAccessible>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <gtest/gtest.h>

namespace
{

// The dialog may run past midnight: Ok stores the day on which it is
// pressed.
const QDate okDay(2027, 12, 31);
double today()
{
    return Calendar::fromDate(okDay);
}

double tomorrow()
{
    return Calendar::fromDate(QDate(2028, 1, 1));
}

class UEndTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!FrmTolvin)
            new TFrmTolvin;
        delete FrmEnd;
        new TFrmEnd;
        ScriptedDialogs::instance().clear();
        ProgramPath = folder.path();
        folder.addEmptyDatabase();
        Calendar::setToday(okDay.addDays(-1));
        OpenTodayEvents();
    }

    void TearDown() override
    {
        FrmEnd->hide();
        if (OptionFile.isOpen())
            OptionFile.close();
        CloseDatabase();
        Calendar::setToday(QDate());
        EXPECT_TRUE(ScriptedDialogs::instance().take().empty());
    }

    // What the start-up step leaves: "option.dat" open with its record
    // read; then the reminder window's close shows the dialog.
    void showDialog(const QString &password)
    {
        before = optionBytes(password, today() - 3);
        folder.write(QStringLiteral("option.dat"), before);
        ASSERT_TRUE(OptionFile.openQuiet(folder.file(QStringLiteral("option.dat"))));
        OptionRec = Records::readOptionRec(OptionFile);
        FrmEnd->showModal();
        const std::vector<ShownMessage> shown = ScriptedDialogs::instance().take();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].kind, ShownMessage::Modal);
        Calendar::setToday(okDay);
    }

    static void uncheck()
    {
        QTest::keyClick(FrmEnd->ChkTodayShow, Qt::Key_Space);
        ASSERT_FALSE(FrmEnd->ChkTodayShow->isChecked());
    }

    static void pressOk() { QTest::mouseClick(FrmEnd->CmdOk, Qt::LeftButton); }

    QByteArray optionFile() const { return folder.read(QStringLiteral("option.dat")); }

    // Ok wrote this date, kept bytes 0 to 23 and ended the process.
    void expectStoredAndEnded(double date, const QByteArray &kept)
    {
        const std::vector<ShownMessage> shown = ScriptedDialogs::instance().take();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].kind, ShownMessage::EndProcess);
        EXPECT_EQ(shown[0].text, QStringLiteral("0"));
        const QByteArray after = optionFile();
        ASSERT_EQ(after.size(), 32);
        EXPECT_EQ(after.left(24), kept.left(24));
        EXPECT_EQ(nextDateOf(after), date);
        EXPECT_FALSE(OptionFile.isOpen());
        EXPECT_FALSE(FrmTolvin->ADOConnect.connected());
    }

    void expectRefused()
    {
        const std::vector<ShownMessage> shown = ScriptedDialogs::instance().take();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].kind, ShownMessage::Message);
        EXPECT_EQ(shown[0].text, QStringLiteral("Неверный пароль!"));
        EXPECT_EQ(shown[0].caption, QStringLiteral("Внимание!"));
        EXPECT_EQ(shown[0].flags, MB_OK);
        EXPECT_EQ(optionFile(), before);
        EXPECT_TRUE(OptionFile.isOpen());
        EXPECT_FALSE(FrmEnd->ChkTodayShow->isChecked());
        EXPECT_TRUE(FrmEnd->TxtPassword->isVisible());
        EXPECT_EQ(FrmEnd->focusWidget(), FrmEnd->TxtPassword);
        EXPECT_EQ(FrmEnd->TxtPassword->selectedText(), FrmEnd->TxtPassword->text());
        EXPECT_EQ(FrmEnd->TxtPassword->selectionStart(),
                  FrmEnd->TxtPassword->text().isEmpty() ? -1 : 0);
        // The database is closed on every press, a refused one too.
        EXPECT_FALSE(FrmTolvin->ADOConnect.connected());
        EXPECT_TRUE(FrmEnd->isVisible());
    }

    TemporaryProgramFolder folder;
    QByteArray before;
};

TEST_F(UEndTest, ActivationChecksTheBoxAndHidesThePassword)
{
    FrmEnd->ChkTodayShow->setChecked(false);
    showDialog(QString());
    EXPECT_TRUE(FrmEnd->ChkTodayShow->isChecked());
    EXPECT_EQ(FrmEnd->focusWidget(), FrmEnd->ChkTodayShow);
    EXPECT_FALSE(FrmEnd->LblPassword->isVisible());
    EXPECT_FALSE(FrmEnd->TxtPassword->isVisible());
    EXPECT_TRUE(FrmEnd->CmdOk->isDefault());
    EXPECT_EQ(FrmEnd->TxtPassword->maxLength(), 20);
    // Every character shows as a star.
    EXPECT_EQ(FrmEnd->TxtPassword->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter,
                                                      nullptr, FrmEnd->TxtPassword),
              int(u'*'));
}

TEST_F(UEndTest, CheckBoxAndLabelReadAsOneSentence)
{
    showDialog(QString());
    QAccessibleInterface *box = QAccessible::queryAccessibleInterface(FrmEnd->ChkTodayShow);
    ASSERT_NE(box, nullptr);
    const QString sentence =
        QStringLiteral("Сегодня при следующем запуске Windows сообщать о наступившем Orvista");
    EXPECT_EQ(box->text(QAccessible::Name), sentence);
    // A screen reader may read the check box's label instead of its name;
    // Label1 is that label, so that it is not read as stray text either.
    const auto labels = box->relations(QAccessible::Label);
    ASSERT_FALSE(labels.isEmpty());
    EXPECT_EQ(labels.first().first->object(), FrmEnd->Label1);
    for (const auto &label : labels)
        EXPECT_EQ(label.first->text(QAccessible::Name), sentence);
    // Nothing visible changes.
    EXPECT_EQ(FrmEnd->ChkTodayShow->text(),
              QStringLiteral("Сегодня при следующем запуске Windows"));
    EXPECT_EQ(FrmEnd->Label1->text(), QStringLiteral(" сообщать о наступившем Orvista"));
}

TEST_F(UEndTest, PasswordShownOnlyWhileUncheckedAndKeptWhileHidden)
{
    showDialog(QString());
    uncheck();
    EXPECT_TRUE(FrmEnd->LblPassword->isVisible());
    EXPECT_TRUE(FrmEnd->TxtPassword->isVisible());
    EXPECT_EQ(FrmEnd->focusWidget(), FrmEnd->ChkTodayShow);

    // As in the editor's password boxes, what Windows-1251 lacks is refused.
    typeText(FrmEnd->TxtPassword, QStringLiteral("се☺кр€éет"));
    QTest::mouseClick(FrmEnd->ChkTodayShow, Qt::LeftButton);
    EXPECT_FALSE(FrmEnd->LblPassword->isVisible());
    EXPECT_FALSE(FrmEnd->TxtPassword->isVisible());
    uncheck();
    EXPECT_EQ(FrmEnd->TxtPassword->text(), QStringLiteral("секр€ет"));
    // Clicking the text below the box does nothing.
    QTest::mouseClick(FrmEnd->Label1, Qt::LeftButton);
    EXPECT_FALSE(FrmEnd->ChkTodayShow->isChecked());
}

enum Outcome { Today, Tomorrow, Refused };
struct OkCase {
    const char *name;
    const char *stored;
    bool checked;
    const char *typed;
    Outcome outcome;
};
class UEndOkTest : public UEndTest, public ::testing::WithParamInterface<OkCase>
{
};

TEST_P(UEndOkTest, StoresTodayOrTomorrowOrRefusesTheWrongPassword)
{
    const OkCase &c = GetParam();
    showDialog(QString::fromUtf8(c.stored));
    uncheck();
    typeText(FrmEnd->TxtPassword, QString::fromUtf8(c.typed));
    // Typed while shown, then hidden again: ignored.
    if (c.checked)
        QTest::keyClick(FrmEnd->ChkTodayShow, Qt::Key_Space);
    pressOk();
    if (c.outcome == Refused) {
        expectRefused();
        // A second wrong press shows the message once more; then the box
        // checked stores today.
        pressOk();
        EXPECT_EQ(ScriptedDialogs::instance().takeTexts(),
                  QStringList{QStringLiteral("Неверный пароль!")});
        QTest::keyClick(FrmEnd->ChkTodayShow, Qt::Key_Space);
        pressOk();
        expectStoredAndEnded(today(), before);
    } else {
        expectStoredAndEnded(c.outcome == Today ? today() : tomorrow(), before);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UEndOkTest,
    ::testing::Values(OkCase{"CheckedNothingTyped", "Тайна 1", true, "", Today},
                      OkCase{"CheckedWrongPasswordIgnored", "Тайна 1", true, "wrong", Today},
                      OkCase{"UncheckedRightPassword", "Тайна 1", false, "Тайна 1", Tomorrow},
                      OkCase{"UncheckedEmptyPasswordMatchesEmpty", "", false, "", Tomorrow},
                      OkCase{"LetterCaseDiffers", "Тайна 1", false, "тайна 1", Refused},
                      OkCase{"TrailingBlank", "Тайна 1", false, "Тайна 1 ", Refused},
                      OkCase{"LeadingBlank", "Тайна 1", false, " Тайна 1", Refused},
                      OkCase{"NothingTyped", "Тайна 1", false, "", Refused},
                      OkCase{"SomethingTypedNoneStored", "", false, "x", Refused}),
    [](const auto &info) { return std::string(info.param.name); });

TEST_F(UEndTest, PasswordStoredByTheEditorMeanwhileIsCheckedAndKept)
{
    showDialog(QStringLiteral("старый"));
    // The editor writes a new password while the dialog is shown.
    const QByteArray changed = optionBytes(QStringLiteral("новый"), today() - 3);
    folder.write(QStringLiteral("option.dat"), changed);
    before = changed;

    uncheck();
    typeText(FrmEnd->TxtPassword, QStringLiteral("старый"));
    pressOk();
    expectRefused();

    FrmEnd->TxtPassword->clear();
    typeText(FrmEnd->TxtPassword, QStringLiteral("новый"));
    pressOk();
    expectStoredAndEnded(tomorrow(), changed);
}

TEST_F(UEndTest, CloseRequestsAndEscapeLeaveTheDialogOpen)
{
    showDialog(QStringLiteral("пароль"));
    // The close box, Alt+F4 and the window menu all come as a close request.
    EXPECT_FALSE(FrmEnd->close());
    QTest::keyClick(FrmEnd, Qt::Key_Escape);
    QTest::keyClick(FrmEnd->ChkTodayShow, Qt::Key_Escape);
    EXPECT_TRUE(FrmEnd->isVisible());
    EXPECT_TRUE(ScriptedDialogs::instance().take().empty());
    EXPECT_EQ(optionFile(), before);
    EXPECT_TRUE(OptionFile.isOpen());
}

TEST_F(UEndTest, EnterActsAsOkFromThePasswordBox)
{
    showDialog(QStringLiteral("пароль"));
    uncheck();
    typeText(FrmEnd->TxtPassword, QStringLiteral("пароль"));
    FrmEnd->TxtPassword->setFocus();
    QTest::keyClick(FrmEnd->TxtPassword, Qt::Key_Return);
    expectStoredAndEnded(tomorrow(), before);
}

TEST_F(UEndTest, EnterActsAsOkFromTheCheckBox)
{
    showDialog(QStringLiteral("пароль"));
    QTest::keyClick(FrmEnd->ChkTodayShow, Qt::Key_Return);
    expectStoredAndEnded(today(), before);
}

// Left by Esc (true) or by the close box (false).
class UEndFailedWriteTest : public UEndTest, public ::testing::WithParamInterface<bool>
{
};

TEST_P(UEndFailedWriteTest, IsShownAtEachOkThenEscOrCloseEndsTheProgram)
{
    const bool escape = GetParam();
    const QString diskFull = errorMessageText(InOutError::messageFor(101));
    showDialog(QString());
    // Reads give zeros, writes fail as on a full disk.
    OptionFile.close();
    ASSERT_TRUE(OptionFile.openQuiet(QStringLiteral("/dev/full")));

    for (int press = 0; press < 2; ++press) {
        pressOk();
        EXPECT_EQ(ScriptedDialogs::instance().takeTexts(), QStringList{diskFull});
        EXPECT_TRUE(FrmEnd->isVisible());
        EXPECT_TRUE(OptionFile.isOpen());
    }
    EXPECT_EQ(OptionRec.nextDate(), today());

    // Now the user may leave without storing; the next start reminds.
    if (escape)
        QTest::keyClick(FrmEnd->ChkTodayShow, Qt::Key_Escape);
    else
        FrmEnd->close();
    const std::vector<ShownMessage> shown = ScriptedDialogs::instance().take();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, ShownMessage::EndProcess);
    EXPECT_EQ(shown[0].text, QStringLiteral("0"));
    EXPECT_EQ(optionFile(), before);
}

INSTANTIATE_TEST_SUITE_P(Leaving, UEndFailedWriteTest, ::testing::Bool(), [](const auto &info) {
    return std::string(info.param ? "Esc" : "CloseBox");
});

} // namespace
