// What a grid and a drop-down list tell screen readers through the helpers
// every window uses: a grid its current cell when it takes the focus, a
// drop-down its value on entry and at each change.
#include "controls.h"
#include "testsupport.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

namespace
{

QString accessibleDescription(QWidget *widget)
{
    return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Description);
}

} // namespace

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

TEST(Controls, DropDownTellsItsValueOnEntryAndAtEachChange)
{
    QWidget window;
    auto *before = new QPushButton(&window);
    auto *box = new QComboBox(&window);
    box->addItems({QStringLiteral("январь"), QStringLiteral("февраль"), QStringLiteral("март"),
                   QStringLiteral("апрель"), QStringLiteral("май")});
    box->setCurrentIndex(2);
    announceCurrentItem(box);
    EXPECT_EQ(accessibleDescription(box), QStringLiteral("март"));
    window.show();
    QApplication::setActiveWindow(&window);
    box->setFocus();

    AnnouncedFocus announced;
    const std::pair<int, QString> keys[] = {
        {Qt::Key_Up, QStringLiteral("февраль")},
        {Qt::Key_Down, QStringLiteral("март")},
        {Qt::Key_End, QStringLiteral("май")},
        {Qt::Key_Home, QStringLiteral("январь")},
        {Qt::Key_PageDown, QStringLiteral("февраль")},
        {Qt::Key_PageUp, QStringLiteral("январь")},
        {0, QStringLiteral("апрель")}, // a typed letter
    };
    for (const auto &[key, item] : keys) {
        if (key)
            QTest::keyClick(box, Qt::Key(key));
        else
            typeText(box, QStringLiteral("а"));
        EXPECT_EQ(announced.take(), QStringList{item}) << key;
        EXPECT_EQ(accessibleDescription(box), item) << key;
    }

    // Set while another control has the focus: the box still reads its
    // value, announced to nobody.
    before->setFocus();
    box->setCurrentIndex(4);
    EXPECT_EQ(accessibleDescription(box), QStringLiteral("май"));
    box->setCurrentIndex(-1);
    EXPECT_EQ(accessibleDescription(box), QString());
    EXPECT_TRUE(announced.take().isEmpty());
}
