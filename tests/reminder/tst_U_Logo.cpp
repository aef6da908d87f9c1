// Tests of U_Logo: the splash window and the start-up step, run in-process
// on a temporary Program folder with the scripted dialog seam in place of
// message boxes and of ending the process.
#include "U_End.h"
#include "U_Logo.h"
#include "U_Show.h"

#include "adodataset.h"
#include "calendar.h"
#include "recordfile.h"
#include "records.h"
#include "testsupport.h"
#include "tolvin_app.h"

#include <QAccessible>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QTimer>
#include <cmath>
#include <gtest/gtest.h>

namespace
{

const QDate fifthOfMarch(2027, 3, 5);

class ULogoTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        if (FrmLogo)
            return;
        TFrmLogo::setPause(0);
        CreateReminderWindows();
        // The tests run the step themselves; no tick may run it on the
        // executable's own folder.
        FrmLogo->Timer1->stop();
    }

    void SetUp() override
    {
        ScriptedDialogs::instance().clear();
        Calendar::setToday(fifthOfMarch);
        FrmLogo->show();
        FrmLogo->Timer1->start();
    }

    void TearDown() override
    {
        FrmLogo->Timer1->stop();
        FrmTolvin->hide();
        if (OptionFile.isOpen())
            OptionFile.close();
        if (MuzikFile.isOpen())
            MuzikFile.close();
        CloseDatabase();
        Calendar::setToday(QDate());
    }

    std::vector<ShownMessage> runStep()
    {
        FrmLogo->Timer1Tick();
        return ScriptedDialogs::instance().take();
    }

    static void expectEndedQuietly(const std::vector<ShownMessage> &shown)
    {
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].kind, ShownMessage::EndProcess);
        EXPECT_EQ(shown[0].text, QStringLiteral("0"));
        EXPECT_FALSE(FrmTolvin->isVisible());
        EXPECT_FALSE(OptionFile.isOpen());
    }

    static void expectFailedOnce(const std::vector<ShownMessage> &shown, const QString &error)
    {
        ASSERT_EQ(shown.size(), 2u);
        EXPECT_EQ(shown[0].kind, ShownMessage::Error);
        EXPECT_EQ(shown[0].text, error);
        EXPECT_EQ(shown[1].kind, ShownMessage::EndProcess);
        EXPECT_FALSE(FrmLogo->Timer1->isActive());
        EXPECT_FALSE(FrmLogo->isVisible());
        EXPECT_FALSE(FrmTolvin->isVisible());
    }

    TemporaryProgramFolder folder;
};

TEST_F(ULogoTest, SplashLayoutAndTheOtherWindowsCreatedHidden)
{
    ASSERT_NE(FrmEnd, nullptr);
    ASSERT_NE(FrmTolvin, nullptr);
    EXPECT_FALSE(FrmEnd->isVisible());
    EXPECT_FALSE(FrmTolvin->isVisible());
    EXPECT_EQ(QApplication::applicationName(), QStringLiteral("Orvista 2"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Отмена"));

    EXPECT_EQ(FrmLogo->size(), QSize(442, 137));
    EXPECT_TRUE(FrmLogo->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(FrmLogo->Timer1->interval(), 1500);
    EXPECT_EQ(FrmLogo->Label1->text(), QStringLiteral("Orvista"));
    EXPECT_EQ(FrmLogo->Label2->text(), QStringLiteral("(Orvista)"));
    EXPECT_EQ(FrmLogo->Label4->text(), QStringLiteral("2"));
    EXPECT_EQ(FrmLogo->Label4->geometry(), QRect(392, 72, 57, 49));
    EXPECT_EQ(FrmLogo->Label4->palette().color(QPalette::WindowText), QColor(0, 128, 128));
    // Screen readers look for a status bar only in a frame (Qt's window
    // role), and announce a dialog as one.
    EXPECT_EQ(QAccessible::queryAccessibleInterface(FrmTolvin)->role(), QAccessible::Window);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(FrmEnd)->role(), QAccessible::Dialog);
}

TEST_F(ULogoTest, DayWithRowsShowsReminderAndCreatesMuzikFile)
{
    folder.addEmptyDatabase();
    addDateRows(folder.path(), {{fifthOfMarch, QStringLiteral("день рождения"), true, {}, 0}});
    // A screen reader that asked about the date panel while the window was
    // hidden meets a new object there once it shows.
    auto *datePanel = FrmTolvin->StatusBar1->findChild<QLabel *>(QStringLiteral("Panel4"));
    auto datePanelId = [&] {
        return QAccessible::uniqueId(QAccessible::queryAccessibleInterface(datePanel));
    };
    const QAccessible::Id askedWhileHidden = datePanelId();

    EXPECT_TRUE(runStep().empty());

    EXPECT_FALSE(FrmLogo->isVisible());
    EXPECT_FALSE(FrmLogo->Timer1->isActive());
    EXPECT_TRUE(FrmTolvin->isVisible());
    EXPECT_NE(datePanelId(), askedWhileHidden);
    EXPECT_EQ(FrmTolvin->ADODataSet->recordCount(), 1);
    EXPECT_TRUE(FrmTolvin->ADOConnect.connected());
    EXPECT_EQ(ProgramPath, folder.path());

    // "option.dat" was created and stays open for the closing dialog.
    EXPECT_TRUE(OptionFile.isOpen());
    EXPECT_EQ(OptionRec.nextDate(), Calendar::fromDate(fifthOfMarch));
    EXPECT_EQ(folder.read(QStringLiteral("option.dat")).size(), 32);

    ASSERT_TRUE(MuzikFile.isOpen());
    EXPECT_EQ(folder.read(QStringLiteral("muzikdan.dat")).size(), 20 * 297);
    const SoundEventRecord first = Records::readSoundEvent(MuzikFile, 1);
    EXPECT_EQ(first.name(), QStringLiteral("Событие 01"));
    EXPECT_EQ(first.path(), folder.path() + QStringLiteral("sound/sub.wav"));
}

TEST_F(ULogoTest, DueTestComparesStoredDateWithToday)
{
    struct Case {
        const char *name;
        double stored;
        bool due;
    };
    const double today = Calendar::fromDate(fifthOfMarch);
    const Case cases[] = {
        {"today", today, true},
        {"tomorrow", today + 1, false},
        {"a month ago", today - 30, true},
        // Only today or tomorrow is ever stored: anything else would keep
        // the reminder silent, perhaps for ever.
        {"the day after tomorrow", today + 2, true},
        {"ten years ahead", Calendar::fromDate(fifthOfMarch.addYears(10)), true},
        {"not a number", std::nan(""), true},
        {"plus infinity", HUGE_VAL, true},
        {"minus infinity", -HUGE_VAL, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        TemporaryProgramFolder caseFolder;
        caseFolder.addEmptyDatabase();
        const QByteArray before = optionBytes(QStringLiteral("тайна"), c.stored);
        caseFolder.write(QStringLiteral("option.dat"), before);

        expectEndedQuietly(runStep());

        const QByteArray after = caseFolder.read(QStringLiteral("option.dat"));
        if (c.due) {
            // An empty day: today stored, the rest of the record as read.
            EXPECT_EQ(after.left(24), before.left(24));
            EXPECT_EQ(nextDateOf(after), today);
            EXPECT_FALSE(FrmTolvin->ADOConnect.connected());
        } else {
            EXPECT_EQ(after, before);
        }
        EXPECT_FALSE(QFile::exists(caseFolder.file(QStringLiteral("muzikdan.dat"))));
        EXPECT_FALSE(MuzikFile.isOpen());
    }
}

TEST_F(ULogoTest, ShortOptionFileFailsOnceAndIsNotRecreated)
{
    folder.addEmptyDatabase();
    const QByteArray shortFile(20, '\0');
    folder.write(QStringLiteral("option.dat"), shortFile);

    expectFailedOnce(runStep(), QStringLiteral("Read beyond end of file."));
    EXPECT_EQ(folder.read(QStringLiteral("option.dat")), shortFile);
}

TEST_F(ULogoTest, MissingDatabaseOnDueDayFailsOnce)
{
    const std::vector<ShownMessage> shown = runStep();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].kind, ShownMessage::Error);
    EXPECT_EQ(shown[0].text, QStringLiteral("Не удаётся найти файл «%1».")
                                 .arg(folder.file(QStringLiteral("dates.mdb"))));
    EXPECT_EQ(shown[1].kind, ShownMessage::EndProcess);
    EXPECT_FALSE(FrmLogo->Timer1->isActive());
    EXPECT_FALSE(FrmTolvin->isVisible());
    // What the step did before the failure stays done.
    EXPECT_EQ(folder.read(QStringLiteral("option.dat")).size(), 32);
    EXPECT_FALSE(QFile::exists(folder.file(QStringLiteral("muzikdan.dat"))));
}

} // namespace
