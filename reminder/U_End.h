// The closing dialog, which stores when to remind next and ends the
// reminder. Created hidden at start-up, second of the reminder's windows;
// the reminder window's close shows it, and only its Ok leaves it.
#pragma once

#include "form.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

class TFrmEnd : public Form
{
    Q_OBJECT
public:
    explicit TFrmEnd(QWidget *parent = nullptr);

    QCheckBox *ChkTodayShow;
    QLabel *Label1;
    QLabel *LblPassword;
    QLineEdit *TxtPassword;
    QPushButton *CmdOk;

    void FormActivate() override;
    // Shows the password only when the box is unchecked.
    void ChkTodayShowClick();
    // Stores today, or with the right password tomorrow, as the next
    // reminder date and ends the process.
    void CmdOkClick();

    // Esc: nothing, until a write at Ok has failed; then it closes.
    void reject() override;

protected:
    // Refuses every close: Ok is the only way out, until a write at Ok has
    // failed; then a close ends the program without storing.
    void FormClose(CloseAction &action) override;

private:
    void createControls();

    bool m_writeFailed = false;
};

extern TFrmEnd *FrmEnd;
