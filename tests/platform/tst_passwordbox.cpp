// A password box gives nothing away to a screen reader: the text of its
// text events goes on as stars. Qt calls the handlers only while a screen
// reader listens, which never happens headless, so the events are handed to
// the filter directly, as Qt's line edit makes them.
#include "passwordbox.h"

#include "testsupport.h"

#include <QAccessible>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace
{

// What reached the handler after the filter, one line an event.
QStringList passed;

void record(QAccessibleEvent *event)
{
    QString line;
    if (event->type() == QAccessible::TextInserted) {
        const auto *e = static_cast<QAccessibleTextInsertEvent *>(event);
        line = QStringLiteral("inserted at %1, cursor %2: %3")
                   .arg(e->changePosition())
                   .arg(e->cursorPosition())
                   .arg(e->textInserted());
    } else if (event->type() == QAccessible::TextRemoved) {
        const auto *e = static_cast<QAccessibleTextRemoveEvent *>(event);
        line = QStringLiteral("removed at %1, cursor %2: %3")
                   .arg(e->changePosition())
                   .arg(e->cursorPosition())
                   .arg(e->textRemoved());
    } else if (event->type() == QAccessible::TextUpdated) {
        const auto *e = static_cast<QAccessibleTextUpdateEvent *>(event);
        line = QStringLiteral("updated at %1, cursor %2: %3 to %4")
                   .arg(e->changePosition())
                   .arg(e->cursorPosition())
                   .arg(e->textRemoved(), e->textInserted());
    } else {
        line = QStringLiteral("event %1").arg(int(event->type()));
    }
    passed << line;
}

// The filter, installed after the recorder; installing it twice must not
// make it its own predecessor.
QAccessible::UpdateHandler filter()
{
    static const QAccessible::UpdateHandler installed = [] {
        QAccessible::installUpdateHandler(record);
        installPasswordEventMask();
        installPasswordEventMask();
        const QAccessible::UpdateHandler current = QAccessible::installUpdateHandler(nullptr);
        QAccessible::installUpdateHandler(current);
        return current;
    }();
    return installed;
}

// What a line edit sends as "abc" is typed, "c" is deleted, and the text
// "xyz" is replaced by an empty one; then a focus event.
QStringList passedFor(QLineEdit &edit)
{
    passed.clear();
    QAccessibleTextInsertEvent typed(&edit, 0, QStringLiteral("abc"));
    QAccessibleTextRemoveEvent deleted(&edit, 2, QStringLiteral("c"));
    QAccessibleTextUpdateEvent replaced(&edit, 0, QStringLiteral("xyz"), QString());
    QAccessibleEvent focus(&edit, QAccessible::Focus);
    for (QAccessibleEvent *event :
         std::initializer_list<QAccessibleEvent *>{&typed, &deleted, &replaced, &focus})
        filter()(event);
    return passed;
}

} // namespace

TEST(PasswordEventMask, PasswordTextGoesOnAsStarsOtherTextAsItIs)
{
    QLineEdit plain;
    const QString focus = QStringLiteral("event %1").arg(int(QAccessible::Focus));
    EXPECT_EQ(passedFor(plain),
              QStringList({"inserted at 0, cursor 3: abc", "removed at 2, cursor 2: c",
                           "updated at 0, cursor 0: xyz to ", focus}));
    for (QLineEdit::EchoMode mode : {QLineEdit::Password, QLineEdit::PasswordEchoOnEdit}) {
        QLineEdit password;
        password.setEchoMode(mode);
        EXPECT_EQ(passedFor(password),
                  QStringList({"inserted at 0, cursor 3: ***", "removed at 2, cursor 2: *",
                               "updated at 0, cursor 0: *** to ", focus}))
            << mode;
    }
}
