// A real Chinese input method (ibus with its pinyin engine, through Qt's own
// ibus plugin) switched on while the player types: the game panel's letters
// still reach the board, and the look-up edit still gets Chinese from pinyin.
// Run by ime-pinyin.sh under a virtual X server with the input method up;
// keys come from xdotool as from a keyboard.
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QProcess>
#include <QTest>
#include <QToolButton>

#include "GameWindowFixture.h"
#include "UFrmType.h"
#include "UTypeGameType.h"

namespace {

class AppIme : public GameWindowTest {
protected:
    // xdotool's arguments, while this process keeps handling its events.
    static void Xdotool(const QStringList &arguments)
    {
        QProcess xdotool;
        xdotool.start(QStringLiteral("xdotool"), arguments);
        ASSERT_TRUE(xdotool.waitForStarted());
        while (xdotool.state() != QProcess::NotRunning)
            QTest::qWait(10);
        ASSERT_EQ(xdotool.exitCode(), 0) << xdotool.readAllStandardError().toStdString();
        // The input method answers over D-Bus: give its replies time to land.
        QTest::qWait(500);
    }

    template <typename F>
    static bool WaitFor(F done, int ms = 5000)
    {
        QElapsedTimer timer;
        timer.start();
        while (!done() && timer.elapsed() < ms)
            QTest::qWait(20);
        return done();
    }
};

TEST_F(AppIme, LettersReachTheBoardAndTheLookUpEditGetsPinyin)
{
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
    ASSERT_EQ(qEnvironmentVariable("QT_IM_MODULE"), QStringLiteral("ibus"));
    UseBook(ImportBook("二十", 20));
    Start();
    StartFromTheFirstTollGate();
    Window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Window()));
    ASSERT_TRUE(TickUntil([this] {
        for (const TTypeWordItem &item : Board().WordCanvas1().Items)
            if (item.WordInfo.Spelling == TestSpelling(0) && OnView(item, 1, Board()))
                return true;
        return false;
    }));
    ASSERT_TRUE(Control<QWidget>(Window(), "panGame")->hasFocus());

    Xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("60"),
             QString::fromStdString(TestSpelling(0))});
    EXPECT_TRUE(WaitFor([this] { return Board().RightWordCount() == 1; }))
        << "right words: " << Board().RightWordCount();
    EXPECT_FALSE(Window().ImeNoticeShown());

    QLineEdit *edit = Control<QLineEdit>(Window(), "ediQueryWord");
    edit->setFocus();
    ASSERT_TRUE(WaitFor([edit] { return edit->hasFocus(); }));
    Xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("60"),
             QStringLiteral("nihao")});
    Xdotool({QStringLiteral("key"), QStringLiteral("space")});
    // Pinyin made Chinese: the edit holds no Latin letter of it.
    EXPECT_TRUE(WaitFor([edit] { return !edit->text().isEmpty(); })) << "the edit got nothing";
    const QString text = edit->text();
    EXPECT_FALSE(text.contains(QStringLiteral("nihao"))) << text.toStdString();
    EXPECT_TRUE(std::any_of(text.begin(), text.end(), [](QChar c) {
        return c.script() == QChar::Script_Han;
    })) << text.toStdString();
}

}  // namespace
