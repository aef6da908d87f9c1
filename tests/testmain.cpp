// The one main() of every test: the application object must exist before
// any test runs, and tests never need a display.
#include <QApplication>
#include <gtest/gtest.h>

#include "mediaplayer.h"
#include "testsupport.h"

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER"))
        qputenv("SDL_AUDIODRIVER", "dummy");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ScriptedDialogs::install();
    SoundLog::install();
    const int result = RUN_ALL_TESTS();
    // What the programs' end runs; the mixer's thread is gone before the
    // process tears down.
    SoundDevice::shutDown();
    return result;
}
