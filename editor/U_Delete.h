// The delete confirmation: shows the main window's current date record
// (date, yearly or once, comment) and deletes it on "Да".
#pragma once

#include "form.h"

class QLabel;
class QLineEdit;
class QPushButton;

class TFrmDelete : public Form
{
    Q_OBJECT
public:
    explicit TFrmDelete(QWidget *parent = nullptr);

    QLabel *Label1;
    QLabel *Label2;
    QLabel *PnlDate;
    QLabel *PnlAnnually;
    QLabel *Label3;
    QLineEdit *TxtComment;
    QPushButton *CmdYes;
    QPushButton *CmdNo;

    void ShowRecordToDelete();
    void CmdYesClick();
    void CmdNoClick();

protected:
    void FormActivate() override;

private:
    void createControls();
};

extern TFrmDelete *FrmDelete;
