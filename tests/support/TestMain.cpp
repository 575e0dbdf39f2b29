// The main of every test program: Qt runs offscreen unless told otherwise,
// message boxes are scripted, the application object is the program's own and
// the designed font names resolve as they do in the program.
#include <cstdlib>
#include <memory>

#include <gtest/gtest.h>

#include "Fonts.h"
#include "KivroApplication.h"
#include "MessageBoxes.h"
#include "ScriptedMessageBoxes.h"

int main(int argc, char **argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    TKivroApplication app(argc, argv);
    InstallFontSubstitutions();
    auto boxes = std::make_shared<ScriptedMessageBoxes>();
    SetMessageBoxes(boxes);
    ScriptedMessageBoxes::SetGlobal(boxes);
    return RUN_ALL_TESTS();
}
