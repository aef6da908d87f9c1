// Tolvin, the daily reminder. Started at logon; all its work happens in the
// splash window's timer tick and the windows that tick opens.
#include "dialogs.h"
#include "mediaplayer.h"
#include "tolvin_app.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    runAtProcessEnd(SoundDevice::shutDown);
    CreateReminderWindows();
    // Its windows end the process; should the message loop ever return
    // (the session ending), the end takes the same way.
    dialogs().endProcess(app.exec());
}
