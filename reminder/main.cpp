// Tolvin, the daily reminder. Started at logon; all its work happens in the
// splash window's timer tick and the windows that tick opens.
#include "tolvin_app.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    CreateReminderWindows();
    return app.exec();
}
