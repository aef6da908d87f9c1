// The sound-event dialog opened from the options window's "Изменить",
// checked against the records it leaves in a temporary "muzikdan.dat", the
// options grid and the add/edit dialog's list.
#include "U_Edit.h"
#include "U_Karvel.h"
#include "U_MuzikSelect.h"
#include "U_Option.h"
#include "editortest.h"
#include "karvel_app.h"
#include "mediaplayer.h"
#include "records.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace
{

class SoundEventDialogTest : public EditorTest
{
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        folder.addEmptyDatabase();
        addDefaultSound();
        CreateEditorWindows();
        FrmKarvel->showNonModal();
        FrmKarvel->BitOption->click();
        ASSERT_EQ(ScriptedDialogs::instance().take().size(), 1u);
        ASSERT_TRUE(FrmOption->isVisible());
    }

    // "Изменить" for grid row `row`.
    void openFor(int row)
    {
        FrmOption->GrdMuzik->setCurrentCell(row - 1, 0);
        FrmOption->BtnChangeMuzik->click();
        expectShownModally(QStringLiteral("FrmMuzikSelect"), FrmMuzikSelect);
    }

    // "Выбрать" answered with `path`.
    void choose(const QString &path)
    {
        ScriptedDialogs::instance().answerFile(path);
        FrmMuzikSelect->BtnSelectFileWav->click();
        const auto shown = ScriptedDialogs::instance().take();
        ASSERT_EQ(shown.size(), 1u);
        EXPECT_EQ(shown[0].kind, ShownMessage::FileChooser);
    }

    void rename(const QString &name)
    {
        FrmMuzikSelect->TxtSub->clear();
        typeText(FrmMuzikSelect->TxtSub, name);
    }

    // Sound event n as "muzikdan.dat" now holds it.
    SoundEventRecord stored(int n)
    {
        const QByteArray bytes = folder.read("muzikdan.dat");
        SoundEventRecord record;
        std::copy_n(bytes.constData() + (n - 1) * SoundEventRecord::size, SoundEventRecord::size,
                    reinterpret_cast<char *>(record.bytes.data()));
        return record;
    }
};

TEST_F(SoundEventDialogTest, ShowsTheRecordOfTheCurrentRow)
{
    for (int row : {1, 7, 20}) {
        SCOPED_TRACE(row);
        openFor(row);
        EXPECT_EQ(FrmMuzikSelect->TxtSub->text(), stored(row).name());
        EXPECT_EQ(FrmMuzikSelect->TxtMuzFile->text(), folder.file("sound/sub.wav"));
        EXPECT_EQ(FrmMuzikSelect->focusWidget(), FrmMuzikSelect->TxtSub);
        EXPECT_TRUE(FrmMuzikSelect->TxtMuzFile->isReadOnly());
        FrmMuzikSelect->BtnCancel->click();
        EXPECT_FALSE(FrmMuzikSelect->isVisible());
    }
}

TEST_F(SoundEventDialogTest, OkWritesTheRecordAtOnceAndUpdatesGridAndList)
{
    const QString path = folder.file("sound/Семья/Юбилеи/Бабушка/2009/Песни/С днём рождения.wav");
    QDir().mkpath(QFileInfo(path).path());
    writeToneWav(path, 20);
    const QByteArray before = folder.read("muzikdan.dat");
    FrmOption->TxtPassword->setText(QStringLiteral("typed"));

    openFor(20);
    rename(QStringLiteral("Юбилей бабушки"));
    choose(path);
    EXPECT_EQ(FrmMuzikSelect->TxtMuzFile->text(), path);
    // Nothing is written before Ok.
    EXPECT_EQ(folder.read("muzikdan.dat"), before);
    FrmMuzikSelect->BtnOk->click();
    EXPECT_FALSE(FrmMuzikSelect->isVisible());

    const QByteArray after = folder.read("muzikdan.dat");
    ASSERT_EQ(after.size(), before.size());
    EXPECT_EQ(after.left(19 * SoundEventRecord::size), before.left(19 * SoundEventRecord::size));
    EXPECT_EQ(stored(20).name(), QStringLiteral("Юбилей бабушки"));
    EXPECT_EQ(stored(20).path(), path);

    EXPECT_EQ(FrmOption->soundCell(0, 20), QStringLiteral("Юбилей бабушки"));
    EXPECT_EQ(FrmOption->soundCell(1, 20), ShortenPath(path));
    EXPECT_NE(FrmOption->soundCell(1, 20), path);
    EXPECT_EQ(FrmEdit->CmbMuzSub->count(), 21);
    EXPECT_EQ(FrmEdit->CmbMuzSub->itemText(20), QStringLiteral("Юбилей бабушки"));
    EXPECT_EQ(FrmEdit->CmbMuzSub->itemText(19), QStringLiteral("Событие 19"));
    EXPECT_EQ(FrmEdit->CmbMuzSub->currentIndex(), -1);
    EXPECT_EQ(FrmOption->TxtPassword->text(), QStringLiteral("typed"));

    // The change stays whatever the options window does next.
    FrmOption->CmdCancel->click();
    EXPECT_EQ(folder.read("muzikdan.dat"), after);
    EXPECT_EQ(FrmOption->soundCell(0, 20), QStringLiteral("Юбилей бабушки"));
}

TEST_F(SoundEventDialogTest, ChooserStartsInTheSoundFolderThenAtThePreviousChoice)
{
    openFor(3);
    const QString first = folder.file("sound/one.wav");
    ScriptedDialogs::instance().answerFile(first);
    FrmMuzikSelect->BtnSelectFileWav->click();
    ScriptedDialogs::instance().answerFile(QString());
    FrmMuzikSelect->BtnSelectFileWav->click();

    const auto shown = ScriptedDialogs::instance().take();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].kind, ShownMessage::FileChooser);
    EXPECT_EQ(shown[0].text, QStringLiteral("Выбор звукового файла для указанного события"));
    EXPECT_EQ(shown[0].caption, folder.path() + QStringLiteral("sound"));
    EXPECT_EQ(shown[0].filter, QStringLiteral("Звуковые файлы (*.wav *.mp3)"));
    EXPECT_EQ(shown[1].caption, first);
    // A cancelled chooser changes nothing.
    EXPECT_EQ(FrmMuzikSelect->TxtMuzFile->text(), first);

    // Cancel stores nothing; the next showing reads the file again.
    QTest::keyClick(FrmMuzikSelect->TxtSub, Qt::Key_Escape);
    EXPECT_FALSE(FrmMuzikSelect->isVisible());
    EXPECT_EQ(stored(3).path(), folder.file("sound/sub.wav"));
    openFor(3);
    EXPECT_EQ(FrmMuzikSelect->TxtMuzFile->text(), folder.file("sound/sub.wav"));
    FrmMuzikSelect->BtnCancel->click();
}

TEST_F(SoundEventDialogTest, NameAndPathAreCutToTheirFields)
{
    const QString forty = QStringLiteral("День рождения бабушки и дедушки, юбилей!");
    ASSERT_EQ(forty.size(), 40);
    const QString longPath = folder.path() + QString(300, QLatin1Char('p'));

    struct Case {
        int row;
        QString typed;
        QString name;
        QString chosen;
        QString path;
    };
    const Case cases[] = {
        {2, forty, forty, longPath, longPath.left(255)},
        {5, forty + QStringLiteral("ЩЩЩЩЩ"), forty, folder.file("a.wav"), folder.file("a.wav")},
        {8, QString(), QString(), folder.file("b.mp3"), folder.file("b.mp3")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.row);
        openFor(c.row);
        rename(c.typed);
        EXPECT_EQ(FrmMuzikSelect->TxtSub->text(), c.name);
        choose(c.chosen);
        EXPECT_EQ(FrmMuzikSelect->TxtMuzFile->text(), c.chosen);
        FrmMuzikSelect->BtnOk->click();
        EXPECT_EQ(stored(c.row).name(), c.name);
        EXPECT_EQ(stored(c.row).path(), c.path);
        EXPECT_EQ(FrmOption->soundCell(0, c.row), c.name);
        EXPECT_EQ(FrmOption->soundCell(1, c.row), ShortenPath(c.path));
        EXPECT_EQ(FrmEdit->CmbMuzSub->itemText(c.row), c.name);

        // Shown again: the stored texts, the path in full.
        openFor(c.row);
        EXPECT_EQ(FrmMuzikSelect->TxtMuzFile->text(), c.path);
        FrmMuzikSelect->BtnCancel->click();
    }
}

TEST_F(SoundEventDialogTest, ListenPlaysThePathInTheBox)
{
    const QString chosen = folder.file("sound/new.wav");
    writeToneWav(chosen, 20);
    openFor(4);
    FrmMuzikSelect->BtnSound->click();
    choose(chosen);
    FrmMuzikSelect->BtnSound->click();
    EXPECT_EQ(SoundLog::played(), (QStringList{folder.file("sound/sub.wav"), chosen}));
    EXPECT_EQ(stored(4).path(), folder.file("sound/sub.wav"));
    FrmMuzikSelect->BtnCancel->click();
}

TEST_F(SoundEventDialogTest, EnterInTheNameBoxIsOk)
{
    openFor(6);
    rename(QStringLiteral("Новое"));
    QTest::keyClick(FrmMuzikSelect->TxtSub, Qt::Key_Return);
    EXPECT_FALSE(FrmMuzikSelect->isVisible());
    EXPECT_EQ(stored(6).name(), QStringLiteral("Новое"));
}

TEST_F(SoundEventDialogTest, PathOutsideWindows1251IsRefusedWhereItIsChosen)
{
    // "muzikdan.dat" would keep "?" in place of such a letter, and the
    // options window's Ok would then refuse every attempt.
    const QString unstorablePath = QStringLiteral(
        "Путь к звуковому файлу содержит символы, которые невозможно сохранить! Выберите файл, "
        "путь к которому состоит только из русских и латинских букв, цифр и обычных знаков.");
    openFor(11);
    const QString previous = folder.file("sound/sub.wav");
    for (const QString &name : {QStringLiteral("Café.wav"), QStringLiteral("ә₽.mp3")}) {
        ScriptedDialogs::instance().answerFile(folder.file(QStringLiteral("sound/") + name));
        FrmMuzikSelect->BtnSelectFileWav->click();
        const auto shown = ScriptedDialogs::instance().take();
        ASSERT_EQ(shown.size(), 2u);
        EXPECT_EQ(shown[1].kind, ShownMessage::Message);
        EXPECT_EQ(shown[1].text, unstorablePath);
        EXPECT_EQ(shown[1].caption, QStringLiteral("Внимание!"));
        EXPECT_EQ(shown[1].flags, MB_OK);
        EXPECT_EQ(FrmMuzikSelect->TxtMuzFile->text(), previous);
    }
    FrmMuzikSelect->BtnOk->click();
    EXPECT_EQ(stored(11).path(), previous);
    FrmOption->CmdCancel->click();
}

} // namespace
