// What a grid tells screen readers through the helpers every window uses:
// its current cell when it takes the focus.
#include "controls.h"
#include "testsupport.h"

#include <QApplication>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

TEST(Controls, GridAnnouncesItsCurrentCellAfterItsOwnFocusNotice)
{
    QWidget window;
    auto *before = new QPushButton(&window);
    auto *grid = new ScreenReaderTable<QTableWidget>(3, 2, &window);
    grid->setTabKeyNavigation(false);
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 2; ++column)
            grid->setItem(row, column,
                          new QTableWidgetItem(QStringLiteral("%1/%2").arg(row).arg(column)));
    grid->setCurrentCell(1, 1);
    window.show();
    QApplication::setActiveWindow(&window);
    before->setFocus();

    AnnouncedFocus announced;
    QTest::keyClick(before, Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), grid);
    // Told at once, it would be overridden by the view's own notice, which
    // the focus change sends next.
    EXPECT_TRUE(announced.take().isEmpty());
    QCoreApplication::processEvents();
    EXPECT_EQ(announced.take(), QStringList{QStringLiteral("1/1")});

    // Moving inside the grid is the view's own to tell; a focus gone again
    // before its turn tells nothing.
    QTest::keyClick(grid, Qt::Key_Down);
    QTest::keyClick(grid, Qt::Key_Tab);
    grid->setFocus();
    before->setFocus();
    QCoreApplication::processEvents();
    EXPECT_TRUE(announced.take().isEmpty());
}
