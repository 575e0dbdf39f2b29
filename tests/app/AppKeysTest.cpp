// Keystrokes on their way from the window system to the board: key releases
// only, once each, and only while the game panel has the keyboard focus.
#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include "GameWindowFixture.h"
#include "UFrmType.h"
#include "UTypeGameType.h"

namespace {

class AppKeys : public GameWindowTest {
protected:
    // A running toll gate of 20 words with "qaa" (or "Qaa") on view.
    void SetUpBoard(char first = 'q')
    {
        const TestBook book = ImportBook("二十", 20, first);
        UseBook(book);
        Start();
        StartGame();
        Control<QToolButton>(Window(), "sbReStart")->click();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Window()));
        m_word = TestSpelling(0, first);
        ASSERT_TRUE(TickUntil([this] { return Item() != nullptr; }));
        ASSERT_TRUE(Control<QWidget>(Window(), "panGame")->hasFocus());
    }

    // The box of the watched word while it is on view.
    const TTypeWordItem *Item()
    {
        for (int id : {1, 2}) {
            const TWordCanvas &c = id == 1 ? Board().WordCanvas1() : Board().WordCanvas2();
            for (const TTypeWordItem &item : c.Items) {
                if (item.WordInfo.Spelling == m_word && OnView(item, id, Board()))
                    return &item;
            }
        }
        return nullptr;
    }

    // Letters of the watched word typed so far; -1 when it is off view.
    int Typed()
    {
        const TTypeWordItem *item = Item();
        if (!item)
            return -1;
        int n = 0;
        for (int flag : item->TypedFlags)
            n += flag;
        return n;
    }

    std::string m_word;
};

TEST_F(AppKeys, EachKeyReleaseOnTheGamePanelTypesOneLetter)
{
    SetUpBoard();
    ASSERT_EQ(Typed(), 0);
    // A press alone types nothing.
    Press(Qt::Key_Q, QStringLiteral("q"));
    EXPECT_EQ(Typed(), 0);
    Release(Qt::Key_Q, QStringLiteral("q"));
    EXPECT_EQ(Typed(), 1);
    // Typed twice, "a" would complete "qaa".
    Click(Qt::Key_A, QStringLiteral("a"));
    EXPECT_EQ(Typed(), 2);
    EXPECT_EQ(Board().RightWordCount(), 0);
    Click(Qt::Key_A, QStringLiteral("a"));
    EXPECT_EQ(Board().RightWordCount(), 1);
    EXPECT_EQ(Control<QLabel>(Window(), "labRightCount")->text(), QStringLiteral("1"));
    EXPECT_EQ(Control<QLabel>(Window(), "labScore")->text(), QStringLiteral("100"));
}

TEST_F(AppKeys, KeysTypedIntoTheLookUpEditStayThere)
{
    SetUpBoard();
    Control<QLineEdit>(Window(), "ediQueryWord")->setFocus();
    ASSERT_TRUE(Control<QLineEdit>(Window(), "ediQueryWord")->hasFocus());
    Click(Qt::Key_Q, QStringLiteral("q"));
    Click(Qt::Key_A, QStringLiteral("a"));
    EXPECT_EQ(Typed(), 0);
    EXPECT_EQ(Control<QLineEdit>(Window(), "ediQueryWord")->text(), QStringLiteral("qa"));

    // A click on the board takes the focus back to the game.
    QTest::mouseClick(&Board(), Qt::LeftButton);
    EXPECT_TRUE(Control<QWidget>(Window(), "panGame")->hasFocus());
    Click(Qt::Key_Q, QStringLiteral("q"));
    EXPECT_EQ(Typed(), 1);
    EXPECT_EQ(Control<QLineEdit>(Window(), "ediQueryWord")->text(), QStringLiteral("qa"));
}

TEST_F(AppKeys, AHeldKeySendsNothingUntilItIsReleased)
{
    SetUpBoard();
    Press(Qt::Key_Q, QStringLiteral("q"));
    for (int i = 0; i < 5; ++i) {
        Release(Qt::Key_Q, QStringLiteral("q"), true);
        Press(Qt::Key_Q, QStringLiteral("q"), true);
    }
    EXPECT_EQ(Typed(), 0);
    Release(Qt::Key_Q, QStringLiteral("q"));
    EXPECT_EQ(Typed(), 1);
    // Had the repeats gone through, "a" twice would have been typed too.
    Press(Qt::Key_A, QStringLiteral("a"));
    Release(Qt::Key_A, QStringLiteral("a"), true);
    Press(Qt::Key_A, QStringLiteral("a"), true);
    Release(Qt::Key_A, QStringLiteral("a"));
    EXPECT_EQ(Typed(), 2);
    EXPECT_EQ(Board().RightWordCount(), 0);
}

TEST_F(AppKeys, ShiftAndAltComeFromTheEvent)
{
    SetUpBoard('Q');
    // Without Shift or Caps Lock the letter is small and does not match.
    Click(Qt::Key_Q, QStringLiteral("q"));
    EXPECT_EQ(Typed(), 0);
    // Alt makes it a menu key, not a letter.
    Press(Qt::Key_Q, QStringLiteral("Q"), false, Qt::ShiftModifier | Qt::AltModifier);
    Release(Qt::Key_Q, QStringLiteral("Q"), false, Qt::ShiftModifier | Qt::AltModifier);
    EXPECT_EQ(Typed(), 0);
    Press(Qt::Key_Q, QStringLiteral("Q"), false, Qt::ShiftModifier);
    Release(Qt::Key_Q, QStringLiteral("Q"), false, Qt::ShiftModifier);
    EXPECT_EQ(Typed(), 1);
}

TEST_F(AppKeys, WithoutTextCapsLockIsReadFromTheLockBit)
{
    constexpr quint32 kLockMask = 0x2;
    SetUpBoard('Q');
    QKeyEvent plain(QEvent::KeyRelease, Qt::Key_Q, Qt::NoModifier, 0, 0, 0, QString());
    QApplication::sendEvent(Control<QWidget>(Window(), "panGame"), &plain);
    EXPECT_EQ(Typed(), 0);
    QKeyEvent locked(QEvent::KeyRelease, Qt::Key_Q, Qt::NoModifier, 0, 0, kLockMask, QString());
    QApplication::sendEvent(Control<QWidget>(Window(), "panGame"), &locked);
    EXPECT_EQ(Typed(), 1);
}

}  // namespace
