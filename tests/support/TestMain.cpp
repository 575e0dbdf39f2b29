// The main of every test program: Qt runs offscreen unless told otherwise,
// message boxes are scripted, and the application object is the program's own.
#include <cstdlib>
#include <memory>

#include <gtest/gtest.h>

#include "KivroApplication.h"
#include "MessageBoxes.h"
#include "ScriptedMessageBoxes.h"

int main(int argc, char **argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    TKivroApplication app(argc, argv);
    auto boxes = std::make_shared<ScriptedMessageBoxes>();
    SetMessageBoxes(boxes);
    ScriptedMessageBoxes::SetGlobal(boxes);
    return RUN_ALL_TESTS();
}
