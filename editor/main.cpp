// Karvel, the date book editor.
#include "U_Karvel.h"
#include "dialogs.h"
#include "karvel_app.h"
#include "mediaplayer.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    runAtProcessEnd(SoundDevice::shutDown);
    CreateEditorWindows();
    FrmKarvel->showNonModal();
    // The main window's close ends the process; should the message loop
    // ever return (the session ending), the end takes the same way.
    dialogs().endProcess(app.exec());
}
