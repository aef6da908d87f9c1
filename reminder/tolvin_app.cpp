// The reminder's program block: the application title and its three windows,
// created in their fixed order.
#include "tolvin_app.h"

#include "U_End.h"
#include "U_Logo.h"
#include "U_Show.h"
#include "dialogs.h"

#include <QApplication>

void CreateReminderWindows()
{
    QApplication::setApplicationName(applicationTitle());
    new TFrmLogo;
    new TFrmEnd;
    new TFrmTolvin;
}
