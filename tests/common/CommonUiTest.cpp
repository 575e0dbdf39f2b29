#include <stdexcept>

#include <QCoreApplication>
#include <QEvent>
#include <QAction>
#include <QObject>

#include <gtest/gtest.h>

#include "CommonLog.h"
#include "ExplainedError.h"
#include "KivroApplication.h"
#include "LogCapture.h"
#include "MessageBoxes.h"
#include "ScriptedMessageBoxes.h"
#include "UrlOpener.h"

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

// A failure whose cause a library below the boundary can put in words.
class EWorded : public EExplainedError {
public:
    EWorded() : EExplainedError("SQLITE_FULL: database or disk is full") {}
    QString Reason() const override { return QStringLiteral("磁盘空间不足。"); }
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
    // Not the developer's English text.
    EXPECT_EQ(shown[0].text, QStringLiteral("程序出现了意外的错误。"));
    EXPECT_EQ(shown[0].icon, TMsgIcon::Exclamation);
}

TEST_F(CommonUi, ACommandThatThrowsIsShownAndGoesNoFurther)
{
    // QAction::trigger runs its slots directly, outside any event delivery:
    // only the command's own boundary stands between a throw and Qt's code.
    QAction action(QStringLiteral("背景音乐设置"));
    int after = 0;
    QObject::connect(&action, &QAction::triggered, &action, Guarded(action.iconText(), [] {
        throw std::runtime_error("Unable to write to /x/data/typeconfig.ini");
    }));
    QObject::connect(&action, &QAction::triggered, &action,
                     Guarded(QStringLiteral("选择课本"), [] { throw 42; }));
    QObject::connect(&action, &QAction::triggered, &action,
                     Guarded(QStringLiteral("排行榜"), [] { throw EWorded(); }));
    QObject::connect(&action, &QAction::triggered, &action, [&after] { ++after; });
    EXPECT_NO_THROW(action.trigger());
    // The player reads the command and the cause in Chinese, never what().
    EXPECT_EQ(ScriptedMessageBoxes::Global().Texts(),
              (QStringList{QStringLiteral("“背景音乐设置”未能完成：程序出现了意外的错误。"),
                           QStringLiteral("“选择课本”未能完成：程序出现了意外的错误。"),
                           QStringLiteral("“排行榜”未能完成：磁盘空间不足。")}));
    EXPECT_EQ(ScriptedMessageBoxes::Global().Shown()[0].icon, TMsgIcon::Exclamation);
    EXPECT_EQ(after, 1);  // the other slots of the signal still run

    int ran = 0;
    EXPECT_TRUE(RunCommand(QStringLiteral("开始游戏"), [&ran] { ++ran; }));
    EXPECT_EQ(ran, 1);
    EXPECT_EQ(ScriptedMessageBoxes::Global().Shown().size(), 3u);
}

TEST_F(CommonUi, HandledErrorsAreWarningsWithTheDevelopersTextTracesStayDebug)
{
    // Warnings show without any rules; traces only when asked for.
    EXPECT_TRUE(lcCommon().isWarningEnabled());
    EXPECT_FALSE(lcCommon().isDebugEnabled());
    {
        LogCapture log(QStringLiteral("kivro.common"));
        EXPECT_FALSE(
            RunCommand(QStringLiteral("导入词库"), [] { throw std::runtime_error("disk full"); }));
        ASSERT_EQ(log.Lines().size(), 1);
        EXPECT_EQ(log.Types(), QList<QtMsgType>{QtWarningMsg});
        EXPECT_TRUE(log.Lines()[0].contains(QStringLiteral("导入词库")))
            << log.Lines()[0].toStdString();
        EXPECT_TRUE(log.Lines()[0].contains(QStringLiteral("disk full")))
            << log.Lines()[0].toStdString();
    }
    EXPECT_FALSE(lcCommon().isDebugEnabled());
}

TEST_F(CommonUi, AddressesReachTheBrowserOnlyWhenValidAndOpenerErrorsStayInside)
{
    QList<QUrl> opened;
    SetUrlOpener([&opened](const QUrl &url) { opened << url; });
    OpenUrl(QUrl());
    OpenUrl(QUrl(QStringLiteral("http://[::1")));  // not a valid address
    const QUrl help = QUrl::fromLocalFile(QStringLiteral("/opt/kivrotype/kivrotype.html"));
    OpenUrl(help);
    EXPECT_EQ(opened, QList<QUrl>{help});

    // An advert may only lead to a web page.
    const TUrlOpener record = [&opened](const QUrl &url) { opened << url; };
    EXPECT_FALSE(OpenWebAddress(record, help));
    EXPECT_FALSE(OpenWebAddress(record, QUrl(QStringLiteral("mailto:a@example.invalid"))));
    EXPECT_FALSE(OpenWebAddress({}, QUrl(QStringLiteral("https://example.invalid/"))));
    EXPECT_TRUE(OpenWebAddress(record, QUrl(QStringLiteral("https://example.invalid/ad"))));
    EXPECT_EQ(opened.size(), 2);

    LogCapture log(QStringLiteral("kivro.common"));
    const TUrlOpener failing = [](const QUrl &) { throw std::runtime_error("no browser"); };
    EXPECT_FALSE(OpenWebAddress(failing, QUrl(QStringLiteral("https://example.invalid/"))));
    SetUrlOpener(failing);
    EXPECT_NO_THROW(OpenUrl(help));
    SetUrlOpener({});
    EXPECT_EQ(log.Lines().size(), 2);
}

TEST_F(CommonUi, StandardButtonsSpeakChinese)
{
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("是(&Y)"));
}

}  // namespace
