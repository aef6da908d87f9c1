// The editor's program block: the application title, the toolkit's texts in
// Russian, password boxes kept from screen readers, line edits read to them
// whole, the main window a frame to them, the focus marked plainly, and the
// six windows, created in their fixed order.
#include "karvel_app.h"

#include "U_About.h"
#include "U_Delete.h"
#include "U_Edit.h"
#include "U_Karvel.h"
#include "U_MuzikSelect.h"
#include "U_Option.h"
#include "dialogs.h"
#include "lineeditinterface.h"
#include "passwordbox.h"
#include "theme.h"
#include "translation.h"
#include "windowrole.h"

#include <QApplication>

void CreateEditorWindows()
{
    QApplication::setApplicationName(applicationTitle());
    installRussianQtTranslation();
    installPasswordEventMask();
    installLineEditInterface();
    installLook();
    reportAsFrame(TFrmKarvel::staticMetaObject);
    new TFrmKarvel;
    new TFrmMuzikSelect;
    new TFrmOption;
    new TFrmEdit;
    new TFrmDelete;
    new TFrmAbout;
}
