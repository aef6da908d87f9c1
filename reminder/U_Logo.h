// The splash window, the reminder's main window. Its activation pauses with
// the splash on the screen; the first tick of its timer runs the start-up
// step, which decides whether to remind today.
#pragma once

#include "form.h"

class QLabel;
class QTimer;

class TFrmLogo : public Form
{
    Q_OBJECT
public:
    // Shows the splash at once and runs its activation (the pause).
    explicit TFrmLogo(QWidget *parent = nullptr);

    QLabel *Label1;
    QLabel *Label2;
    QLabel *Label4;
    QTimer *Timer1;

    // The start-up step; it ends the process on a day without reminding.
    void Timer1Timer();
    // What a tick of Timer1 runs: the step, guarded. A failed step shows its
    // error once and ends the reminder, and a tick that arrives while the
    // step is still running (in a message box's loop) is ignored.
    void Timer1Tick();

    // For tests: the length of the activation's pause, set before the
    // splash is created; the program keeps its 2000 ms.
    static void setPause(int milliseconds);

protected:
    void FormActivate() override;

private:
    void createControls();
    void showPainted();

    bool m_stepRunning = false;
};

extern TFrmLogo *FrmLogo;
