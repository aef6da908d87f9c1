// The closing dialog, which stores when to remind next and ends the
// reminder. Created hidden at start-up, second of the reminder's windows.
#pragma once

#include "form.h"

class TFrmEnd : public Form
{
    Q_OBJECT
public:
    explicit TFrmEnd(QWidget *parent = nullptr);

private:
    void createControls();
};

extern TFrmEnd *FrmEnd;
