// Tests of U_Show: the Jet date literals, today's query against a real
// database in a temporary Program folder, the grid's layout, the reminder
// window's creation handler, and the playback: what the sound layer really
// played and in which order, the locked, released and browse-only grid,
// waiting for the sound device, replays and the window's close.
#include "U_End.h"
#include "U_Show.h"

#include "adoconnection.h"
#include "adodataset.h"
#include "calendar.h"
#include "controls.h"
#include "datasource.h"
#include "datetext.h"
#include "dbgrid.h"
#include "errors.h"
#include "guard.h"
#include "mediaplayer.h"
#include "queries.h"
#include "recordfile.h"
#include "records.h"
#include "testsupport.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLocale>
#include <QProcess>
#include <QSet>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <QToolTip>
#include <algorithm>
#include <gtest/gtest.h>

// Lets GoogleTest print texts and lists of texts readably.
void PrintTo(const QString &text, std::ostream *out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace
{

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
    addDateRows(
        folder.path(),
        {
            {QDate(1990, 3, 5), QStringLiteral("yearly 1990"), true},
            {QDate(2027, 3, 5), QStringLiteral("once today"), false},
            {QDate(2030, 3, 5), QStringLiteral("yearly 2030"), true},
            {QDate(2026, 3, 5), QStringLiteral("once last year"), false},
            {QDate(2027, 3, 6), QStringLiteral("once tomorrow"), false},
            {QDate(1990, 3, 4), QStringLiteral("yearly yesterday"), true},
            // Noon of today is not the start of the day.
            {Calendar::fromDate(QDate(2027, 3, 5)) + 0.5, QStringLiteral("once at noon"), false},
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
    addDateRows(
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
    addDateRows(folder.path(), {{QDate(1996, 2, 29), QStringLiteral("leap day"), true}});
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
    addDateRows(folder.path(), {{QDate(2027, 3, 6), QStringLiteral("tomorrow"), false}});
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
    EXPECT_EQ(accessibleColumnCount(grid), 2);
    EXPECT_EQ(accessibleColumnHeaders(grid),
              (QStringList{QStringLiteral("Дата"), QStringLiteral("Комментарий")}));
}

TEST_F(UShowTest, DateColumnShowsShortDateAndHiddenFieldsStayReadable)
{
    addDateRows(folder.path(), {{QDate(2027, 3, 5), QStringLiteral("once"), false},
                                {QDate(1990, 3, 5), QStringLiteral("yearly"), true}});
    Calendar::setToday(QDate(2027, 3, 5));
    OpenTodayEvents();
    QAbstractItemModel *model = FrmTolvin->DBGrid->model();
    EXPECT_EQ(model->data(model->index(0, 0)).toString(), shortDateText(QDate(2027, 3, 5)));
    EXPECT_EQ(FrmTolvin->ADODataSet->fieldValue(QStringLiteral("Muzik")).toInt(), 1);
    // What the grid hides, a screen reader never hears.
    const QStringList texts = accessibleTexts(FrmTolvin);
    EXPECT_TRUE(texts.contains(QStringLiteral("yearly")));
    for (const QString &hidden :
         {QStringLiteral("Annually"), QStringLiteral("PsevdoDate"), QStringLiteral("Muzik"),
          QStringLiteral("True"), QStringLiteral("False"), shortDateText(QDate(2000, 3, 5))})
        EXPECT_FALSE(texts.contains(hidden)) << hidden.toStdString();
}

TEST_F(UShowTest, CloseDatabaseDetachesGridAndCanBeRepeated)
{
    addDateRows(folder.path(), {{QDate(2027, 3, 5), QStringLiteral("once"), false}});
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
    EXPECT_EQ(FrmTolvin->StatusBar1->panelText(4), QStringLiteral("Сегодня: ") +
                                                       shortDateText(QDate(2027, 3, 5)) +
                                                       QStringLiteral("     "));
    EXPECT_EQ(FrmTolvin->StatusBar1->geometry(), QRect(0, 488, FrmTolvin->width(), 25));
    EXPECT_FALSE(FrmTolvin->isVisible());
    EXPECT_FALSE(FrmTolvin->TmrPlayAll->isActive());
    EXPECT_EQ(FrmTolvin->TmrPlayAll->interval(), 1000);
}

} // namespace

namespace
{

const QDate playDay(2027, 3, 5);

class UShowPlaybackTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!FrmEnd)
            new TFrmEnd;
        // A fresh window for every test: nothing locks a released grid again.
        delete FrmTolvin;
        new TFrmTolvin;
        ScriptedDialogs::instance().clear();
        SoundLog::clear();
        Calendar::setToday(playDay);
        ProgramPath = folder.path();
        folder.addEmptyDatabase();
        Records::openOrCreateMuzikFile(MuzikFile, folder.path());
    }

    void TearDown() override
    {
        FrmTolvin->TmrPlayAll->stop();
        FrmTolvin->MediaPlayer.close();
        FrmTolvin->hide();
        FrmEnd->hide();
        if (MuzikFile.isOpen())
            MuzikFile.close();
        CloseDatabase();
        Calendar::setToday(QDate());
        EXPECT_TRUE(ScriptedDialogs::instance().take().empty());
    }

    QString tone(const QString &name, int milliseconds)
    {
        const QString path = folder.file(name);
        writeToneWav(path, milliseconds);
        return path;
    }

    // Gives sound event n this file in "muzikdan.dat".
    static void setSoundFile(int n, const QString &path)
    {
        SoundEventRecord record = Records::readSoundEvent(MuzikFile, n);
        record.setPath(path);
        Records::writeSoundEvent(MuzikFile, n, record);
    }

    // Today's rows: one-time rows come before yearly ones.
    void showReminder(const std::vector<DateRow> &rows)
    {
        addDateRows(folder.path(), rows);
        OpenTodayEvents();
        FrmTolvin->showNonModal();
    }

    static DateRow once(const char *commentary, const QVariant &muzik)
    {
        return {playDay, QString::fromUtf8(commentary), false, {}, muzik};
    }
    static DateRow yearly(const char *commentary, const QVariant &muzik)
    {
        return {QDate(1990, 3, 5), QString::fromUtf8(commentary), true, {}, muzik};
    }

    // The row of the dataset with this commentary.
    static int rowOf(const char *commentary)
    {
        return int(listedCommentaries().indexOf(QString::fromUtf8(commentary)));
    }

    // Waits, without handling any event (so no tick of TmrPlayAll comes
    // between), until the player no longer plays.
    static void waitForSoundEnd()
    {
        QElapsedTimer waited;
        waited.start();
        while (FrmTolvin->MediaPlayer.mode() == MediaPlayer::Mode::Playing &&
               waited.elapsed() < 5000)
            QThread::msleep(5);
    }

    // A tick of TmrPlayAll, guarded as the timer runs it.
    static void tick()
    {
        guarded([] { FrmTolvin->TmrPlayAllTimer(); });
    }

    // A real double-click: a press and release, then the double-click.
    static void doubleClickRow(int row)
    {
        QWidget *viewport = FrmTolvin->DBGrid->viewport();
        QTest::mouseClick(viewport, Qt::LeftButton, {}, centreOfRow(row));
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, centreOfRow(row));
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, centreOfRow(row));
    }

    // Ticks as the timer would, each after the current sound has ended,
    // until the sequence is over; the messages each tick showed.
    static std::vector<QStringList> runSequence()
    {
        std::vector<QStringList> shownPerTick;
        for (int ticks = 0; ticks < 20 && FrmTolvin->TmrPlayAll->isActive(); ++ticks) {
            waitForSoundEnd();
            tick();
            shownPerTick.push_back(ScriptedDialogs::instance().takeTexts());
        }
        return shownPerTick;
    }

    static QPoint centreOfRow(int row)
    {
        return FrmTolvin->DBGrid->visualRect(FrmTolvin->DBGrid->model()->index(row, 1)).center();
    }

    // Where the keyboard really goes: the window's focused control, or the
    // window itself when none has the focus.
    static QWidget *keyTarget()
    {
        QWidget *focused = FrmTolvin->focusWidget();
        return focused ? focused : FrmTolvin;
    }

    static void expectLocked()
    {
        DbGrid *grid = FrmTolvin->DBGrid;
        EXPECT_TRUE(grid->isLocked());
        EXPECT_EQ(grid->cursor().shape(), Qt::WaitCursor);
        EXPECT_EQ(grid->viewport()->cursor().shape(), Qt::WaitCursor);
        EXPECT_EQ(grid->focusPolicy(), Qt::NoFocus);
        EXPECT_NE(FrmTolvin->focusWidget(), grid);
    }

    static void expectReleased()
    {
        DbGrid *grid = FrmTolvin->DBGrid;
        EXPECT_FALSE(grid->isLocked());
        EXPECT_EQ(grid->cursor().shape(), Qt::ArrowCursor);
        EXPECT_EQ(grid->focusPolicy(), Qt::StrongFocus);
        EXPECT_EQ(FrmTolvin->focusWidget(), grid);
        EXPECT_FALSE(FrmTolvin->TmrPlayAll->isActive());
        EXPECT_EQ(FrmTolvin->ADODataSet->recNo(), 0);
        EXPECT_EQ(grid->currentIndex().row(), 0);
    }

    // The state without sound: the keyboard moves through the rows from the
    // first, and nothing replays or deletes. Needs three rows.
    static void expectBrowsingOnly()
    {
        DbGrid *grid = FrmTolvin->DBGrid;
        AdoDataSet *set = FrmTolvin->ADODataSet;
        EXPECT_EQ(grid->cursor().shape(), Qt::WaitCursor);
        EXPECT_FALSE(FrmTolvin->TmrPlayAll->isActive());
        EXPECT_EQ(grid->focusPolicy(), Qt::StrongFocus);
        ASSERT_EQ(FrmTolvin->focusWidget(), grid);
        EXPECT_EQ(grid->currentIndex().row(), 0);
        const std::pair<Qt::Key, int> moves[] = {{Qt::Key_Down, 1},
                                                 {Qt::Key_End, 2},
                                                 {Qt::Key_Up, 1},
                                                 {Qt::Key_Home, 0},
                                                 {Qt::Key_Down, 1}};
        for (auto [key, row] : moves) {
            QTest::keyClick(keyTarget(), key);
            EXPECT_EQ(set->recNo(), row) << QTest::toString(key);
        }
        QTest::keyClick(keyTarget(), Qt::Key_Return);
        doubleClickRow(2);
        // An unexpected confirmation fails the test.
        QTest::keyClick(keyTarget(), Qt::Key_Delete, Qt::ControlModifier);
        EXPECT_EQ(set->recNo(), 1);
        EXPECT_EQ(set->recordCount(), 3);
        EXPECT_TRUE(SoundLog::played().isEmpty());
    }

    TemporaryProgramFolder folder;
};

TEST_F(UShowPlaybackTest, PlaysRowsInOrderSkippingThoseWithoutSoundThenReleasesGrid)
{
    const QString first = tone(QStringLiteral("first.wav"), 120);
    const QString second = tone(QStringLiteral("second.wav"), 150);
    setSoundFile(1, first);
    setSoundFile(2, second);
    setSoundFile(3, folder.file(QStringLiteral("missing.wav")));
    setSoundFile(4, folder.path()); // a folder is not a sound file
    struct Row {
        const char *commentary;
        QVariant muzik;
        QString plays;
    };
    // Numbers beyond the whole numbers; the first two would wrap round to 1.
    const qlonglong two32 = 1LL << 32;
    const Row rows[] = {
        {"first", 1, first},       {"no sound", 0, {}},       {"missing file", 3, {}},
        {"folder", 4, {}},         {"above 20", 21, {}},      {"negative", -1, {}},
        {"empty", QVariant(), {}}, {"first again", 1, first}, {"second", 2, second},
        {"2^32+1", two32 + 1, {}}, {"1-2^32", 1 - two32, {}}, {"1e18", 1e18, {}},
    };
    std::vector<DateRow> dateRows;
    for (const Row &row : rows)
        dateRows.push_back(once(row.commentary, row.muzik));
    showReminder(dateRows);

    QStringList expected;
    for (const QString &commentary : listedCommentaries())
        for (const Row &row : rows)
            if (commentary == QString::fromUtf8(row.commentary) && !row.plays.isEmpty())
                expected << row.plays;
    ASSERT_EQ(expected.size(), 3);

    EXPECT_EQ(SoundLog::played(), expected.mid(0, 1));
    EXPECT_TRUE(FrmTolvin->TmrPlayAll->isActive());
    EXPECT_EQ(FrmTolvin->TmrPlayAll->interval(), 1000);
    EXPECT_EQ(FrmTolvin->ADODataSet->recNo(), 0);
    expectLocked();
    // A tick while the sound still plays only asks.
    tick();
    EXPECT_EQ(SoundLog::played(), expected.mid(0, 1));

    for (int entry = 1; entry < expected.size(); ++entry) {
        waitForSoundEnd();
        tick();
        EXPECT_EQ(SoundLog::played(), expected.mid(0, entry + 1));
        EXPECT_TRUE(FrmTolvin->TmrPlayAll->isActive());
        expectLocked();
    }
    QApplication::setActiveWindow(FrmTolvin);
    AnnouncedFocus announced;
    waitForSoundEnd();
    tick();
    EXPECT_EQ(SoundLog::played(), expected);
    expectReleased();
    EXPECT_FALSE(FrmTolvin->MediaPlayer.isDeviceOpen());
    // The grid taking the focus reads its first row.
    QCoreApplication::processEvents();
    EXPECT_EQ(announced.take(), QStringList{shortDateText(playDay)});
}

TEST_F(UShowPlaybackTest, NothingPlayableLeavesGridToBrowseAndWindowClosable)
{
    setSoundFile(1, folder.file(QStringLiteral("gone.wav")));
    showReminder({once("no sound", 0), yearly("missing file", 1), yearly("no sound either", 0)});

    expectBrowsingOnly();
    EXPECT_TRUE(ScriptedDialogs::instance().take().empty());

    EXPECT_TRUE(FrmTolvin->close());
    const std::vector<ShownMessage> shown = ScriptedDialogs::instance().take();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, ShownMessage::Modal);
    EXPECT_EQ(shown[0].text, QStringLiteral("FrmEnd"));
    EXPECT_FALSE(MuzikFile.isOpen());
}

TEST_F(UShowPlaybackTest, LockedGridTakesNoClickDoubleClickEnterOrCtrlDel)
{
    setSoundFile(1, tone(QStringLiteral("long.wav"), 3000));
    setSoundFile(2, tone(QStringLiteral("other.wav"), 100));
    showReminder({once("first", 1), yearly("second", 2)});
    ASSERT_EQ(SoundLog::played().size(), 1);
    DbGrid *grid = FrmTolvin->DBGrid;
    QWidget *viewport = grid->viewport();

    doubleClickRow(1);
    QTest::mouseClick(viewport, Qt::RightButton, {}, centreOfRow(1));
    QTest::keyClick(keyTarget(), Qt::Key_Return);
    QTest::keyClick(keyTarget(), Qt::Key_Tab);
    QTest::keyClick(keyTarget(), Qt::Key_Return);
    // Sent to the grid itself; an unexpected confirmation fails the test.
    QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
    QTest::keyClick(keyTarget(), Qt::Key_Escape);

    EXPECT_EQ(SoundLog::played().size(), 1);
    EXPECT_EQ(FrmTolvin->ADODataSet->recNo(), 0);
    EXPECT_EQ(grid->currentIndex().row(), 0);
    EXPECT_EQ(FrmTolvin->ADODataSet->recordCount(), 2);
    EXPECT_TRUE(FrmTolvin->isVisible());
    expectLocked();

    QHelpEvent hover(QEvent::ToolTip, centreOfRow(0), viewport->mapToGlobal(centreOfRow(0)));
    QCoreApplication::sendEvent(viewport, &hover);
    EXPECT_EQ(QToolTip::text(), QStringLiteral("Двойной щелчок мыши здесь или нажатие клавиши "
                                               "<Enter> воспроизведет мелодию для выбранного "
                                               "события"));
    QToolTip::hideText();
}

TEST_F(UShowPlaybackTest, ReleasedGridReplaysTheCurrentRowReadAfresh)
{
    const QString first = tone(QStringLiteral("first.wav"), 100);
    const QString second = tone(QStringLiteral("second.wav"), 100);
    const QString longer = tone(QStringLiteral("longer.wav"), 3000);
    setSoundFile(7, first);
    setSoundFile(8, second);
    showReminder({once("first", 7), yearly("second", 8), yearly("silent", 0)});
    runSequence();
    expectReleased();
    SoundLog::clear();
    DbGrid *grid = FrmTolvin->DBGrid;

    doubleClickRow(rowOf("second"));
    EXPECT_EQ(FrmTolvin->ADODataSet->recNo(), rowOf("second"));
    EXPECT_EQ(SoundLog::played(), QStringList{second});

    QTest::keyClick(grid, Qt::Key_Return);
    QTest::keyClick(grid, Qt::Key_Space);
    QTest::keyClick(grid, Qt::Key_A);
    EXPECT_EQ(SoundLog::played(), (QStringList{second, second}));

    // The editor changed the first row's sound meanwhile.
    setSoundFile(7, longer);
    QTest::keyClick(grid, Qt::Key_Home, Qt::ControlModifier);
    ASSERT_EQ(FrmTolvin->ADODataSet->recNo(), rowOf("first"));
    QTest::keyClick(grid, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(SoundLog::played(), (QStringList{second, second, longer}));
    EXPECT_EQ(FrmTolvin->MediaPlayer.mode(), MediaPlayer::Mode::Playing);

    // Its own sound again: from the start.
    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_EQ(SoundLog::played().size(), 4);
    EXPECT_LT(FrmTolvin->MediaPlayer.position(), 1000);

    // A row without sound only silences what plays.
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, centreOfRow(rowOf("silent")));
    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_EQ(SoundLog::played().size(), 4);
    EXPECT_NE(FrmTolvin->MediaPlayer.mode(), MediaPlayer::Mode::Playing);
    EXPECT_FALSE(FrmTolvin->TmrPlayAll->isActive());
}

// The parameter: the entries whose files turn out empty, so that the player
// cannot open them. Each costs one error, the others play in order, and the
// grid is released after the last, also when none could play.
class UShowBrokenEntryTest : public UShowPlaybackTest,
                             public ::testing::WithParamInterface<std::vector<int>>
{
};

TEST_P(UShowBrokenEntryTest, ShowsOneErrorEachAndTheSequenceGoesOn)
{
    for (int n = 1; n <= 3; ++n)
        setSoundFile(n, tone(QStringLiteral("%1.wav").arg(QChar(u'a' + n - 1)), 100));
    addDateRows(folder.path(), {once("a", 1), once("b", 2), once("c", 3)});
    OpenTodayEvents();
    QStringList entries;
    for (const QString &commentary : listedCommentaries())
        entries << folder.file(commentary + QStringLiteral(".wav"));
    QStringList expected;
    QStringList brokenFiles;
    for (int entry = 0; entry < entries.size(); ++entry) {
        const bool broken = std::count(GetParam().begin(), GetParam().end(), entry) != 0;
        if (broken) {
            folder.write(QFileInfo(entries.at(entry)).fileName(), QByteArray());
            brokenFiles << entries.at(entry);
        } else {
            expected << entries.at(entry);
        }
    }
    FrmTolvin->showNonModal();

    QStringList errors = ScriptedDialogs::instance().takeTexts();
    for (const QStringList &shown : runSequence())
        errors << shown;
    ASSERT_EQ(errors.size(), brokenFiles.size()) << errors.join(QLatin1String(" | ")).toStdString();
    for (qsizetype i = 0; i < errors.size(); ++i)
        EXPECT_TRUE(errors.at(i).contains(QStringLiteral("«%1»").arg(brokenFiles.at(i))))
            << errors.at(i).toStdString();
    EXPECT_EQ(SoundLog::played(), expected);
    expectReleased();
}

INSTANTIATE_TEST_SUITE_P(FirstMiddleLastAndAll, UShowBrokenEntryTest,
                         ::testing::Values(std::vector<int>{0}, std::vector<int>{1},
                                           std::vector<int>{2}, std::vector<int>{0, 1, 2}));

// Without a sound device the sequence waits for one on its ticks; the
// device either comes, or the player's error is shown once and the window
// goes on without sound. SDL takes its driver when the device first opens,
// so each case runs in a child process whose driver cannot open.
TEST_F(UShowPlaybackTest, DISABLED_NoDeviceChildGivesUp)
{
    if (qEnvironmentVariable("SDL_AUDIODRIVER") != QLatin1String("nosuchdriver"))
        GTEST_SKIP() << "runs only as a child of WaitsForTheSoundDevice";
    SoundDevice::setRetryPeriod(3600 * 1000);
    setSoundFile(1, tone(QStringLiteral("a.wav"), 100));
    showReminder({once("a", 1), yearly("b", 1), yearly("c", 0)});
    for (int ticks = 0; ticks < 2; ++ticks) {
        EXPECT_TRUE(FrmTolvin->TmrPlayAll->isActive());
        expectLocked();
        EXPECT_TRUE(ScriptedDialogs::instance().take().empty());
        tick();
    }
    SoundDevice::setRetryPeriod(0);
    tick();
    const QStringList shown = ScriptedDialogs::instance().takeTexts();
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].startsWith(QStringLiteral("Не удалось открыть звуковое устройство. ")))
        << shown[0].toStdString();
    EXPECT_TRUE(shown[0].contains(QLatin1String("nosuchdriver"))) << shown[0].toStdString();
    expectBrowsingOnly();
}

TEST_F(UShowPlaybackTest, DISABLED_NoDeviceChildLateDevice)
{
    if (qEnvironmentVariable("SDL_AUDIODRIVER") != QLatin1String("nosuchdriver"))
        GTEST_SKIP() << "runs only as a child of WaitsForTheSoundDevice";
    SoundDevice::setRetryPeriod(3600 * 1000);
    const QString first = tone(QStringLiteral("first.wav"), 100);
    const QString second = tone(QStringLiteral("second.wav"), 100);
    setSoundFile(1, first);
    setSoundFile(2, second);
    showReminder({once("first", 1), yearly("second", 2)});
    tick();
    EXPECT_TRUE(SoundLog::played().isEmpty());
    expectLocked();
    qputenv("SDL_AUDIODRIVER", "dummy");
    tick();
    EXPECT_EQ(SoundLog::played(), QStringList{first});
    expectLocked();
    for (const QStringList &shown : runSequence())
        EXPECT_TRUE(shown.isEmpty()) << shown.join(QLatin1String(" | ")).toStdString();
    EXPECT_EQ(SoundLog::played(), (QStringList{first, second}));
    expectReleased();
}

TEST(UShowNoDevice, WaitsForTheSoundDevice)
{
    for (const char *child : {"GivesUp", "LateDevice"}) {
        SCOPED_TRACE(child);
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("nosuchdriver"));
        process.setProcessEnvironment(env);
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(QCoreApplication::applicationFilePath(),
                      {QStringLiteral("--gtest_also_run_disabled_tests"),
                       QStringLiteral("--gtest_filter=UShowPlaybackTest.DISABLED_NoDeviceChild") +
                           QLatin1String(child)});
        ASSERT_TRUE(process.waitForFinished(60000));
        const QByteArray output = process.readAll();
        EXPECT_EQ(process.exitCode(), 0) << output.toStdString();
        EXPECT_TRUE(output.contains("[  PASSED  ] 1 test.")) << output.toStdString();
    }
}

TEST_F(UShowPlaybackTest, ClosingWhilePlayingStopsTheSoundAndShowsTheClosingDialog)
{
    setSoundFile(1, tone(QStringLiteral("long.wav"), 3000));
    setSoundFile(2, tone(QStringLiteral("next.wav"), 100));
    showReminder({once("long", 1), yearly("next", 2)});
    ASSERT_EQ(FrmTolvin->MediaPlayer.mode(), MediaPlayer::Mode::Playing);

    // The close box and Alt+F4 both come as a close request.
    FrmTolvin->close();
    EXPECT_FALSE(FrmTolvin->MediaPlayer.isDeviceOpen());
    EXPECT_FALSE(FrmTolvin->TmrPlayAll->isActive());
    EXPECT_FALSE(MuzikFile.isOpen());
    EXPECT_TRUE(FrmEnd->isVisible());
    const std::vector<ShownMessage> shown = ScriptedDialogs::instance().take();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, ShownMessage::Modal);
    EXPECT_EQ(shown[0].text, QStringLiteral("FrmEnd"));
    // No tick runs on after the close.
    tick();
    EXPECT_EQ(SoundLog::played().size(), 1);
}

TEST_F(UShowPlaybackTest, FailedCloseOfMuzikFileIsShownAndTheClosingDialogFollows)
{
    showReminder({once("no sound", 0)});
    MuzikFile.close();

    FrmTolvin->close();
    const std::vector<ShownMessage> shown = ScriptedDialogs::instance().take();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].kind, ShownMessage::Error);
    EXPECT_EQ(shown[0].text, errorMessageText(InOutError::messageFor(103)));
    EXPECT_EQ(shown[1].kind, ShownMessage::Modal);
    EXPECT_EQ(shown[1].text, QStringLiteral("FrmEnd"));
}

TEST_F(UShowPlaybackTest, CtrlDelInReleasedGridDeletesTheRowAfterConfirmation)
{
    setSoundFile(1, tone(QStringLiteral("short.wav"), 100));
    showReminder({once("keep", 1), yearly("delete me", 0)});
    runSequence();
    expectReleased();
    DbGrid *grid = FrmTolvin->DBGrid;
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, centreOfRow(rowOf("delete me")));

    ScriptedDialogs::instance().answerConfirm(false);
    QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(FrmTolvin->ADODataSet->recordCount(), 2);

    ScriptedDialogs::instance().answerConfirm(true);
    QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
    const std::vector<ShownMessage> shown = ScriptedDialogs::instance().take();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[1].kind, ShownMessage::Confirm);
    EXPECT_EQ(shown[1].text, QStringLiteral("Delete record?"));
    EXPECT_EQ(shown[1].caption, QStringLiteral("Confirm"));

    OpenTodayEvents();
    EXPECT_EQ(listedCommentaries(), QStringList{QStringLiteral("keep")});
}

TEST_F(UShowPlaybackTest, ReplayAfterEveryRowWasDeletedOnlySilencesWhatPlays)
{
    setSoundFile(1, tone(QStringLiteral("short.wav"), 100));
    showReminder({once("only", 1)});
    runSequence();
    expectReleased();
    DbGrid *grid = FrmTolvin->DBGrid;
    setSoundFile(1, tone(QStringLiteral("long.wav"), 3000));
    QTest::keyClick(grid, Qt::Key_Return);
    ASSERT_EQ(FrmTolvin->MediaPlayer.mode(), MediaPlayer::Mode::Playing);

    ScriptedDialogs::instance().answerConfirm(true);
    QTest::keyClick(grid, Qt::Key_Delete, Qt::ControlModifier);
    ASSERT_TRUE(FrmTolvin->ADODataSet->isEmpty());
    ASSERT_EQ(ScriptedDialogs::instance().take().size(), 1u);
    SoundLog::clear();

    // No row is current any more: a replay request finds no sound.
    QTest::keyClick(grid, Qt::Key_Return);
    EXPECT_NE(FrmTolvin->MediaPlayer.mode(), MediaPlayer::Mode::Playing);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, QPoint(20, 20));
    EXPECT_TRUE(SoundLog::played().isEmpty());
    EXPECT_TRUE(ScriptedDialogs::instance().take().empty());
}

TEST_F(UShowPlaybackTest, TypedCharactersDoNotMoveTheReleasedGridsCurrentRow)
{
    setSoundFile(1, tone(QStringLiteral("short.wav"), 100));
    showReminder({once("first", 1), once("second", 0), yearly("third", 0)});
    runSequence();
    expectReleased();
    DbGrid *grid = FrmTolvin->DBGrid;
    QAbstractItemModel *model = grid->model();
    // What the rows begin with in either visible column.
    const QString dateText = model->data(model->index(1, 0)).toString();
    typeText(grid, dateText.left(3) + QStringLiteral("st"));
    EXPECT_EQ(FrmTolvin->ADODataSet->recNo(), 0);
    EXPECT_EQ(grid->currentIndex().row(), 0);
}

} // namespace
