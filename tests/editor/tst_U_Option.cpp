// The options window driven headless through the main window's "Опции",
// checked against the bytes of "option.dat" and the autostart entry it
// leaves in temporary folders; and the shortening of sound file paths.
#include "U_Karvel.h"
#include "U_Option.h"
#include "autorun.h"
#include "autostart.h"
#include "calendar.h"
#include "editortest.h"
#include "karvel_app.h"
#include "programfolder.h"
#include "records.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTableWidget>
#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <optional>

namespace
{

const QString missingSound = QStringLiteral("Неверно указан путь к звуковому файлу!");
const QString wrongOld = QStringLiteral("Неверный старый пароль!");
const QString notConfirmed = QStringLiteral("Подтверждение нового пароля не выполнено!");

// What a rewrite of that record leaves: only the length byte and the
// characters of the password change besides the date.
QByteArray rewrittenBytes(const QString &before, const QString &after, QDate next)
{
    OptionsRecord record;
    record.bytes.fill(0x5a);
    record.setPassword(before);
    record.setPassword(after);
    record.setNextDate(Calendar::fromDate(next));
    return QByteArray(reinterpret_cast<const char *>(record.bytes.data()), OptionsRecord::size);
}

class OptionWindowTest : public EditorTest
{
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        folder.addEmptyDatabase();
        addDefaultSound();
    }

    // "muzikdan.dat" with the default events, some paths replaced.
    void writeSoundEvents(const std::map<int, QString> &paths)
    {
        QByteArray bytes;
        for (int n = 1; n <= Records::soundEventCount; ++n) {
            SoundEventRecord record = SoundEventRecord::defaults(n, folder.path());
            if (auto it = paths.find(n); it != paths.end())
                record.setPath(it->second);
            bytes.append(reinterpret_cast<const char *>(record.bytes.data()),
                         SoundEventRecord::size);
        }
        folder.write("muzikdan.dat", bytes);
    }

    void start()
    {
        CreateEditorWindows();
        FrmKarvel->showNonModal();
        ASSERT_TRUE(ScriptedDialogs::instance().take().empty());
    }

    void showOptions()
    {
        FrmKarvel->BitOption->click();
        expectShownModally(QStringLiteral("FrmOption"), FrmOption);
    }

    void type(QLineEdit *edit, const QString &text)
    {
        edit->setFocus();
        typeText(edit, text);
    }

    std::vector<int> selectedGridRows()
    {
        std::vector<int> rows;
        for (const QModelIndex &index : FrmOption->GrdMuzik->selectionModel()->selectedRows())
            rows.push_back(index.row() + 1);
        return rows;
    }

    QString entryFile() const { return AutoStart::entryPath(autoRunValueName()); }
};

TEST_F(OptionWindowTest, CreationFillsTheGridAndPlacesTheWindow)
{
    const QString longPath =
        folder.path() + QStringLiteral("Music/Family/Jubilees/Grandmother/2009/Songs/"
                                       "Happy birthday to you.wav");
    writeSoundEvents({{5, longPath}, {20, QString()}});
    start();

    EXPECT_EQ(FrmOption->soundCell(0, 0), QStringLiteral("Наименование события"));
    EXPECT_EQ(FrmOption->soundCell(1, 0), QStringLiteral("Звуковой файл, соответстующий событию"));
    EXPECT_EQ(FrmOption->GrdMuzik->rowCount(), 20);
    EXPECT_EQ(FrmOption->soundCell(0, 1), QStringLiteral("Событие 01"));
    EXPECT_EQ(FrmOption->soundCell(1, 1), folder.file("sound/sub.wav"));
    EXPECT_EQ(FrmOption->soundCell(0, 5), QStringLiteral("Событие 05"));
    EXPECT_EQ(FrmOption->soundCell(1, 5), ShortenPath(longPath));
    EXPECT_NE(FrmOption->soundCell(1, 5), longPath);
    EXPECT_EQ(FrmOption->soundCell(0, 20), QStringLiteral("Событие 20"));
    EXPECT_EQ(FrmOption->soundCell(1, 20), QString());
    EXPECT_EQ(FrmOption->currentSoundRow(), 1);
    EXPECT_EQ(FrmOption->GrdMuzik->columnWidth(0), 241);
    EXPECT_EQ(FrmOption->GrdMuzik->columnWidth(1), 389);

    showOptions();
    EXPECT_EQ(FrmOption->windowTitle(), QStringLiteral("Опции"));
    EXPECT_EQ(FrmOption->size(), QSize(682, 396));
    // Where designed, moved in as far as a narrow screen (the headless
    // one is 800 pixels wide) needs to show the frame's right edge.
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(FrmOption->pos(),
              QPoint(std::min(193, screen.right() + 1 - FrmOption->frameGeometry().width()), 117));
    EXPECT_TRUE(FrmOption->OptionFile.isOpen());
    FrmOption->CmdCancel->click();
    EXPECT_FALSE(FrmOption->isVisible());
    EXPECT_FALSE(FrmOption->OptionFile.isOpen());
}

TEST_F(OptionWindowTest, OkWithEverySoundFileSavesTodayAndKeepsThePassword)
{
    folder.write("option.dat", optionBytes(QStringLiteral("Secret"), QDate(2026, 12, 1)));
    start();
    showOptions();
    EXPECT_TRUE(FrmOption->TxtPassword->text().isEmpty());
    EXPECT_FALSE(FrmOption->ChkAutoRun->isChecked());
    FrmOption->ChkAutoRun->setChecked(true);
    FrmOption->GrdMuzik->setCurrentCell(4, 0);

    FrmOption->CmdOk->click();
    EXPECT_TRUE(ScriptedDialogs::instance().take().empty());
    EXPECT_FALSE(FrmOption->isVisible());
    EXPECT_FALSE(FrmOption->OptionFile.isOpen());

    // Only the date changes: the reminder is due again today.
    QByteArray expected = optionBytes(QStringLiteral("Secret"), QDate(2026, 12, 8));
    EXPECT_EQ(folder.read("option.dat"), expected);
    EXPECT_TRUE(QFile::exists(entryFile()));

    // Shown again: empty boxes, row 1 current (Ok selected it), the entry seen.
    type(FrmOption->TxtPassword, QStringLiteral("abc"));
    showOptions();
    EXPECT_TRUE(FrmOption->TxtPassword->text().isEmpty());
    EXPECT_EQ(FrmOption->currentSoundRow(), 1);
    EXPECT_TRUE(FrmOption->ChkAutoRun->isChecked());
    FrmOption->CmdCancel->click();
}

TEST_F(OptionWindowTest, OkUsesThePasswordStoredWhileTheWindowWasOpen)
{
    folder.write("option.dat", optionBytes(QStringLiteral("old"), QDate(2026, 12, 1)));
    start();
    showOptions();
    // Another editor stores a new password meanwhile: Ok keeps it.
    folder.write("option.dat", optionBytes(QStringLiteral("new"), QDate(2026, 12, 1)));
    FrmOption->CmdOk->click();
    EXPECT_TRUE(ScriptedDialogs::instance().take().empty());
    EXPECT_EQ(folder.read("option.dat"), optionBytes(QStringLiteral("new"), QDate(2026, 12, 8)));

    // The old password is checked against the stored one too.
    showOptions();
    folder.write("option.dat", optionBytes(QStringLiteral("newer"), QDate(2026, 12, 1)));
    type(FrmOption->TxtPassword, QStringLiteral("newer"));
    type(FrmOption->TxtPasswordNew, QStringLiteral("x"));
    type(FrmOption->TxtPasswordNewNew, QStringLiteral("x"));
    FrmOption->CmdOk->click();
    EXPECT_TRUE(ScriptedDialogs::instance().take().empty());
    EXPECT_EQ(folder.read("option.dat"),
              rewrittenBytes(QStringLiteral("newer"), QStringLiteral("x"), QDate(2026, 12, 8)));
}

struct AutoStartCase {
    bool entryBefore;
    bool checked;
    bool entryAfter;
};

void PrintTo(const AutoStartCase &c, std::ostream *out)
{
    *out << "entry " << c.entryBefore << ", checked " << c.checked;
}

class OptionAutoStartTest : public OptionWindowTest,
                            public ::testing::WithParamInterface<AutoStartCase>
{
};

TEST_P(OptionAutoStartTest, OkAddsOrRemovesTheEntryOnlyWhenNeeded)
{
    const AutoStartCase c = GetParam();
    // An entry of another program folder: an existing one is never rewritten.
    const QByteArray foreign = "[Desktop Entry]\nExec=/elsewhere/tolvin\n";
    if (c.entryBefore) {
        QDir().mkpath(QFileInfo(entryFile()).path());
        QFile file(entryFile());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(foreign);
    }
    start();
    showOptions();
    EXPECT_EQ(FrmOption->ChkAutoRun->isChecked(), c.entryBefore);
    FrmOption->ChkAutoRun->setChecked(c.checked);
    FrmOption->CmdOk->click();
    EXPECT_FALSE(FrmOption->isVisible());
    EXPECT_EQ(QFile::exists(entryFile()), c.entryAfter);
    if (c.entryBefore && c.entryAfter) {
        QFile file(entryFile());
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_EQ(file.readAll(), foreign);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, OptionAutoStartTest,
                         ::testing::Values(AutoStartCase{false, false, false},
                                           AutoStartCase{false, true, true},
                                           AutoStartCase{true, false, false},
                                           AutoStartCase{true, true, true}));

TEST_F(OptionWindowTest, AutostartEntrySwitchedOffByTheDesktopShowsUnchecked)
{
    QDir().mkpath(QFileInfo(entryFile()).path());
    QFile file(entryFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Desktop Entry]\nExec=/elsewhere/tolvin\nHidden=true\n");
    file.close();
    start();
    showOptions();
    EXPECT_FALSE(FrmOption->ChkAutoRun->isChecked());
    FrmOption->ChkAutoRun->setChecked(true);
    FrmOption->CmdOk->click();
    // Replaced by an entry that starts this folder's reminder.
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray entry = file.readAll();
    EXPECT_FALSE(entry.contains("Hidden")) << entry.constData();
    EXPECT_TRUE(entry.contains(QFile::encodeName(folder.file("tolvin")))) << entry.constData();
}

TEST_F(OptionWindowTest, MissingSoundFilesStopOkAtTheFirst)
{
    writeSoundEvents({{7, folder.file("sound/gone.wav")}, {12, folder.file("sound/lost.wav")}});
    const QByteArray before = optionBytes(QStringLiteral("Secret"), QDate(2026, 12, 1));
    folder.write("option.dat", before);
    start();
    showOptions();
    // A wrong old password at the same time is not reported.
    type(FrmOption->TxtPassword, QStringLiteral("wrong"));
    FrmOption->ChkAutoRun->setChecked(true);

    QApplication::setActiveWindow(FrmOption);
    AnnouncedFocus announced;
    FrmOption->CmdOk->click();
    expectMessage(missingSound);
    EXPECT_EQ(FrmOption->currentSoundRow(), 7);
    EXPECT_EQ(selectedGridRows(), std::vector<int>{7});
    EXPECT_EQ(FrmOption->focusWidget(), FrmOption->GrdMuzik);
    QCoreApplication::processEvents();
    EXPECT_EQ(announced.take(), QStringList{QStringLiteral("Событие 07")});
    EXPECT_TRUE(FrmOption->isVisible());
    EXPECT_EQ(folder.read("option.dat"), before);
    EXPECT_FALSE(QFile::exists(entryFile()));
    EXPECT_EQ(FrmOption->TxtPassword->text(), QStringLiteral("wrong"));
    FrmOption->CmdCancel->click();
}

TEST_F(OptionWindowTest, EmptyPathOrFolderCountsAsMissing)
{
    const std::pair<int, QString> cases[] = {
        {20, QString()},
        {3, folder.file("sound")},
        {1, folder.file("sound/")},
        {9, folder.file("sound/sub.wav/")},
    };
    for (const auto &[row, path] : cases) {
        SCOPED_TRACE(path.toStdString());
        writeSoundEvents({{row, path}});
        start();
        showOptions();
        FrmOption->CmdOk->click();
        expectMessage(missingSound);
        EXPECT_EQ(FrmOption->currentSoundRow(), row);
        EXPECT_TRUE(FrmOption->isVisible());
        FrmOption->CmdCancel->click();
        deleteWindows();
    }
}

// The default sound paths name the Program folder: in a folder whose path
// Windows-1251 holds, Ok saves; in one it cannot hold they were stored with
// "?", and Ok says that the folder is the reason.
TEST_F(OptionWindowTest, ProgramFolderThatCannotBeStoredIsGivenAsTheReason)
{
    const struct {
        const char *name;
        std::optional<QString> message; // none: saved
    } cases[] = {
        {"Мои напоминания", std::nullopt},
        {"Müzik", QStringLiteral("Путь к папке программы содержит символы, которые невозможно "
                                 "сохранить! Переместите программу в папку, путь к которой "
                                 "состоит только из русских и латинских букв, цифр и обычных "
                                 "знаков.")},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        const QString programFolder = folder.file(QString::fromUtf8(c.name)) + QLatin1Char('/');
        ASSERT_TRUE(QDir().mkpath(programFolder + QStringLiteral("sound")));
        ASSERT_TRUE(QFile::copy(folder.file("Dates.mdb"), programFolder + "Dates.mdb"));
        ASSERT_TRUE(QFile::copy(folder.file("sound/sub.wav"), programFolder + "sound/sub.wav"));
        ProgramFolder::setOverride(programFolder);
        start();
        showOptions();
        FrmOption->CmdOk->click();
        if (c.message) {
            expectMessage(*c.message);
            EXPECT_TRUE(FrmOption->isVisible());
            FrmOption->CmdCancel->click();
        } else {
            EXPECT_TRUE(ScriptedDialogs::instance().take().empty());
            EXPECT_FALSE(FrmOption->isVisible());
        }
        deleteWindows();
    }
    ProgramFolder::setOverride(folder.path());
}

struct PasswordCase {
    const char *title;
    QString stored;
    QString oldText;
    QString newText;
    QString confirmation;
    std::optional<QString> message; // none: saved
    QString storedAfter;
};

void PrintTo(const PasswordCase &c, std::ostream *out)
{
    *out << c.title;
}

class OptionPasswordTest : public OptionWindowTest,
                           public ::testing::WithParamInterface<PasswordCase>
{
};

TEST_P(OptionPasswordTest, PasswordRules)
{
    const PasswordCase c = GetParam();
    const QByteArray before = optionBytes(c.stored, QDate(2026, 12, 1));
    folder.write("option.dat", before);
    start();
    showOptions();
    FrmOption->GrdMuzik->setCurrentCell(4, 0);
    type(FrmOption->TxtPassword, c.oldText);
    type(FrmOption->TxtPasswordNew, c.newText);
    type(FrmOption->TxtPasswordNewNew, c.confirmation);
    FrmOption->CmdOk->click();

    // The sound files were all found, so the grid is back at row 1.
    EXPECT_EQ(FrmOption->currentSoundRow(), 1);
    if (!c.message) {
        EXPECT_TRUE(ScriptedDialogs::instance().take().empty());
        EXPECT_FALSE(FrmOption->isVisible());
        EXPECT_EQ(folder.read("option.dat"),
                  rewrittenBytes(c.stored, c.storedAfter, QDate(2026, 12, 8)));
        return;
    }
    expectMessage(*c.message);
    QLineEdit *box = *c.message == wrongOld ? FrmOption->TxtPassword : FrmOption->TxtPasswordNewNew;
    EXPECT_EQ(FrmOption->focusWidget(), box);
    EXPECT_EQ(box->selectionLength(), box->text().size());
    if (!box->text().isEmpty()) {
        EXPECT_EQ(box->selectionStart(), 0);
    }
    EXPECT_TRUE(FrmOption->isVisible());
    EXPECT_EQ(folder.read("option.dat"), before);
    FrmOption->CmdCancel->click();
    EXPECT_EQ(folder.read("option.dat"), before);
}

const QString secret = QStringLiteral("Secret");
const QString twenty = QStringLiteral("Пароль-из-20-знаков!");

INSTANTIATE_TEST_SUITE_P(
    Cases, OptionPasswordTest,
    ::testing::Values(
        PasswordCase{"NewOverEmpty",
                     {},
                     {},
                     QStringLiteral("abc"),
                     QStringLiteral("abc"),
                     {},
                     QStringLiteral("abc")},
        PasswordCase{"ClearedByEmptyNew", secret, secret, {}, {}, {}, {}},
        PasswordCase{"CyrillicNew",
                     secret,
                     secret,
                     QStringLiteral("Ключ"),
                     QStringLiteral("Ключ"),
                     {},
                     QStringLiteral("Ключ")},
        PasswordCase{"TwentyCharacters", {}, {}, twenty, twenty, {}, twenty},
        PasswordCase{"OnlyConfirmation", {}, {}, {}, QStringLiteral("x"), notConfirmed, {}},
        PasswordCase{"ConfirmationDiffers",
                     secret,
                     secret,
                     QStringLiteral("a"),
                     QStringLiteral("b"),
                     notConfirmed,
                     {}},
        PasswordCase{"OldDiffersInCase",
                     secret,
                     QStringLiteral("secret"),
                     QStringLiteral("a"),
                     QStringLiteral("a"),
                     wrongOld,
                     {}},
        PasswordCase{
            "OldWithTrailingBlank", secret, QStringLiteral("Secret "), {}, {}, wrongOld, {}},
        PasswordCase{
            "OldMissing", secret, {}, QStringLiteral("a"), QStringLiteral("a"), wrongOld, {}}),
    [](const ::testing::TestParamInfo<PasswordCase> &info) { return info.param.title; });

TEST_F(OptionWindowTest, PasswordBoxesTakeTwentyCharactersOfWindows1251)
{
    start();
    showOptions();
    for (QLineEdit *box :
         {FrmOption->TxtPassword, FrmOption->TxtPasswordNew, FrmOption->TxtPasswordNewNew}) {
        EXPECT_EQ(box->echoMode(), QLineEdit::Password);
        // Every character shows as a star.
        EXPECT_EQ(box->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, box),
                  int(u'*'));
        type(box, QStringLiteral("ab☺cЁ€") + QString(30, QLatin1Char('x')));
        EXPECT_EQ(box->text(), QStringLiteral("abcЁ€") + QString(15, QLatin1Char('x')));
    }
    FrmOption->CmdCancel->click();
}

TEST_F(OptionWindowTest, CancelAndEscapeSaveNothingAndKeepTheCurrentRow)
{
    const QByteArray before = optionBytes(QStringLiteral("Secret"), QDate(2026, 12, 1));
    folder.write("option.dat", before);
    start();
    showOptions();
    FrmOption->GrdMuzik->setCurrentCell(8, 0);
    type(FrmOption->TxtPassword, QStringLiteral("Secret"));
    type(FrmOption->TxtPasswordNew, QStringLiteral("n"));
    type(FrmOption->TxtPasswordNewNew, QStringLiteral("n"));
    FrmOption->ChkAutoRun->setChecked(true);
    FrmOption->CmdCancel->click();
    EXPECT_FALSE(FrmOption->isVisible());
    EXPECT_FALSE(FrmOption->OptionFile.isOpen());
    EXPECT_EQ(folder.read("option.dat"), before);
    EXPECT_FALSE(QFile::exists(entryFile()));

    showOptions();
    EXPECT_EQ(FrmOption->currentSoundRow(), 9);
    EXPECT_TRUE(FrmOption->TxtPasswordNew->text().isEmpty());
    EXPECT_FALSE(FrmOption->ChkAutoRun->isChecked());
    QTest::keyClick(FrmOption->TxtPassword, Qt::Key_Escape);
    EXPECT_FALSE(FrmOption->isVisible());
    EXPECT_FALSE(FrmOption->OptionFile.isOpen());
    EXPECT_EQ(folder.read("option.dat"), before);
}

TEST_F(OptionWindowTest, UnreadableOptionFileIsReportedAndNothingIsSaved)
{
    struct Case {
        const char *title;
        bool makeFolder;
        QString error;
    };
    const Case cases[] = {
        {"folder in its place", true, QStringLiteral("I/O error 103.")},
        {"empty file", false, QStringLiteral("Read beyond end of file.")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.title);
        start();
        ASSERT_TRUE(QFile::remove(folder.file("option.dat")));
        if (c.makeFolder)
            ASSERT_TRUE(QDir(folder.path()).mkdir(QStringLiteral("option.dat")));
        else
            folder.write("option.dat", QByteArray());

        FrmKarvel->BitOption->click();
        auto shown = ScriptedDialogs::instance().take();
        ASSERT_EQ(shown.size(), 2u);
        EXPECT_EQ(shown[1].kind, ShownMessage::Error);
        EXPECT_EQ(shown[1].text, c.error);
        EXPECT_TRUE(FrmOption->isVisible());

        FrmOption->ChkAutoRun->setChecked(true);
        FrmOption->CmdOk->click();
        EXPECT_EQ(ScriptedDialogs::instance().takeTexts(), QStringList{c.error});
        EXPECT_TRUE(FrmOption->isVisible());
        EXPECT_FALSE(QFile::exists(entryFile()));
        if (!c.makeFolder) {
            EXPECT_TRUE(folder.read("option.dat").isEmpty());
        }

        FrmOption->CmdCancel->click();
        EXPECT_TRUE(ScriptedDialogs::instance().take().empty());
        EXPECT_FALSE(FrmOption->isVisible());

        deleteWindows();
        QDir(folder.file("option.dat")).removeRecursively();
        QFile::remove(folder.file("option.dat"));
    }
}

TEST_F(OptionWindowTest, FailedAutostartWriteComesAfterTheRecordIsWritten)
{
    configHome.block();
    folder.write("option.dat", optionBytes(QStringLiteral("Secret"), QDate(2026, 12, 1)));
    start();
    showOptions();
    FrmOption->ChkAutoRun->setChecked(true);
    FrmOption->CmdOk->click();
    EXPECT_EQ(ScriptedDialogs::instance().takeTexts(),
              QStringList{QStringLiteral("Failed to set data for 'Orvista (Orvista) 2'")});
    EXPECT_EQ(folder.read("option.dat"), optionBytes(QStringLiteral("Secret"), QDate(2026, 12, 8)));
    EXPECT_TRUE(FrmOption->isVisible());
    FrmOption->CmdCancel->click();
}

struct ShortenCase {
    const char *title;
    QString path;
    int pathLength;
    QString shown;
    int shownLength;
};

void PrintTo(const ShortenCase &c, std::ostream *out)
{
    *out << c.title;
}

class ShortenPathTest : public ::testing::TestWithParam<ShortenCase>
{
};

TEST_P(ShortenPathTest, Shortens)
{
    const ShortenCase c = GetParam();
    ASSERT_EQ(c.path.size(), c.pathLength);
    EXPECT_EQ(ShortenPath(c.path), c.shown);
    EXPECT_EQ(ShortenPath(c.path).size(), c.shownLength);
}

const QString head25 = QStringLiteral("D:/Music/Family/Jubilees/");
const QString rest46 = QStringLiteral("Grandmother/2009/Songs/Happy birthday to y.wav");
const QString name70 = QString(66, QLatin1Char('n')) + QStringLiteral(".wav");
const QString name80 = QString(76, QLatin1Char('n')) + QStringLiteral(".wav");
const QString seventy =
    QStringLiteral("/home/user/Music/") + QString(49, QLatin1Char('s')) + QStringLiteral(".wav");

INSTANTIATE_TEST_SUITE_P(
    Cases, ShortenPathTest,
    ::testing::Values(
        ShortenCase{"Empty", {}, 0, {}, 0}, ShortenCase{"Seventy", seventy, 70, seventy, 70},
        ShortenCase{"Example",
                    head25 + QStringLiteral("Grandmother/2009/Songs/Happy birthday "
                                            "to you.wav"),
                    73, head25 + QStringLiteral(".../2009/Songs/Happy birthday to you.wav"), 65},
        ShortenCase{"NothingCutFromTheRest", head25 + rest46, 71,
                    head25 + QStringLiteral(".../") + rest46, 75},
        ShortenCase{"ShortFolderPart", QStringLiteral("/a/") + name70, 73,
                    QStringLiteral("/a/.../") + name70, 77},
        ShortenCase{"LongFileName", QStringLiteral("/home/u/") + name80, 88,
                    QStringLiteral("/home/u/.../") + name80, 92},
        ShortenCase{"NoSeparator", name80, 80, QStringLiteral(".../") + name80, 84}),
    [](const ::testing::TestParamInfo<ShortenCase> &info) { return info.param.title; });

} // namespace
