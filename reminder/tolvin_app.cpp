// The reminder's program block: the application title, the toolkit's texts
// in Russian, password boxes kept from screen readers, line edits read to
// them whole, the main window a frame to them, the focus marked plainly,
// and the three windows, created in their fixed order.
#include "tolvin_app.h"

#include "U_End.h"
#include "U_Logo.h"
#include "U_Show.h"
#include "dialogs.h"
#include "lineeditinterface.h"
#include "passwordbox.h"
#include "theme.h"
#include "translation.h"
#include "windowrole.h"

#include <QApplication>

void CreateReminderWindows()
{
    QApplication::setApplicationName(applicationTitle());
    installRussianQtTranslation();
    installPasswordEventMask();
    installLineEditInterface();
    installLook();
    reportAsFrame(TFrmTolvin::staticMetaObject);
    new TFrmLogo;
    new TFrmEnd;
    new TFrmTolvin;
}
