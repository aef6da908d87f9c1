// The look over the theme's: the grids show whether they have the focus, a
// default button without it looks plain, and the fixed colours keep a
// background they can be read on, also when the theme changes.
#include "controls.h"
#include "theme.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <gtest/gtest.h>

namespace
{

// The "darker" scheme's window and button colours.
QPalette darkPalette()
{
    return QPalette(QColor(0x42, 0x42, 0x45), QColor(0x22, 0x20, 0x20));
}

} // namespace

TEST(Theme, GridShowsTheFullHighlightOnlyWhileItHasTheFocus)
{
    installLook();
    QWidget window;
    auto *button = new QPushButton(QStringLiteral("Ok"), &window);
    auto *grid = new ScreenReaderTable<QTableWidget>(2, 2, &window);
    grid->setGeometry(0, 30, 200, 100);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->selectRow(0);
    window.show();
    QApplication::setActiveWindow(&window);
    const QPoint inRow = grid->visualRect(grid->model()->index(0, 1)).center();
    auto rowColour = [&] { return grid->viewport()->grab().toImage().pixelColor(inRow); };

    grid->setFocus();
    EXPECT_EQ(rowColour(), grid->palette().color(QPalette::Active, QPalette::Highlight));
    button->setFocus();
    const QColor unfocused = rowColour();
    EXPECT_NE(unfocused, grid->palette().color(QPalette::Active, QPalette::Highlight));
    EXPECT_NE(unfocused, grid->palette().color(QPalette::Base));
}

TEST(Theme, DefaultButtonWithoutTheFocusLooksLikeAnyOther)
{
    installLook();
    QPushButton plain(QStringLiteral("Ok")), asDefault(QStringLiteral("Ok"));
    asDefault.setDefault(true);
    plain.resize(100, 30);
    asDefault.resize(100, 30);
    EXPECT_EQ(plain.grab().toImage(), asDefault.grab().toImage());
}

TEST(Theme, FixedColoursKeepALightBackgroundUnderADarkTheme)
{
    const QPalette original = QApplication::palette();
    const QColor navy(0, 0, 128);
    const struct {
        const char *name;
        QPalette createdUnder;
        QPalette switchedTo;
    } rows[] = {
        {"light", lightPalette(), lightPalette()},
        {"dark", darkPalette(), darkPalette()},
        {"light, then dark", lightPalette(), darkPalette()},
        {"dark, then light", darkPalette(), lightPalette()},
    };
    for (const auto &row : rows) {
        QApplication::setPalette(row.createdUnder);
        QWidget window;
        auto *label = new QLabel(QStringLiteral("Сегодня"), &window);
        setFixedTextColour(label, navy);
        auto *box = new QLineEdit(&window);
        setButtonFaceBackground(box, QPalette::Base);
        QApplication::setPalette(row.switchedTo);
        QCoreApplication::processEvents();

        const QPalette &theme = row.switchedTo;
        const QColor background = contrastRatio(navy, theme.color(QPalette::Window)) < 4.5
                                      ? lightPalette().color(QPalette::Button)
                                      : theme.color(QPalette::Window);
        EXPECT_EQ(label->palette().color(QPalette::Window), background) << row.name;
        EXPECT_EQ(label->palette().color(QPalette::WindowText), navy) << row.name;
        EXPECT_EQ(box->palette().color(QPalette::Base), theme.color(QPalette::Button)) << row.name;
    }
    QApplication::setPalette(original);
}
