// The board's construction, properties and lifecycle operations.
#include <gtest/gtest.h>

#include <QFontInfo>

#include "BoardTestSupport.h"
#include "Fonts.h"

namespace {

TEST(BoardModel, ConstructionDefaults)
{
    QWidget panel;
    TTypeGameType board(&panel, TTickSource::Manual);
    EXPECT_EQ(board.size(), QSize(600, 400));
    EXPECT_EQ(board.focusPolicy(), Qt::NoFocus);
    EXPECT_FALSE(board.testAttribute(Qt::WA_NativeWindow));
    EXPECT_EQ(board.RowCount(), 6);
    EXPECT_EQ(board.WordsPerRow(), 1);
    EXPECT_EQ(board.PlayInterval(), 50);
    EXPECT_EQ(board.LevelInterval2(), 30);
    EXPECT_EQ(board.LevelInterval3(), 30);
    EXPECT_EQ(board.BackGroundColor(), 0xB06948);
    EXPECT_EQ(board.TypeColor(), 0x00FF00);
    EXPECT_EQ(board.TollGateWords(), 50);
    EXPECT_EQ(board.LastWordIndex(), -1);
    EXPECT_FALSE(board.IsPlaying());
    EXPECT_FALSE(board.IsShootTimerActive());
    // Canvases wait above the board, nothing on view.
    EXPECT_EQ(board.WordCanvas1().Top, -400);
    EXPECT_EQ(board.WordCanvas2().Top, -800);
    EXPECT_EQ(board.Arrow().size(), QSize(10, 15));
}

TEST(BoardModel, DesignedFontsResolveToInstalledFamilies)
{
    // Fails loudly when a font package is missing: Qt would silently fall
    // back to whatever it finds, and the boxes would lose their layout.
    QWidget panel;
    TTypeGameType board(&panel, TTickSource::Manual);
    EXPECT_EQ(board.WordFont().Font.pixelSize(), 16);
    EXPECT_EQ(board.MeanFont().Font.pixelSize(), 13);
    EXPECT_TRUE(board.MeanFont().Font.bold());
    EXPECT_EQ(QFontInfo(board.WordFont().Font).family(), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(QFontInfo(board.TypedFont().Font).family(), QStringLiteral("Liberation Sans"));
    const QString song = QFontInfo(board.MeanFont().Font).family();
    EXPECT_TRUE(SongTiReplacements().contains(song)) << song.toStdString();
}

TEST(BoardModel, StoredColoursConvertBothWays)
{
    EXPECT_EQ(ColorToQColor(0xB06948), QColor(72, 105, 176));
    EXPECT_EQ(ColorToQColor(0x00FF00), QColor(0, 255, 0));
    EXPECT_EQ(ColorToQColor(static_cast<TColor>(0x7F0000FF)), QColor(255, 0, 0));
    EXPECT_EQ(QColorToColor(QColor(72, 105, 176)), 0xB06948);
    EXPECT_EQ(QColorToColor(QColor(1, 2, 3, 40)), 0x030201);
    for (TColor c : {0x000000, 0xFFFFFF, 0x123456, 0xB06948})
        EXPECT_EQ(QColorToColor(ColorToQColor(c)), c);
}

TEST(BoardModel, LevelSetsIntervalAndWordsPerRow)
{
    PanelledBoard b;
    b->SetLevel(2);
    EXPECT_EQ(b->PlayInterval(), 30);
    EXPECT_EQ(b->WordsPerRow(), 1);
    b->SetLevel(3);
    EXPECT_EQ(b->PlayInterval(), 30);
    EXPECT_EQ(b->WordsPerRow(), 2);
    // Any other value is stored and changes neither.
    b->SetLevel(4);
    EXPECT_EQ(b->Level(), 4);
    EXPECT_EQ(b->PlayInterval(), 30);
    EXPECT_EQ(b->WordsPerRow(), 2);
    b->SetLevel(1);
    EXPECT_EQ(b->PlayInterval(), 50);
    EXPECT_EQ(b->WordsPerRow(), 1);
}

TEST(BoardModel, LevelIntervalWritesReachOnlyTheLevelInForce)
{
    PanelledBoard b;
    b->SetLevel(2);
    b->SetLevelInterval2(45);
    EXPECT_EQ(b->LevelInterval2(), 45);
    EXPECT_EQ(b->PlayInterval(), 45);
    b->SetLevel(1);
    EXPECT_EQ(b->PlayInterval(), 50);
    b->SetLevelInterval2(20);
    EXPECT_EQ(b->LevelInterval2(), 20);
    EXPECT_EQ(b->PlayInterval(), 50);
    b->SetLevelInterval1(70);
    EXPECT_EQ(b->PlayInterval(), 70);
    b->SetLevel(3);
    b->SetLevelInterval3(-5);
    EXPECT_EQ(b->PlayInterval(), -5);
}

TEST(BoardModel, WordDisTypeRedrawsOnlyWhenItChanges)
{
    RandomScript random;
    PanelledBoard b;
    b->StartGame(NumberedWords(10), nullptr);
    const QPoint inside(300, 200);
    EXPECT_EQ(b->WordCanvas1().Bitmap.pixelColor(inside), QColor(72, 105, 176));

    // A new background shows only at the next redraw.
    b->SetBackGroundColor(0x000080);
    EXPECT_EQ(b->BackGroundColor(), 0x000080);
    EXPECT_EQ(b->WordCanvas1().Bitmap.pixelColor(inside), QColor(72, 105, 176));
    b->SetWordDisType(TWordDisType::wdtMeanSpell);  // its own value
    EXPECT_EQ(b->WordCanvas1().Bitmap.pixelColor(inside), QColor(72, 105, 176));
    b->SetWordDisType(TWordDisType::wdtSpell);
    EXPECT_EQ(b->WordCanvas1().Bitmap.pixelColor(inside), QColor(128, 0, 0));
    EXPECT_EQ(b->WordCanvas2().Bitmap.pixelColor(inside), QColor(128, 0, 0));

    b->SetBackGroundColor(0x008000);
    b->RedrawWords();
    EXPECT_EQ(b->WordCanvas1().Bitmap.pixelColor(inside), QColor(0, 128, 0));
}

TEST(BoardModel, TollGateWordsBelowOneAreIgnored)
{
    PanelledBoard b;
    b->SetTollGateWords(0);
    EXPECT_EQ(b->TollGateWords(), 50);
    b->SetTollGateWords(-3);
    EXPECT_EQ(b->TollGateWords(), 50);
    b->SetTollGateWords(20);
    EXPECT_EQ(b->TollGateWords(), 20);
    b->StartGame(NumberedWords(3), nullptr);  // would divide by zero with 0
    EXPECT_EQ(b->TollGateCount(), 1);
}

TEST(BoardModel, StartGameRunsAndKeepsTheCounts)
{
    PanelledBoard b;
    EXPECT_FALSE(b->IsPlaying());
    b->StartGame(NumberedWords(10), nullptr);
    EXPECT_TRUE(b->IsPlaying());
    EXPECT_TRUE(b->IsShootTimerActive());
    EXPECT_EQ(b->TollGateIndex(), 1);
    b->PauseGame();
    EXPECT_FALSE(b->IsPlaying());
    EXPECT_FALSE(b->IsShootTimerActive());
    EXPECT_EQ(b.Ticks(3), 0);
    b->ContinueGame();
    EXPECT_EQ(b.Ticks(3), 3);
    EXPECT_EQ(b->WordCanvas1().Scrolled, 3);
}

TEST(BoardModel, ContinueBeforeStartGameProducesNoTick)
{
    PanelledBoard b;
    b->ContinueGame();
    EXPECT_EQ(b.Ticks(5), 0);
    EXPECT_EQ(b->WordCanvas1().Top, -400);
}

TEST(BoardModel, RestartStartsOverAndRuns)
{
    RandomScript random;
    PanelledBoard b;
    b->StartGame(NumberedWords(40), nullptr);
    b.Ticks(700);
    ASSERT_GT(b->ErrorWordCount(), 0);
    b->PauseGame();

    int gateChanges = 0;
    int checkChanges = 0;
    int countsAtCheck = -1;
    QObject::connect(b.Board, &TTypeGameType::tollGateChange, [&] { ++gateChanges; });
    QObject::connect(b.Board, &TTypeGameType::typeCheckChange, [&] {
        ++checkChanges;
        countsAtCheck = b->RightWordCount() + b->ErrorWordCount();
    });
    b->Restart();
    EXPECT_GE(gateChanges, 2);
    EXPECT_EQ(checkChanges, 1);
    EXPECT_EQ(countsAtCheck, 0);
    EXPECT_EQ(b->TollGateIndex(), 1);
    EXPECT_EQ(b->ErrorWordCount(), 0);
    EXPECT_EQ(b->Score(), 0);
    EXPECT_TRUE(b->IsPlaying());
    EXPECT_TRUE(b->IsShootTimerActive());
    EXPECT_EQ(Spellings(b->WordCanvas1()), NumberedSpellings(0, 5));
    EXPECT_EQ(b->WordCanvas1().Top, -400);
    EXPECT_EQ(b->WordCanvas1().Scrolled, 0);
}

TEST(BoardModel, ResizeBoardKeepsThePausedOrRunningState)
{
    RandomScript random;
    PanelledBoard b(600, 400);
    b->StartGame(NumberedWords(40), nullptr);
    b.Ticks(600);
    b->PauseGame();
    int gateChanges = 0;
    int checkChanges = 0;
    QObject::connect(b.Board, &TTypeGameType::tollGateChange, [&] { ++gateChanges; });
    QObject::connect(b.Board, &TTypeGameType::typeCheckChange, [&] { ++checkChanges; });

    b.Panel->resize(815, 424);
    b->resize(815, 424);
    b->ResizeBoard();
    EXPECT_FALSE(b->IsPlaying());
    EXPECT_FALSE(b->IsShootTimerActive());
    EXPECT_EQ(b->BoardRect(), (TRect{0, 0, 815, 424}));
    EXPECT_EQ(b->RowCount(), 7);
    EXPECT_EQ(b->WordCanvas1().Bitmap.size(), QSize(815, 424));
    EXPECT_EQ(b->WordCanvas2().Top, -848);
    EXPECT_EQ(Spellings(b->WordCanvas1()), NumberedSpellings(0, 6));
    EXPECT_EQ(b->ErrorWordCount(), 0);
    EXPECT_EQ(gateChanges, 1);
    EXPECT_EQ(checkChanges, 1);
    EXPECT_EQ(b.Ticks(1), 0);

    b->ContinueGame();
    b.Ticks(10);
    b->resize(700, 300);
    b->ResizeBoard();
    EXPECT_TRUE(b->IsPlaying());
    EXPECT_TRUE(b->IsShootTimerActive());
    EXPECT_EQ(b->RowCount(), 5);
    EXPECT_EQ(b->WordCanvas1().Scrolled, 0);
    EXPECT_EQ(b.Ticks(1), 1);
}

}  // namespace
