// Password boxes: their maker, and the filter on Qt's accessibility events
// that keeps their text from screen readers. Qt calls one update handler for
// every event while a screen reader listens; this one replaces the text of a
// password box's text events and hands every event on.
#include "passwordbox.h"

#include "controls.h"

#include <QAccessible>
#include <QLineEdit>
#include <utility>

namespace
{

QAccessible::UpdateHandler handlerBefore = nullptr;

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
    // Qt 6.4: a table's model change is applied to the table's interface
    // before the handler is called, and the bridge sends nothing for it:
    // sent again, the change would be applied twice.
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

QLineEdit *makePasswordBox(QWidget *parent, int maxLength)
{
    auto *box = new QLineEdit(parent);
    box->setFont(sansFont(16, true));
    box->setEchoMode(QLineEdit::Password);
    // Stars, whatever the style would draw instead.
    box->setStyleSheet(QStringLiteral("QLineEdit { lineedit-password-character: 42; }"));
    box->setMaxLength(maxLength);
    box->setValidator(new Cp1251Only(box));
    return box;
}

bool isPasswordBox(const QObject *object)
{
    const auto *edit = qobject_cast<const QLineEdit *>(object);
    return edit && edit->echoMode() != QLineEdit::Normal;
}

void installPasswordEventMask()
{
    // A second install would make the filter its own predecessor.
    static bool installed = false;
    if (std::exchange(installed, true))
        return;
    handlerBefore = QAccessible::installUpdateHandler(maskPasswordEvents);
}
