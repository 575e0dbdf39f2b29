// The main of the test programs of the window libraries: Qt runs offscreen
// unless told otherwise, message boxes are scripted and forgotten before each
// test, the application object is the program's own and the designed font
// names resolve as they do in the program. (The core libraries' tests run on
// CoreTestMain.cpp.)
#include <memory>

#include <gtest/gtest.h>

#include <QtGlobal>

#include "Fonts.h"
#include "KivroApplication.h"
#include "MessageBoxes.h"
#include "ScriptedMessageBoxes.h"

namespace {

// Each test starts with no answers scripted and no messages shown.
class ForgetMessageBoxes final : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo &) override
    {
        ScriptedMessageBoxes::Global().Clear();
    }
};

}  // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    ::testing::InitGoogleTest(&argc, argv);
    TKivroApplication app(argc, argv);
    InstallFontSubstitutions();
    auto boxes = std::make_shared<ScriptedMessageBoxes>();
    SetMessageBoxes(boxes);
    ScriptedMessageBoxes::SetGlobal(boxes);
    ::testing::UnitTest::GetInstance()->listeners().Append(new ForgetMessageBoxes);
    return RUN_ALL_TESTS();
}
