// Karvel, the date book editor.
#include "U_Karvel.h"
#include "karvel_app.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    CreateEditorWindows();
    FrmKarvel->showNonModal();
    return app.exec();
}
