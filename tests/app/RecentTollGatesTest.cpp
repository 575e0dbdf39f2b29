// The menu "最近关卡", built from the recent toll gates, in the main window.
#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QToolButton>

#include <gtest/gtest.h>

#include "FakeAudioLayer.h"
#include "FakeSpeechLayer.h"
#include "GameParaSupport.h"
#include "GameWindowFixture.h"
#include "GbkText.h"
#include "OfflineWindowServices.h"
#include "RecentTollGates.h"
#include "ScriptedMessageBoxes.h"
#include "Settings.h"
#include "TempProgramDir.h"
#include "TextUtils.h"
#include "UBookType.h"
#include "UDataInterface.h"
#include "UFrmType.h"
#include "UImpExpLib.h"
#include "UTypeGameType.h"

namespace {

// ---- the menu in the main window --------------------------------------------

class AppRecentWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ScriptedMessageBoxes::Global().Clear();
        ASSERT_TRUE(m_db.ConnectDatabase());
        SetDataInterface(&m_db);
    }
    void TearDown() override
    {
        m_window.reset();
        SetDataInterface(nullptr);
    }

    TFrmType &Open()
    {
        m_window = std::make_unique<TFrmType>(OfflineWindowServices(m_speech, m_audio));
        m_window->show();
        QApplication::processEvents();
        return *m_window;
    }

    // Drops a key from the copied settings file.
    void RemoveSetting(TSettingKey key)
    {
        const std::string text = m_dir.ReadFile("data/typeconfig.ini");
        std::string kept;
        size_t start = 0;
        while (start < text.size()) {
            size_t end = text.find('\n', start);
            end = end == std::string::npos ? text.size() : end + 1;
            const std::string line = text.substr(start, end - start);
            if (line.rfind(std::string(key.Name()) + "=", 0) != 0)
                kept += line;
            start = end;
        }
        m_dir.WriteFile("data/typeconfig.ini", kept);
    }

    QStringList Captions() const
    {
        QStringList captions;
        for (const QAction *item : Control<QMenu>(*m_window, "nRecently")->actions())
            captions << item->text();
        return captions;
    }

    QAction *Item(const QString &caption) const
    {
        for (QAction *item : Control<QMenu>(*m_window, "nRecently")->actions()) {
            if (item->text() == caption)
                return item;
        }
        return nullptr;
    }

    TempProgramDir m_dir{TempProgramDir::Contents::CopyOfBuilt};
    TDataInterface m_db;
    FakeSpeechLayer m_speech{{"Microsoft Anna - English (United States)"}};
    FakeAudioLayer m_audio;
    std::unique_ptr<TFrmType> m_window;
};

TEST_F(AppRecentWindow, StartUpAddsTheGameAndBookTypeOneReadsShuffledInTheMenuOnly)
{
    // Without the key the book type is 1, which the label calls the book's
    // own order and the menu the shuffled copy.
    RemoveSetting(Setting::BookType);
    m_dir.WriteFile("UseRecord.txt", RecentLine(Toefl(3, 2)) + "\r\n");
    TFrmType &window = Open();

    EXPECT_EQ(window.Flow().GamePara().BookType, 1);
    EXPECT_EQ(Control<QLabel>(window, "labBook")->text(), QStringLiteral("《最新TOEFL词汇》-顺序"));
    EXPECT_EQ(Captions(), QStringList({QStringLiteral("《最新TOEFL词汇》-顺序 第3关 较难"),
                                       QStringLiteral("《最新TOEFL词汇》-打乱 第1关 容易")}));
    // The stored line is the item's hidden text: kept for the click, never
    // shown in the status bar while the item is hovered.
    EXPECT_EQ(
        Control<QMenu>(window, "nRecently")->actions().back()->data().toByteArray().toStdString(),
        RecentLine(Toefl(1, 1, 1)));
    for (const QAction *item : Control<QMenu>(window, "nRecently")->actions())
        EXPECT_TRUE(item->statusTip().isEmpty()) << item->text().toStdString();
}

TEST_F(AppRecentWindow, AnEntryBeyondItsBookIsBroughtIntoRangeLikeTheSavedTollGate)
{
    TFrmType &window = Open();
    m_dir.WriteFile("UseRecord.txt",
                    RecentLine(Toefl(999, 2)) + "\r\n" + RecentLine(Toefl(-3, 1)) + "\r\n");
    window.BuildRecentMenu();
    for (const auto &[caption, gate] :
         {std::pair{QStringLiteral("《最新TOEFL词汇》-顺序 第999关 较难"), 174},
          std::pair{QStringLiteral("《最新TOEFL词汇》-顺序 第-3关 容易"), 1}}) {
        SCOPED_TRACE(caption.toStdString());
        QAction *item = Item(caption);
        ASSERT_NE(item, nullptr) << Captions().join(QLatin1Char('|')).toStdString();
        item->trigger();
        QApplication::processEvents();
        EXPECT_EQ(window.Flow().GamePara().TollGateIndex, gate);
        EXPECT_EQ(Control<QLabel>(window, "labGate")->text(),
                  QStringLiteral("关卡：第%1关（共174关）").arg(gate));
        EXPECT_EQ(window.FTypeGame()->Words().size(), 20u);
    }
}

TEST_F(AppRecentWindow, ADamagedFileGivesTheItemsBeforeTheBadLineAndIsDeleted)
{
    TFrmType &window = Open();
    m_dir.WriteFile("UseRecord.txt", RecentLine(Toefl(7)) + "\r\nlib109#@#3480#@#" + kToefl
                                         + "#@#0#@#8\r\n" + RecentLine(Toefl(9)) + "\r\n");
    window.BuildRecentMenu();
    EXPECT_EQ(Captions(), QStringList({QStringLiteral("《最新TOEFL词汇》-顺序 第7关 容易")}));
    EXPECT_FALSE(std::filesystem::exists(m_dir.Path("UseRecord.txt")));

    // The next rebuild finds no file: the menu is empty.
    window.BuildRecentMenu();
    EXPECT_TRUE(Captions().isEmpty());
}

TEST_F(AppRecentWindow, AnAmpersandInABookNameIsShownAsItIs)
{
    TFrmType &window = Open();
    window.AddRecentTollGate(Para("lib200", 40, Gbk("《R&D词汇》"), 0, 2, 1));
    ASSERT_FALSE(Captions().isEmpty());
    // "&&" is how a menu shows one '&'.
    EXPECT_EQ(Captions().back(), QStringLiteral("《R&&D词汇》-顺序 第2关 容易"));
}

TEST_F(AppRecentWindow, ChoosingAnotherBookWhilePlayingGivesReadyAtThatTollGate)
{
    TFrmType &window = Open();
    TTypeGameType &board = *window.FTypeGame();
    // A few points on the toefl book first (the totals' own reset is the
    // game flow's, tested there).
    window.sbStartClick();
    ASSERT_TRUE(board.IsPlaying());
    Control<QLabel>(window, "labScore")->setText(QStringLiteral("300"));

    const TGamePara cet4 = Para("lib103", 3812, Gbk("《大学英语四级词汇》"), 0, 5, 2);
    window.AddRecentTollGate(cet4);
    const qsizetype items = Control<QMenu>(window, "nRecently")->actions().size();
    QAction *item = Item(QStringLiteral("《大学英语四级词汇》-顺序 第5关 较难"));
    ASSERT_NE(item, nullptr) << Captions().join(QLatin1Char('|')).toStdString();

    item->trigger();
    // The click is handled after the menu is done with its item.
    EXPECT_EQ(window.Flow().GamePara().StoreTableName, "lib109");
    QApplication::processEvents();

    EXPECT_EQ(window.Flow().GamePara().StoreTableName, "lib103");
    EXPECT_EQ(window.Flow().GamePara().BookName, cet4.BookName);
    EXPECT_EQ(window.Flow().GamePara().WordCount, 3812);
    EXPECT_EQ(window.Flow().GamePara().BookType, 0);
    EXPECT_EQ(window.Flow().GamePara().TollGateIndex, 5);
    EXPECT_EQ(window.Flow().GamePara().TollGateCount, 191);
    EXPECT_EQ(window.Flow().GamePara().Level, 2);

    // Ready: standing still with the words of that toll gate, counts 0.
    EXPECT_FALSE(board.IsPlaying());
    EXPECT_FALSE(board.RunManualTick());
    TWordInfos expected;
    ASSERT_TRUE(LoadTollGateWords(window.Flow().GamePara(), 5, expected));
    ASSERT_EQ(board.Words().size(), 20u);
    EXPECT_EQ(board.Words().front().Spelling, expected.front().Spelling);
    EXPECT_EQ(board.Words().back().Spelling, expected.back().Spelling);
    EXPECT_EQ(board.Level(), 2);
    EXPECT_EQ(board.RightWordCount() + board.ErrorWordCount(), 0);
    EXPECT_TRUE(Control<QToolButton>(window, "sbStart")->isEnabled());
    EXPECT_FALSE(Control<QToolButton>(window, "btnPause")->isEnabled());
    EXPECT_FALSE(Control<QToolButton>(window, "sbReStart")->isEnabled());
    EXPECT_EQ(Control<QLabel>(window, "labBook")->text(),
              QStringLiteral("《大学英语四级词汇》-顺序"));
    EXPECT_EQ(Control<QLabel>(window, "labGate")->text(), QStringLiteral("关卡：第5关（共191关）"));
    EXPECT_EQ(Control<QLabel>(window, "labScore")->text(), QStringLiteral("0"));
    EXPECT_EQ(Control<QLabel>(window, "labRightCount")->text(), QStringLiteral("0"));
    EXPECT_EQ(Control<QLabel>(window, "labErrorCount")->text(), QStringLiteral("0"));
    EXPECT_EQ(Control<QToolButton>(window, "sbLevel")->text(), QStringLiteral("较难"));
    EXPECT_TRUE(Control<QAction>(window, "N9")->isChecked());
    EXPECT_FALSE(Control<QAction>(window, "N8")->isChecked());

    // The entry was found in the list again: the menu is rebuilt, not longer.
    EXPECT_EQ(Control<QMenu>(window, "nRecently")->actions().size(), items);
    EXPECT_NE(Item(QStringLiteral("《大学英语四级词汇》-顺序 第5关 较难")), nullptr);

    // "开始游戏" plays the chosen toll gate.
    window.sbStartClick();
    EXPECT_TRUE(board.RunManualTick());
}

TEST_F(AppRecentWindow, AnEntryWithANonNumericFieldChangesNothing)
{
    TFrmType &window = Open();
    m_dir.WriteFile("UseRecord.txt",
                    "lib103#@#3812#@#" + Gbk("《大学英语四级词汇》") + "#@#0#@#5#@#hard\r\n");
    window.BuildRecentMenu();
    QAction *item = Item(QStringLiteral("《大学英语四级词汇》-顺序 第5关 "));
    ASSERT_NE(item, nullptr) << Captions().join(QLatin1Char('|')).toStdString();
    const std::vector<std::string> before = {
        window.Flow().GamePara().StoreTableName,
        Control<QLabel>(window, "labBook")->text().toStdString(),
        Control<QLabel>(window, "labGate")->text().toStdString()};

    item->trigger();
    QApplication::processEvents();

    EXPECT_EQ(window.Flow().GamePara().StoreTableName, "lib109");
    EXPECT_EQ(window.Flow().GamePara().TollGateIndex, 1);
    const std::vector<std::string> after = {
        window.Flow().GamePara().StoreTableName,
        Control<QLabel>(window, "labBook")->text().toStdString(),
        Control<QLabel>(window, "labGate")->text().toStdString()};
    EXPECT_EQ(after, before);
    EXPECT_EQ(Captions().size(), 1);  // no new entry was added
}

TEST_F(AppRecentWindow, ABookWhoseOldNameHoldsTheSeparatorIsPlayedButNotListed)
{
    // An older database could name a book anything.
    const std::string name = Gbk("旧#@#书");
    ASSERT_TRUE(AddLibraryBookInfo(name, "lib109", 3480, 900, 0, 7, 1));
    WriteSysString(Setting::StoreTableName, "lib109");
    WriteSysString(Setting::BookName, name);
    WriteSysInteger(Setting::WordCount, 3480);
    WriteSysInteger(Setting::BookType, 0);
    WriteSysInteger(Setting::TollGateIndex, 1);
    m_dir.WriteFile("UseRecord.txt", RecentLine(Toefl(3, 2)) + "\r\n");
    const std::string before = m_dir.ReadFile("UseRecord.txt");

    TFrmType &window = Open();
    EXPECT_EQ(window.Flow().GamePara().BookName, name);
    EXPECT_EQ(Control<QLabel>(window, "labBook")->text(), QStringLiteral("旧#@#书-顺序"));
    EXPECT_EQ(window.FTypeGame()->Words().size(), 40u);
    // The next toll gate is put on the board and still not listed.
    window.Flow().ChooseTollGate(2);
    EXPECT_EQ(Control<QLabel>(window, "labGate")->text(), QStringLiteral("关卡：第2关（共174关）"));
    EXPECT_EQ(m_dir.ReadFile("UseRecord.txt"), before);
    EXPECT_EQ(Captions(), QStringList{QStringLiteral("《最新TOEFL词汇》-顺序 第3关 较难")});
}

}  // namespace
