// An accessible interface factory for the windows that are frames to screen
// readers; every other object gets Qt's own interface.
#include "windowrole.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QByteArray>
#include <QWidget>
#include <algorithm>
#include <vector>

namespace
{

std::vector<QByteArray> &frameClasses()
{
    static std::vector<QByteArray> classes;
    return classes;
}

// Qt asks with each class name of the object, its own first.
QAccessibleInterface *frameFactory(const QString &className, QObject *object)
{
    auto *window = qobject_cast<QWidget *>(object);
    const QByteArray name = className.toLatin1();
    const auto &classes = frameClasses();
    if (!window || !window->isWindow() ||
        std::find(classes.begin(), classes.end(), name) == classes.end())
        return nullptr;
    // Qt's role of a main window, a frame to the AT-SPI bridge.
    return new QAccessibleWidget(window, QAccessible::Window);
}

} // namespace

void reportAsFrame(const QMetaObject &windowClass)
{
    frameClasses().emplace_back(windowClass.className());
    // Qt ignores a second install of the same factory.
    QAccessible::installFactory(frameFactory);
}
