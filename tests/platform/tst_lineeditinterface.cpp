// What a line edit tells a screen reader: its text is one attribute run, so
// that a screen reader joining the runs reads it whole, and the queries of a
// password box's text answer nothing.
#include "lineeditinterface.h"

#include "testsupport.h"

#include <QAccessible>
#include <QLineEdit>
#include <gtest/gtest.h>

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
