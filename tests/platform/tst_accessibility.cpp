// A password box gives nothing away to a screen reader: the text of its
// text events goes on as stars, and the queries of its text answer nothing.
// Qt calls the handlers only while a screen reader listens, which never
// happens headless, so the events are handed to the filter directly, as
// Qt's line edit makes them. A line edit's text is one attribute run, so
// that a screen reader joining the runs reads it whole.
#include "accessibility.h"

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

// Each offset of the text lies in one run from its start to its end, the
// offset after the last character as well.
TEST(LineEditInterface, TheTextIsOneAttributeRun)
{
    installLineEditInterface();
    QLineEdit edit(QStringLiteral("Новый год"));
    QAccessibleTextInterface *text = QAccessible::queryAccessibleInterface(&edit)->textInterface();
    ASSERT_NE(text, nullptr);
    for (int offset = 0; offset <= 9; ++offset) {
        int start = -1;
        int end = -1;
        text->attributes(offset, &start, &end);
        EXPECT_EQ(std::pair(start, end), std::pair(0, 9)) << offset;
    }
    EXPECT_EQ(text->text(0, 9), QStringLiteral("Новый год"));
    // Orca asks for the word at the end after Ctrl+Right.
    int start = -1;
    int end = -1;
    EXPECT_EQ(text->textAtOffset(9, QAccessible::WordBoundary, &start, &end),
              QStringLiteral("год"));
}

TEST(LineEditInterface, QueriesOfAPasswordBoxAnswerNoCharacter)
{
    installLineEditInterface();
    QLineEdit password;
    password.setEchoMode(QLineEdit::Password);
    typeText(&password, QStringLiteral("abc"));
    password.setSelection(0, 2);
    QAccessibleInterface *box = QAccessible::queryAccessibleInterface(&password);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(QAccessible::Value), QStringLiteral("***"));
    QAccessibleTextInterface *text = box->textInterface();
    ASSERT_NE(text, nullptr);

    QStringList answers{text->text(0, 3)};
    for (int offset = 0; offset <= 3; ++offset) {
        int start = 0;
        int end = 0;
        answers << text->attributes(offset, &start, &end);
        EXPECT_EQ(std::pair(start, end), std::pair(0, 3)) << "the run tells the length only";
        for (auto boundary : {QAccessible::CharBoundary, QAccessible::WordBoundary,
                              QAccessible::LineBoundary, QAccessible::NoBoundary}) {
            answers << text->textAtOffset(offset, boundary, &start, &end)
                    << text->textBeforeOffset(offset, boundary, &start, &end)
                    << text->textAfterOffset(offset, boundary, &start, &end);
        }
    }
    for (const QString &answer : answers)
        for (QChar typed : QStringLiteral("abc"))
            EXPECT_FALSE(answer.contains(typed)) << answer.toStdString();
    int start = -1;
    int end = -1;
    text->selection(0, &start, &end);
    EXPECT_EQ(std::pair(start, end), std::pair(0, 2)) << "the selection is told by offsets only";
}
