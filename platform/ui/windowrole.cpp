// An accessible interface factory for the windows that are frames to screen
// readers; every other object gets Qt's own interface.
#include "windowrole.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QWidget>
#include <algorithm>
#include <vector>

namespace
{

std::vector<QString> frameClasses;

bool isFrameClass(const QString &className)
{
    return std::find(frameClasses.begin(), frameClasses.end(), className) != frameClasses.end();
}

// Qt asks with each class name of the object, its own first.
QAccessibleInterface *frameFactory(const QString &className, QObject *object)
{
    auto *window = qobject_cast<QWidget *>(object);
    if (!window || !window->isWindow() || !isFrameClass(className))
        return nullptr;
    // Qt's role of a main window, a frame to the AT-SPI bridge.
    return new QAccessibleWidget(window, QAccessible::Window);
}

} // namespace

void reportAsFrame(const QMetaObject &windowClass)
{
    const QString className = QString::fromLatin1(windowClass.className());
    if (!isFrameClass(className))
        frameClasses.push_back(className);
    // Qt ignores a second install of the same factory.
    QAccessible::installFactory(frameFactory);
}
