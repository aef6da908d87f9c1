// The password-box filter on Qt's accessibility events. Qt calls one update
// handler for every event while a screen reader listens; this one replaces
// the text of a password box's text events and hands every event on.
#include "accessibility.h"

#include <QAccessible>
#include <QLineEdit>
#include <utility>

namespace
{

QAccessible::UpdateHandler handlerBefore = nullptr;

bool isPasswordBox(const QObject *object)
{
    const auto *edit = qobject_cast<const QLineEdit *>(object);
    return edit && edit->echoMode() != QLineEdit::Normal;
}

QString stars(const QString &text)
{
    return QString(text.size(), QLatin1Char('*'));
}

void passOn(QAccessibleEvent *event)
{
    if (handlerBefore) {
        handlerBefore(event);
        return;
    }
    // Qt applies a table's model change itself before it calls the handler,
    // and its bridge sends nothing for it: sent again, the change would be
    // applied twice.
    if (event->type() == QAccessible::TableModelChanged)
        return;
    // Qt reaches its own bridge only while no handler is installed; the
    // handler installed meanwhile (a test's, say) is put back afterwards.
    const QAccessible::UpdateHandler current = QAccessible::installUpdateHandler(nullptr);
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(current);
}

template <class Event> void passOnMasked(Event &masked, const QAccessibleTextCursorEvent &original)
{
    masked.setCursorPosition(original.cursorPosition());
    passOn(&masked);
}

void maskPasswordEvents(QAccessibleEvent *event)
{
    if (!isPasswordBox(event->object())) {
        passOn(event);
        return;
    }
    switch (event->type()) {
    case QAccessible::TextInserted: {
        const auto &inserted = *static_cast<QAccessibleTextInsertEvent *>(event);
        QAccessibleTextInsertEvent masked(event->object(), inserted.changePosition(),
                                          stars(inserted.textInserted()));
        passOnMasked(masked, inserted);
        break;
    }
    case QAccessible::TextRemoved: {
        const auto &removed = *static_cast<QAccessibleTextRemoveEvent *>(event);
        QAccessibleTextRemoveEvent masked(event->object(), removed.changePosition(),
                                          stars(removed.textRemoved()));
        passOnMasked(masked, removed);
        break;
    }
    case QAccessible::TextUpdated: {
        const auto &updated = *static_cast<QAccessibleTextUpdateEvent *>(event);
        QAccessibleTextUpdateEvent masked(event->object(), updated.changePosition(),
                                          stars(updated.textRemoved()),
                                          stars(updated.textInserted()));
        passOnMasked(masked, updated);
        break;
    }
    default:
        passOn(event);
    }
}

} // namespace

void installPasswordEventMask()
{
    // A second install would make the filter its own predecessor.
    static bool installed = false;
    if (std::exchange(installed, true))
        return;
    handlerBefore = QAccessible::installUpdateHandler(maskPasswordEvents);
}
