#include <stdexcept>

#include <QCoreApplication>
#include <QEvent>
#include <QObject>

#include <gtest/gtest.h>

#include "KivroApplication.h"
#include "MessageBoxes.h"
#include "ScriptedMessageBoxes.h"

namespace {

class Thrower : public QObject {
public:
    bool event(QEvent *e) override
    {
        if (e->type() == QEvent::User)
            throw std::runtime_error("Unable to write to /x/data/typeconfig.ini");
        return QObject::event(e);
    }
};

class CommonUi : public ::testing::Test {
protected:
    void SetUp() override { ScriptedMessageBoxes::Global().Clear(); }
};

TEST_F(CommonUi, MessagesCarryTheCaptionAndIcon)
{
    auto &boxes = ScriptedMessageBoxes::Global();
    ShowMessage(nullptr, QStringLiteral("请选择课本！"));
    boxes.Answer(QMessageBox::Yes);
    EXPECT_TRUE(AskYesNo(nullptr, QStringLiteral("是否记录您的游戏成绩？")));
    boxes.Answer(QMessageBox::No);
    EXPECT_FALSE(AskYesNo(nullptr, QStringLiteral("再问一次")));
    ASSERT_EQ(boxes.Shown().size(), 3u);
    EXPECT_EQ(boxes.Shown()[0].caption, QStringLiteral("提示信息"));
    EXPECT_EQ(boxes.Shown()[0].icon, TMsgIcon::Information);
    EXPECT_EQ(boxes.Shown()[0].buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
    EXPECT_EQ(boxes.Shown()[1].icon, TMsgIcon::Question);
    EXPECT_EQ(boxes.Shown()[1].buttons, QMessageBox::Yes | QMessageBox::No);
}

TEST_F(CommonUi, ExceptionsInHandlersReachTheGeneralErrorDisplay)
{
    Thrower thrower;
    QEvent event(QEvent::User);
    // Delivery through the application object, as the event loop does it.
    EXPECT_NO_THROW(QCoreApplication::sendEvent(&thrower, &event));
    const auto &shown = ScriptedMessageBoxes::Global().Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, QStringLiteral("Unable to write to /x/data/typeconfig.ini"));
    EXPECT_EQ(shown[0].icon, TMsgIcon::Exclamation);
}

TEST_F(CommonUi, StandardButtonsSpeakChinese)
{
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("是(&Y)"));
}

} // namespace
