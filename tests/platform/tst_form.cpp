// The window base's creation: the global is set before the controls and the
// creation handler run, and a window's destruction clears it only while it
// is still that window's.
#include "form.h"

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
