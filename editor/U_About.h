// The about window: the product's name, its version and what the system
// does. It holds no logic and touches no data.
#pragma once

#include "form.h"

class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;

class TFrmAbout : public Form
{
    Q_OBJECT
public:
    explicit TFrmAbout(QWidget *parent = nullptr);

    QFrame *Panel1;
    QLabel *ProductName;
    QLabel *Label4;
    QPlainTextEdit *Memo1;
    QPushButton *OKButton;

private:
    void createControls();
};

extern TFrmAbout *FrmAbout;
