// The window base's creation: the global is set before the controls and the
// creation handler run, and a window's destruction clears it only while it
// is still that window's.
#include "form.h"

#include <QRect>
#include <gtest/gtest.h>

namespace
{

class Probe;
Probe *FrmProbe = nullptr;

class Probe : public Form
{
public:
    Probe() { createWindow(FrmProbe, &Probe::createControls, &Probe::FormCreate); }

    void FormCreate() { seenByCreate = FrmProbe; }

    Probe *seenByControls = nullptr;
    Probe *seenByCreate = nullptr;

private:
    void createControls() { seenByControls = FrmProbe; }
};

} // namespace

TEST(Form, CreationSetsTheGlobalAndOnlyItsOwnWindowClearsIt)
{
    auto *first = new Probe;
    EXPECT_EQ(FrmProbe, first);
    EXPECT_EQ(first->seenByControls, first);
    EXPECT_EQ(first->seenByCreate, first);

    auto *second = new Probe;
    delete first;
    EXPECT_EQ(FrmProbe, second);

    delete second;
    EXPECT_EQ(FrmProbe, nullptr);
}

// Windows placed on a 910 x 512 screen (1366 x 768 at 150 %) whose area
// starts below a 24-pixel panel.
TEST(Form, PlacementKeepsTheFrameOnTheScreen)
{
    const QRect screen(0, 24, 910, 488);
    const struct {
        const char *name;
        QRect frame;
        QPoint expected;
    } rows[] = {
        {"fits, stays", {100, 50, 400, 300}, {100, 50}},
        {"fits, moved in from the right and bottom", {700, 400, 300, 200}, {610, 312}},
        {"fits, moved down from above", {100, -10, 300, 200}, {100, 24}},
        {"too tall, top on the screen", {50, -12, 839, 556}, {50, 24}},
        {"too wide, left on the screen", {-150, 100, 1000, 300}, {0, 100}},
        {"too large, top-left corner", {-150, -144, 1666, 1056}, {0, 24}},
    };
    for (const auto &row : rows)
        EXPECT_EQ(keptOnScreen(row.frame, screen), row.expected) << row.name;
}
