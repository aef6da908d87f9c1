// The closing dialog: remind again today at the next start, or, after the
// password, not before tomorrow. Its Ok writes the Next reminder date into
// "option.dat" and ends the reminder.
#include "U_End.h"

#include "U_Show.h"
#include "calendar.h"
#include "controls.h"
#include "dialogs.h"
#include "errors.h"
#include "guard.h"
#include "passwordbox.h"
#include "recordfile.h"
#include "records.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TFrmEnd *FrmEnd = nullptr;

TFrmEnd::TFrmEnd(QWidget *parent) : Form(parent)
{
    createWindow(FrmEnd, &TFrmEnd::createControls);
}

void TFrmEnd::createControls()
{
    setUpDialog(QStringLiteral("FrmEnd"), QStringLiteral("Завершение работы"), {283, 162});

    ChkTodayShow = new QCheckBox(QStringLiteral("Сегодня при следующем запуске Windows"), this);
    ChkTodayShow->setObjectName(QStringLiteral("ChkTodayShow"));
    ChkTodayShow->setGeometry(16, 24, 249, 17);
    ChkTodayShow->setChecked(true);
    connectGuarded(ChkTodayShow, &QCheckBox::toggled, this, [this] { ChkTodayShowClick(); });

    // Continues the check box's text on the line below; it is not part of
    // the check box, so clicking it does nothing.
    Label1 = new QLabel(QStringLiteral(" сообщать о наступившем Orvista"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(32, 40, 208, 13);
    // The two texts are one sentence: a screen reader hears it whole, in
    // order, when the check box takes the focus. As the check box's label,
    // Label1 is not read again as stray text; a screen reader that reads
    // the label instead of the check box's own name (Orca does) must find
    // the whole sentence there too.
    const QString sentence = ChkTodayShow->text() + Label1->text();
    ChkTodayShow->setAccessibleName(sentence);
    Label1->setAccessibleName(sentence);
    Label1->setBuddy(ChkTodayShow);

    LblPassword = new QLabel(QStringLiteral("Пароль:"), this);
    LblPassword->setObjectName(QStringLiteral("LblPassword"));
    LblPassword->setGeometry(16, 72, 41, 13);
    LblPassword->hide();

    TxtPassword = makePasswordBox(this, OptionsRecord::passwordCapacity);
    TxtPassword->setObjectName(QStringLiteral("TxtPassword"));
    TxtPassword->setGeometry(72, 72, 185, 17);
    TxtPassword->setAccessibleName(QStringLiteral("Пароль"));
    LblPassword->setBuddy(TxtPassword);
    TxtPassword->hide();

    CmdOk = new QPushButton(QStringLiteral("Ok"), this);
    CmdOk->setObjectName(QStringLiteral("CmdOk"));
    CmdOk->setGeometry(52, 108, 179, 33);
    CmdOk->setFont(sansFont(15));
    setDefaultButton(CmdOk);
    connectGuarded(CmdOk, &QPushButton::clicked, this, [this] { CmdOkClick(); });

    setTabOrder(ChkTodayShow, TxtPassword);
    setTabOrder(TxtPassword, CmdOk);
}

void TFrmEnd::FormActivate()
{
    ChkTodayShow->setFocus();
    ChkTodayShow->setChecked(true);
    ChkTodayShowClick();
}

void TFrmEnd::ChkTodayShowClick()
{
    const bool askPassword = !ChkTodayShow->isChecked();
    LblPassword->setVisible(askPassword);
    TxtPassword->setVisible(askPassword);
}

void TFrmEnd::reject()
{
    if (m_writeFailed)
        close();
}

void TFrmEnd::FormClose(CloseAction &action)
{
    // A disk that refuses the write would otherwise hold the user here for
    // good. Nothing stored is lost: the file still holds a date that makes
    // the next start remind again.
    if (m_writeFailed)
        dialogs().endProcess(0);
    action = CloseAction::None;
}

void TFrmEnd::CmdOkClick()
{
    CloseDatabase();
    // The editor may have stored a new password while the reminder ran: the
    // record is read again, so that the check uses it and the write keeps
    // it. A file that cannot be read any more is put right by the write,
    // from the record read at start-up.
    try {
        OptionRec = Records::readOptionRec(OptionFile);
    } catch (const InOutError &) {
    }
    OptionRec.setNextDate(Calendar::todayNumber());
    if (!ChkTodayShow->isChecked()) {
        if (TxtPassword->text() != OptionRec.password()) {
            dialogs().messageBox(QStringLiteral("Неверный пароль!"), QStringLiteral("Внимание!"),
                                 MB_OK);
            TxtPassword->setFocus();
            TxtPassword->setSelection(0, TxtPassword->text().size());
            return;
        }
        OptionRec.setNextDate(Calendar::todayNumber() + 1);
    }
    try {
        Records::writeOptionRec(OptionFile, OptionRec);
        OptionFile.close();
    } catch (...) {
        m_writeFailed = true;
        throw;
    }
    dialogs().endProcess(0);
}
