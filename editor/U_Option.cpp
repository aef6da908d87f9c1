// The options window. The sound events are only shown here (the sound-event
// dialog changes them); the password and the autostart setting are saved by
// Ok, which also makes the reminder due again today.
#include "U_Option.h"

#include "U_Karvel.h"
#include "U_MuzikSelect.h"
#include "autorun.h"
#include "calendar.h"
#include "controls.h"
#include "dialogs.h"
#include "guard.h"
#include "passwordbox.h"
#include "shortstring.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

TFrmOption *FrmOption = nullptr;

namespace
{

const QString warningCaption = QStringLiteral("Внимание!");
const QLatin1Char separator('/');

} // namespace

QString ShortenPath(const QString &path)
{
    if (path.size() <= 70)
        return path;

    // Where no separator is left to cut at, the loops stop short rather
    // than search for ever.
    QString rest = path;
    QString head;
    while (head.size() < 20) {
        const qsizetype slash = rest.indexOf(separator);
        if (slash < 0)
            break;
        head += rest.left(slash + 1);
        rest.remove(0, slash + 1);
    }
    while (rest.size() > 47) {
        const qsizetype slash = rest.indexOf(separator);
        if (slash < 0)
            break;
        rest.remove(0, slash + 1);
    }
    return head + QStringLiteral(".../") + rest;
}

TFrmOption::TFrmOption(QWidget *parent) : Form(parent)
{
    createWindow(FrmOption, &TFrmOption::createControls, &TFrmOption::FormCreate);
}

void TFrmOption::createControls()
{
    setUpDialog(QStringLiteral("FrmOption"), QStringLiteral("Опции"), {682, 396});

    GroupBox1 = new QGroupBox(QStringLiteral("Звуковое сопровождение"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(8, 8, 673, 209);

    GrdMuzik = new ScreenReaderTable<QTableWidget>(Records::soundEventCount, 2, GroupBox1);
    GrdMuzik->setObjectName(QStringLiteral("GrdMuzik"));
    GrdMuzik->setGeometry(10, 24, 655, 137);
    GrdMuzik->setAccessibleName(GroupBox1->title());
    GrdMuzik->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GrdMuzik->setSelectionBehavior(QAbstractItemView::SelectRows);
    GrdMuzik->setSelectionMode(QAbstractItemView::SingleSelection);
    GrdMuzik->setTabKeyNavigation(false);
    GrdMuzik->setShowGrid(true);
    GrdMuzik->setWordWrap(false);
    GrdMuzik->setCornerButtonEnabled(false);
    // The header row is row 0; the table's rows 0 to 19 are rows 1 to 20.
    GrdMuzik->verticalHeader()->hide();
    GrdMuzik->verticalHeader()->setMinimumSectionSize(16);
    GrdMuzik->verticalHeader()->setDefaultSectionSize(16);
    GrdMuzik->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    QHeaderView *header = GrdMuzik->horizontalHeader();
    header->setFixedHeight(16);
    header->setSectionResizeMode(QHeaderView::Fixed);
    header->setSectionsClickable(false);
    header->setHighlightSections(false);
    GrdMuzik->setColumnWidth(0, 241);
    GrdMuzik->setColumnWidth(1, 389);
    for (int column = 0; column < 2; ++column) {
        GrdMuzik->setHorizontalHeaderItem(column, new QTableWidgetItem);
        for (int row = 0; row < Records::soundEventCount; ++row) {
            auto *item = new QTableWidgetItem;
            item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            GrdMuzik->setItem(row, column, item);
        }
    }
    GrdMuzik->setCurrentCell(0, 0);

    BtnChangeMuzik = new QPushButton(QStringLiteral("Изменить"), GroupBox1);
    BtnChangeMuzik->setObjectName(QStringLiteral("BtnChangeMuzik"));
    BtnChangeMuzik->setGeometry(496, 168, 169, 25);

    GroupBox2 = new QGroupBox(QStringLiteral("Смена пароля"), this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    GroupBox2->setGeometry(8, 232, 673, 65);

    auto passwordBox = [this](QLabel *&label, const char *labelName, const QString &caption,
                              QLineEdit *&edit, const char *editName, int left, int labelWidth) {
        label = new QLabel(caption, GroupBox2);
        label->setObjectName(QLatin1String(labelName));
        label->setGeometry(left, 16, labelWidth, 13);
        edit = makePasswordBox(GroupBox2, passwordLimit);
        edit->setObjectName(QLatin1String(editName));
        edit->setGeometry(left, 32, 185, 17);
        label->setBuddy(edit);
        edit->setAccessibleName(caption.chopped(1));
    };
    passwordBox(Label1, "Label1", QStringLiteral("Старый пароль:"), TxtPassword, "TxtPassword", 8,
                80);
    passwordBox(Label2, "Label2", QStringLiteral("Новый пароль:"), TxtPasswordNew, "TxtPasswordNew",
                248, 76);
    passwordBox(Label3, "Label3", QStringLiteral("Подтверждение нового пароля:"), TxtPasswordNewNew,
                "TxtPasswordNewNew", 472, 161);

    ChkAutoRun = new QCheckBox(
        QStringLiteral("Проверять наступление Orvista при каждом запуске Windows"), this);
    ChkAutoRun->setObjectName(QStringLiteral("ChkAutoRun"));
    ChkAutoRun->setGeometry(16, 312, 657, 17);

    CmdOk = new QPushButton(QStringLiteral("Ok"), this);
    CmdOk->setObjectName(QStringLiteral("CmdOk"));
    CmdOk->setFont(sansFont(15));
    CmdOk->setGeometry(56, 352, 265, 33);
    setDefaultButton(CmdOk);

    CmdCancel = new QPushButton(QStringLiteral("Отмена"), this);
    CmdCancel->setObjectName(QStringLiteral("CmdCancel"));
    CmdCancel->setFont(sansFont(15));
    CmdCancel->setGeometry(368, 352, 265, 33);
    setCancelButton(CmdCancel);

    QWidget *const tabOrder[] = {GrdMuzik,          BtnChangeMuzik, TxtPassword, TxtPasswordNew,
                                 TxtPasswordNewNew, ChkAutoRun,     CmdOk,       CmdCancel};
    for (std::size_t i = 0; i + 1 < std::size(tabOrder); ++i)
        setTabOrder(tabOrder[i], tabOrder[i + 1]);

    connectGuarded(BtnChangeMuzik, &QPushButton::clicked, this, [this] { BtnChangeMuzikClick(); });
    connectGuarded(CmdOk, &QPushButton::clicked, this, [this] { CmdOkClick(); });
    connectGuarded(CmdCancel, &QPushButton::clicked, this, [this] { CmdCancelClick(); });
}

void TFrmOption::showEvent(QShowEvent *event)
{
    Form::showEvent(event);
    // Placed where it was designed rather than centred.
    placeOnScreen(this, {193, 117});
}

void TFrmOption::FormCreate()
{
    GrdMuzik->horizontalHeaderItem(0)->setText(QStringLiteral("Наименование события"));
    GrdMuzik->horizontalHeaderItem(1)->setText(
        QStringLiteral("Звуковой файл, соответстующий событию"));
    FillSoundGrid();
    Records::ensureOptionFile(ProgramPath);
}

void TFrmOption::FillSoundGrid()
{
    Records::readSoundEvents(
        MuzikFile, [this](int row, const SoundEventRecord &record) { setSoundRow(row, record); });
}

int TFrmOption::currentSoundRow() const
{
    return qBound(1, GrdMuzik->currentRow() + 1, Records::soundEventCount);
}

void TFrmOption::selectSoundRow(int row)
{
    GrdMuzik->setCurrentCell(row - 1, 0,
                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    GrdMuzik->setFocus();
}

void TFrmOption::setSoundRow(int row, const SoundEventRecord &record)
{
    GrdMuzik->item(row - 1, 0)->setText(record.name());
    GrdMuzik->item(row - 1, 1)->setText(ShortenPath(record.path()));
}

QString TFrmOption::soundCell(int column, int row) const
{
    const QTableWidgetItem *item =
        row == 0 ? GrdMuzik->horizontalHeaderItem(column) : GrdMuzik->item(row - 1, column);
    return item ? item->text() : QString();
}

void TFrmOption::FormActivate()
{
    OptionFile.openQuiet(Records::optionFileName(ProgramPath));
    OptionRec = Records::readOptionRec(OptionFile);
    TxtPassword->clear();
    TxtPasswordNew->clear();
    TxtPasswordNewNew->clear();
    ChkAutoRun->setChecked(AutoRunValueExists());
}

void TFrmOption::BtnChangeMuzikClick()
{
    FrmMuzikSelect->showModal();
}

void TFrmOption::CmdOkClick()
{
    int badRow = 0;
    QString badPath;
    Records::readSoundEvents(MuzikFile, [&](int row, const SoundEventRecord &record) {
        if (QFileInfo(record.path()).isFile())
            return true;
        badRow = row;
        badPath = record.path();
        return false;
    });
    if (badRow != 0) {
        selectSoundRow(badRow);
        // A path under a Program folder that Windows-1251 cannot hold was
        // stored with "?" for those letters and can never name its file:
        // only moving the program helps, so say that.
        const bool folderUnstorable =
            !ShortString::fitsCp1251(ProgramPath) &&
            badPath.startsWith(ShortString::fromCp1251(ShortString::toCp1251(ProgramPath)));
        dialogs().messageBox(
            folderUnstorable
                ? QStringLiteral("Путь к папке программы содержит символы, которые невозможно "
                                 "сохранить! Переместите программу в папку, путь к которой "
                                 "состоит только из русских и латинских букв, цифр и обычных "
                                 "знаков.")
                : QStringLiteral("Неверно указан путь к звуковому файлу!"),
            warningCaption, MB_OK);
        return;
    }
    selectSoundRow(1);

    // Another editor may have stored a new password since the window was
    // shown: the check and the write take the record as the file holds it
    // now. A record that cannot be read stops Ok here, with nothing written.
    OptionRec = Records::readOptionRec(OptionFile);
    OptionsRecord record = OptionRec;
    const QString oldPassword = TxtPassword->text();
    const QString newPassword = TxtPasswordNew->text();
    const QString confirmation = TxtPasswordNewNew->text();
    if (!oldPassword.isEmpty() || !newPassword.isEmpty() || !confirmation.isEmpty()) {
        if (oldPassword != record.password()) {
            dialogs().messageBox(QStringLiteral("Неверный старый пароль!"), warningCaption, MB_OK);
            TxtPassword->setFocus();
            TxtPassword->setSelection(0, int(oldPassword.size()));
            return;
        }
        if (newPassword != confirmation) {
            dialogs().messageBox(QStringLiteral("Подтверждение нового пароля не выполнено!"),
                                 warningCaption, MB_OK);
            TxtPasswordNewNew->setFocus();
            TxtPasswordNewNew->setSelection(0, int(confirmation.size()));
            return;
        }
        record.setPassword(newPassword.left(passwordLimit));
    }

    record.setNextDate(Calendar::todayNumber());
    Records::writeOptionRec(OptionFile, record);
    // Only what reached the file counts as the stored password.
    OptionRec = record;

    if (ChkAutoRun->isChecked()) {
        if (!AutoRunValueExists())
            AddAutoRunValue();
    } else if (AutoRunValueExists()) {
        DeleteAutoRunValue();
    }
    close();
}

void TFrmOption::CmdCancelClick()
{
    close();
}

// Also reached by Esc and the close box. A showing whose opening failed left
// nothing open, and closing must still work then.
void TFrmOption::FormClose(CloseAction &)
{
    if (OptionFile.isOpen())
        OptionFile.close();
}
