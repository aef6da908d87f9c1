// The about window: its texts, a description that cannot be edited, OK as
// the only Tab stop and default button, and Escape doing nothing.
#include "U_About.h"
#include "editortest.h"

#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace
{

class AboutWindowTest : public EditorTest
{
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        new TFrmAbout;
    }

    // Shows the window as the main window's button does, and makes it the
    // active window so that the keyboard reaches it.
    void show()
    {
        FrmAbout->showModal();
        expectShownModally(QStringLiteral("FrmAbout"), FrmAbout);
        QApplication::setActiveWindow(FrmAbout);
    }
};

TEST_F(AboutWindowTest, Texts)
{
    EXPECT_EQ(FrmAbout->windowTitle(), QStringLiteral("О программе"));
    EXPECT_EQ(FrmAbout->size(), QSize(327, 331));
    EXPECT_EQ(FrmAbout->minimumSize(), FrmAbout->maximumSize());
    EXPECT_FALSE(FrmAbout->windowFlags() &
                 (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(FrmAbout->ProductName->text(), QStringLiteral("Orvista (Orvista) 2"));
    EXPECT_EQ(FrmAbout->Label4->text(), QStringLiteral("Версия:  2.1"));
    EXPECT_EQ(FrmAbout->OKButton->text(), QStringLiteral("OK"));
    EXPECT_EQ(FrmAbout->ProductName->parentWidget(), FrmAbout->Panel1);
    EXPECT_EQ(FrmAbout->Memo1->parentWidget(), FrmAbout->Panel1);
    const QString description = FrmAbout->Memo1->toPlainText();
    EXPECT_TRUE(description.contains(QStringLiteral("Orvista (Orvista) 2")));
    EXPECT_TRUE(description.contains(QStringLiteral("зрени")));
}

TEST_F(AboutWindowTest, TabReachesOnlyOk)
{
    show();
    EXPECT_EQ(QApplication::focusWidget(), FrmAbout->OKButton);
    for (Qt::Key key : {Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Backtab, Qt::Key_Tab}) {
        QTest::keyClick(QApplication::focusWidget(), key);
        EXPECT_EQ(QApplication::focusWidget(), FrmAbout->OKButton);
    }
    EXPECT_TRUE(FrmAbout->OKButton->isDefault());
}

TEST_F(AboutWindowTest, EnterClosesAndTheWindowShowsAgain)
{
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        show();
        QTest::keyClick(QApplication::focusWidget(), key);
        EXPECT_FALSE(FrmAbout->isVisible());
    }
    // The close box hides it as well.
    show();
    FrmAbout->close();
    EXPECT_FALSE(FrmAbout->isVisible());
}

TEST_F(AboutWindowTest, EscapeDoesNothing)
{
    show();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_TRUE(FrmAbout->isVisible());
    QTest::keyClick(FrmAbout, Qt::Key_Escape);
    EXPECT_TRUE(FrmAbout->isVisible());
}

TEST_F(AboutWindowTest, DescriptionCannotBeEdited)
{
    show();
    const QString before = FrmAbout->Memo1->toPlainText();
    EXPECT_TRUE(FrmAbout->Memo1->isReadOnly());
    EXPECT_FALSE(FrmAbout->Memo1->focusPolicy() & Qt::TabFocus);
    // Even with the focus put there by a click.
    QTest::mouseClick(FrmAbout->Memo1->viewport(), Qt::LeftButton);
    typeText(FrmAbout->Memo1, QStringLiteral("лишнее"));
    QTest::keyClick(FrmAbout->Memo1, Qt::Key_Backspace);
    QTest::keyClick(FrmAbout->Memo1, Qt::Key_Delete);
    EXPECT_EQ(FrmAbout->Memo1->toPlainText(), before);
}

} // namespace
