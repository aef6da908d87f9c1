// Whole-program runs of the reminder's start: the built tolvin, copied into
// a temporary Program folder beside its own data files, run headless. Each
// run must end by itself; a message box would keep it waiting until the
// timeout, which is how an unwanted message shows here.
#include "calendar.h"
#include "testsupport.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <gtest/gtest.h>

namespace
{

class TolvinRun : public TemporaryProgramFolder
{
public:
    TolvinRun()
    {
        QFile::copy(QStringLiteral(ORVISTA_PROGRAM_DIR "/tolvin"), file("tolvin"));
        QFile::setPermissions(file("tolvin"), QFile::ReadOwner | QFile::ExeOwner);
    }

    bool exists(const char *name) const { return QFile::exists(file(name)); }

    // Runs tolvin to its end; false when it had to be killed.
    bool run()
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("dummy"));
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(QDir::tempPath());
        m_dayBefore = Calendar::todayNumber();
        process.start(file("tolvin"), {});
        const bool finished = process.waitForFinished(20000);
        m_dayAfter = Calendar::todayNumber();
        if (!finished) {
            process.kill();
            process.waitForFinished();
            return false;
        }
        m_exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        return true;
    }

    int exitCode() const { return m_exitCode; }
    // The run may have crossed midnight.
    bool isToday(double day) const { return day == m_dayBefore || day == m_dayAfter; }

private:
    int m_exitCode = -1;
    double m_dayBefore = 0;
    double m_dayAfter = 0;
};

TEST(TolvinStart, NotDueEndsAfterSplashTouchingNothing)
{
    TolvinRun tolvin;
    // No database: opening it would fail with a message.
    // Tomorrow: the only stored date that is not due (a later one is taken
    // for a damaged file).
    const QByteArray before = optionBytes(QStringLiteral("пароль"), Calendar::todayNumber() + 1);
    tolvin.write("option.dat", before);

    ASSERT_TRUE(tolvin.run()) << "tolvin did not end by itself";
    EXPECT_EQ(tolvin.exitCode(), 0);
    EXPECT_EQ(tolvin.read("option.dat"), before);
    EXPECT_FALSE(tolvin.exists("Dates.mdb"));
    EXPECT_FALSE(tolvin.exists("dates.mdb"));
    EXPECT_FALSE(tolvin.exists("muzikdan.dat"));
}

TEST(TolvinStart, FirstStartOnEmptyDayCreatesOptionFileOnly)
{
    TolvinRun tolvin;
    tolvin.addEmptyDatabase();
    const QByteArray database = tolvin.read("Dates.mdb");

    ASSERT_TRUE(tolvin.run()) << "tolvin did not end by itself";
    EXPECT_EQ(tolvin.exitCode(), 0);
    const QByteArray option = tolvin.read("option.dat");
    ASSERT_EQ(option.size(), 32);
    EXPECT_EQ(option.left(24), QByteArray(24, '\0'));
    EXPECT_TRUE(tolvin.isToday(nextDateOf(option)));
    EXPECT_FALSE(tolvin.exists("muzikdan.dat"));
    EXPECT_EQ(tolvin.read("Dates.mdb"), database);
}

TEST(TolvinStart, PastDateOnEmptyDayStoresTodayKeepingPassword)
{
    TolvinRun tolvin;
    tolvin.addEmptyDatabase();
    const QByteArray before = optionBytes(QStringLiteral("Тайна 12"), Calendar::todayNumber() - 40);
    tolvin.write("option.dat", before);

    ASSERT_TRUE(tolvin.run()) << "tolvin did not end by itself";
    EXPECT_EQ(tolvin.exitCode(), 0);
    const QByteArray after = tolvin.read("option.dat");
    ASSERT_EQ(after.size(), 32);
    EXPECT_EQ(after.left(24), before.left(24));
    EXPECT_TRUE(tolvin.isToday(nextDateOf(after)));
    EXPECT_FALSE(tolvin.exists("muzikdan.dat"));
}

} // namespace
