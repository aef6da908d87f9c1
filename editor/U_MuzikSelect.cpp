// The sound-event dialog. It holds no copy of the record: the two boxes are
// refilled from "muzikdan.dat" at every showing, and Ok writes the record
// back at once, then brings the options grid and the add/edit list up to date.
#include "U_MuzikSelect.h"

#include "U_Edit.h"
#include "U_Karvel.h"
#include "U_Option.h"
#include "controls.h"
#include "dialogs.h"
#include "guard.h"
#include "mediaplayer.h"
#include "records.h"
#include "shortstring.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TFrmMuzikSelect *FrmMuzikSelect = nullptr;

TFrmMuzikSelect::TFrmMuzikSelect(QWidget *parent) : Form(parent)
{
    createWindow(FrmMuzikSelect, &TFrmMuzikSelect::createControls, &TFrmMuzikSelect::FormCreate);
}

QString TFrmMuzikSelect::chooserTitle()
{
    return QStringLiteral("Выбор звукового файла для указанного события");
}

QString TFrmMuzikSelect::chooserFilter()
{
    // The chooser reads the patterns from the parentheses, separated by
    // blanks only.
    return QStringLiteral("Звуковые файлы (*.wav *.mp3)");
}

void TFrmMuzikSelect::createControls()
{
    setObjectName(QStringLiteral("FrmMuzikSelect"));
    setWindowTitle(QStringLiteral("Звуковое сопровождение"));
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFont(sansFont(11));
    // Resizable; the controls keep their places.
    resize(558 - frameWidth, 187 - frameHeight);

    auto label = [this](QLabel *&target, const char *name, const QString &text, int top) {
        target = new QLabel(text, this);
        target->setObjectName(QLatin1String(name));
        target->move(8, top);
        target->adjustSize();
    };
    label(Label2, "Label2", QStringLiteral("Наименование события:"), 16);
    label(Label1, "Label1", QStringLiteral("Звуковой файл, соответстующий событию:"), 72);

    TxtSub = new QLineEdit(this);
    TxtSub->setObjectName(QStringLiteral("TxtSub"));
    TxtSub->setGeometry(8, 32, 265, 21);
    TxtSub->setMaxLength(SoundEventRecord::nameCapacity);

    TxtMuzFile = new QLineEdit(this);
    TxtMuzFile->setObjectName(QStringLiteral("TxtMuzFile"));
    TxtMuzFile->setGeometry(8, 88, 377, 21);
    TxtMuzFile->setReadOnly(true);

    BtnSelectFileWav = new QPushButton(QStringLiteral("Выбрать"), this);
    BtnSelectFileWav->setObjectName(QStringLiteral("BtnSelectFileWav"));
    BtnSelectFileWav->setFont(sansFont(13));
    BtnSelectFileWav->setGeometry(392, 88, 65, 17);

    BtnSound = new QPushButton(QStringLiteral("Прослушать"), this);
    BtnSound->setObjectName(QStringLiteral("BtnSound"));
    BtnSound->setGeometry(472, 88, 65, 17);

    BtnOk = new QPushButton(QStringLiteral("Ok"), this);
    BtnOk->setObjectName(QStringLiteral("BtnOk"));
    BtnOk->setGeometry(47, 120, 193, 25);
    setDefaultButton(BtnOk);

    BtnCancel = new QPushButton(QStringLiteral("Отмена"), this);
    BtnCancel->setObjectName(QStringLiteral("BtnCancel"));
    BtnCancel->setGeometry(311, 120, 193, 25);
    setCancelButton(BtnCancel);

    const std::pair<QLabel *, QLineEdit *> buddies[] = {{Label2, TxtSub}, {Label1, TxtMuzFile}};
    for (const auto &[text, edit] : buddies) {
        text->setBuddy(edit);
        edit->setAccessibleName(text->text().chopped(1));
    }

    QWidget *const tabOrder[] = {TxtSub, TxtMuzFile, BtnSelectFileWav, BtnSound, BtnOk, BtnCancel};
    for (std::size_t i = 0; i + 1 < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i], tabOrder[i + 1]);

    connectGuarded(BtnSelectFileWav, &QPushButton::clicked, this,
                   [this] { BtnSelectFileWavClick(); });
    connectGuarded(BtnSound, &QPushButton::clicked, this, [this] { BtnSoundClick(); });
    connectGuarded(BtnOk, &QPushButton::clicked, this, [this] { BtnOkClick(); });
    connectGuarded(BtnCancel, &QPushButton::clicked, this, [this] { BtnCancelClick(); });
}

void TFrmMuzikSelect::FormCreate()
{
    m_initialFolder = ProgramPath + QStringLiteral("sound");
}

void TFrmMuzikSelect::FormActivate()
{
    TxtSub->setFocus();
    const SoundEventRecord record =
        Records::readSoundEvent(MuzikFile, FrmOption->currentSoundRow());
    TxtSub->setText(record.name());
    TxtMuzFile->setText(record.path());
}

void TFrmMuzikSelect::BtnSelectFileWavClick()
{
    // Given a file rather than a folder, the chooser opens at that file.
    const QString start = m_chosenFile.isEmpty() ? m_initialFolder : m_chosenFile;
    const QString chosen = dialogs().openFileName(this, chooserTitle(), start, chooserFilter());
    if (chosen.isEmpty())
        return;
    // The record holds the path in Windows-1251: a letter it lacks would be
    // stored as "?", naming a file that does not exist.
    if (!ShortString::fitsCp1251(chosen)) {
        dialogs().messageBox(
            QStringLiteral("Путь к звуковому файлу содержит символы, которые невозможно "
                           "сохранить! Выберите файл, путь к которому состоит только из русских "
                           "и латинских букв, цифр и обычных знаков."),
            QStringLiteral("Внимание!"), MB_OK);
        return;
    }
    m_chosenFile = chosen;
    TxtMuzFile->setText(chosen);
}

void TFrmMuzikSelect::BtnSoundClick()
{
    playSoundSync(TxtMuzFile->text());
}

void TFrmMuzikSelect::BtnOkClick()
{
    // The record keeps the first 40 characters of the name and the first 255
    // of the path, each character that Windows-1251 lacks becoming "?".
    SoundEventRecord record;
    record.setName(TxtSub->text());
    record.setPath(TxtMuzFile->text());
    const int row = FrmOption->currentSoundRow();
    Records::writeSoundEvent(MuzikFile, row, record);
    FrmOption->setSoundRow(row, record);
    FrmEdit->FillSoundEventList();
    close();
}

void TFrmMuzikSelect::BtnCancelClick()
{
    close();
}
