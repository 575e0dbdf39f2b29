// The game flow feeding the learning memory: the board's word events become
// one rated record per word, written when a toll gate is over or left; the
// new-words book fills, is played and empties; review games of due words.
#include <algorithm>
#include <functional>

#include <gtest/gtest.h>

#include "BookManage.h"
#include "ChildProcess.h"
#include "Clock.h"
#include "FakeGameBoard.h"
#include "FakeGameView.h"
#include "GameFlow.h"
#include "GameParaSupport.h"
#include "GbkText.h"
#include "RecentTollGates.h"
#include "Settings.h"
#include "TempProgramDir.h"
#include "UBookType.h"
#include "UDataInterface.h"
#include "WordMemory.h"
#include "WordTables.h"

namespace {

// Noon, local time, on a fixed day: "today" never crosses midnight here.
class SteppedClock final : public TClock {
public:
    QDate Today() const override { return QDateTime::fromMSecsSinceEpoch(now).date(); }
    std::int64_t NowMs() const override { return now; }
    std::int64_t now = QDateTime(QDate(2026, 3, 2), QTime(12, 0)).toMSecsSinceEpoch();
};

TGamePara cet4(int tollGate)
{
    TGamePara p = Para("lib103", 3812, Gbk("《大学英语四级词汇》"), 0, tollGate, 1);
    p.TollGateCount = 191;
    return p;
}

std::vector<std::string> spellings(const TWordInfos &words)
{
    std::vector<std::string> out;
    for (const TWordInfo &w : words)
        out.push_back(w.Spelling);
    return out;
}

class FlowMemory : public ::testing::Test {
protected:
    FlowMemory()
    {
        if (!m_db.ConnectDatabase())
            throw std::runtime_error("the copied program's database does not open");
        SetDataInterface(&m_db);
        SetProgramClock(m_clock);
    }
    ~FlowMemory() override
    {
        EXPECT_TRUE(m_view.answers.empty()) << "a scripted answer was never asked for";
        SetProgramClock(nullptr);
        SetDataInterface(nullptr);
    }

    // The game saved at that toll gate, read and opened as at start-up.
    void Open(const TGamePara &para)
    {
        SaveGamePara(para);
        m_flow.SetBoard(&m_board);
        m_flow.LoadGame();
        m_board.words = m_flow.OpeningWords();
        m_flow.ResetGameDisplay();
    }

    // Each word of the board's list is counted: right unless its index is in missed.
    void CountAll(const std::vector<int> &missed = {})
    {
        for (int i = 0; i < static_cast<int>(m_board.words.size()); ++i) {
            const bool right = std::find(missed.begin(), missed.end(), i) == missed.end();
            m_flow.WordShown(i);
            m_flow.WordCounted(i, right);
            ++(right ? m_board.right : m_board.error);
        }
        m_flow.BoardCountsChanged();
    }

    // Word index typed right after waitMs, each further letter keyMs later,
    // the program clock moving with the keys.
    void TypeWord(int index, std::int64_t waitMs, std::int64_t keyMs)
    {
        const int letters =
            static_cast<int>(m_board.words[static_cast<size_t>(index)].Spelling.size());
        m_clock->now += waitMs;
        for (int k = 1; k <= letters; ++k) {
            if (k > 1)
                m_clock->now += keyMs;
            m_flow.WordKeyed(index, k);
        }
        m_flow.WordCounted(index, true);
    }

    // A second program holding the database with that BEGIN until released.
    std::unique_ptr<THoldingChild> Hold(const char *begin)
    {
        // The child opens a connection of its own and never touches ours.
        auto child = std::make_unique<THoldingChild>([path = DatabaseFilePath(), begin] {
            static std::unique_ptr<TSqlConnection> held;
            held = std::make_unique<TSqlConnection>(path, DatabasePassword(),
                                                    TSqlConnection::OpenMode::ExistingOnly);
            held->Execute(begin);
        });
        // Waiting 5 s for every refused statement would only slow the tests.
        m_db.Connection().SetBusyTimeout(200);
        return child;
    }

    int BookId(const std::string &table) { return FindBookByTable(table)->Id; }
    std::int64_t Scalar(const std::string &sql, const std::vector<TSqlValue> &params = {})
    {
        TSqlQuery q = m_db.Connection().Query(sql, params);
        return q.Next() ? q.Integer(0) : -1;
    }

    std::shared_ptr<SteppedClock> m_clock = std::make_shared<SteppedClock>();
    TempProgramDir m_dir{TempProgramDir::Contents::CopyOfBuilt};
    TDataInterface m_db;
    FakeGameBoard m_board;
    FakeGameView m_view{m_board.log};
    TGameFlow m_flow{m_view};
};

TEST(FlowMemoryRating, MissedIsAgainTwoSlipsHardElseGood)
{
    EXPECT_EQ(RateMeeting(1, 0), TRating::Again);
    EXPECT_EQ(RateMeeting(1, 5), TRating::Again);
    EXPECT_EQ(RateMeeting(0, 2), TRating::Hard);
    EXPECT_EQ(RateMeeting(0, 1), TRating::Good);
    EXPECT_EQ(RateMeeting(0, 0), TRating::Good);

    // A word twice in one list is one meeting; an uncounted one none.
    TTollGateTally tally;
    TWordInfos words(4);
    words[0].Spelling = "cat";
    words[1].Spelling = "card";
    words[2].Spelling = "cat";
    words[3].Spelling = "dog";
    tally.Begin(words, {{5, 0}, {5, 1}, {5, 0}, {5, 2}});
    tally.Slip(0, {1, 'a', 'o'});
    tally.Counted(0, true);
    tally.Slip(2, {2, 't', 'r'});
    tally.Counted(2, true);
    tally.Counted(2, false);  // a word keeps its first outcome
    tally.Shown(3, 0);
    tally.Counted(1, false);
    tally.Counted(7, true);  // out of the list: ignored
    EXPECT_EQ(tally.Right(), 2);
    EXPECT_EQ(tally.Errors(), 1);
    const std::vector<TWordMeeting> meetings = tally.Meetings();
    ASSERT_EQ(meetings.size(), 2u);
    EXPECT_EQ(meetings[0].Word.Spelling, "cat");
    EXPECT_EQ(meetings[0].Seen, 2);
    EXPECT_EQ(meetings[0].Right, 2);
    EXPECT_EQ(meetings[0].Slips.size(), 2u);
    EXPECT_EQ(meetings[0].Rating, TRating::Hard);
    EXPECT_EQ(meetings[1].Word.Spelling, "card");
    EXPECT_EQ(meetings[1].Rating, TRating::Again);
    EXPECT_EQ(meetings[1].BookRow, 1);
}

TEST(FlowMemoryRating, EasyIsAWordWithoutASlipAtTheLearnersOwnUpperQuartile)
{
    // 100 recent speeds 1 … 100 letters a second: the 75th percentile is 75.25.
    std::vector<double> recent;
    for (int v = 100; v >= 1; --v)
        recent.push_back(v);
    EXPECT_EQ(RateMeeting(0, 0, 75.25, recent), TRating::Easy);
    EXPECT_EQ(RateMeeting(0, 0, 75.2, recent), TRating::Good);
    EXPECT_EQ(RateMeeting(0, 0, 500, recent), TRating::Easy);
    EXPECT_EQ(RateMeeting(0, 1, 500, recent), TRating::Good);  // one slip: no Easy
    EXPECT_EQ(RateMeeting(0, 2, 500, recent), TRating::Hard);
    EXPECT_EQ(RateMeeting(1, 0, 500, recent), TRating::Again);
    EXPECT_EQ(RateMeeting(0, 0, 0, recent), TRating::Good);  // no speed known

    // Fewer than a hundred: no Easy however fast.
    const std::vector<double> few(recent.begin(), recent.begin() + 99);
    EXPECT_EQ(RateMeeting(0, 0, 1000, few), TRating::Good);
    EXPECT_EQ(RateMeeting(0, 0, 1000, {}), TRating::Good);

    // Only the newest 500 count: 500 speeds of 10, then older ones of 1000.
    std::vector<double> window(500, 10.0);
    window.insert(window.end(), 500, 1000.0);
    EXPECT_EQ(RateMeeting(0, 0, 10, window), TRating::Easy);
    EXPECT_EQ(RateMeeting(0, 0, 9.99, window), TRating::Good);
    // The order they come in does not matter within the window.
    std::vector<double> shuffled = {3, 1, 4, 1, 5, 9, 2, 6};
    shuffled.resize(120, 2.0);
    EXPECT_EQ(RateMeeting(0, 0, 2.0, shuffled), TRating::Easy);
    EXPECT_EQ(RateMeeting(0, 0, 1.99, shuffled), TRating::Good);
}

TEST_F(FlowMemory, TheOpeningToollGatesEventsBecomeOneRatedRecordPerWordAtGameOver)
{
    Open(Toefl(3));
    ASSERT_EQ(m_board.words.size(), 40u);
    const TWordInfos w = m_board.words;
    // Word 1 slips twice; word 2 is missed the second time round; word 4
    // slips once each time round.
    m_flow.WordSlip(1, 0, 'a', 'q');
    m_flow.WordSlip(1, 2, 'b', 'x');
    m_flow.WordSlip(4, 1, 'c', 'v');
    m_flow.WordSlip(24, 1, 'c', 'v');
    CountAll({22});
    EXPECT_EQ(CountDueWords(m_clock->now + 400 * DayMs), 0);  // nothing before the end
    m_flow.TollGateOver();

    const int toefl = BookId("lib109");
    const auto first = ReadWordMemory(w[0].Spelling);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->Seen, 2);
    EXPECT_EQ(first->Right, 2);
    EXPECT_EQ(first->BookId, toefl);
    EXPECT_EQ(first->BookRow, 40);  // toll gate 3, first word
    EXPECT_EQ(first->Card.Reps, 1);
    EXPECT_EQ(first->Card.LastReview, m_clock->now);
    EXPECT_EQ(Scalar("SELECT rating FROM reviewlog WHERE spelling = ?", {w[0].Spelling}), 3);
    EXPECT_EQ(Scalar("SELECT rating FROM reviewlog WHERE spelling = ?", {w[1].Spelling}), 2);
    EXPECT_EQ(ReadWordMemory(w[1].Spelling)->Slips, 2);
    EXPECT_EQ(ReadWordSlips(w[1].Spelling),
              (std::vector<TWordSlipRecord>{{0, 'a', 'q'}, {2, 'b', 'x'}}));
    EXPECT_EQ(Scalar("SELECT rating FROM reviewlog WHERE spelling = ?", {w[2].Spelling}), 1);
    EXPECT_EQ(ReadWordMemory(w[2].Spelling)->Missed, 1);
    EXPECT_EQ(Scalar("SELECT rating FROM reviewlog WHERE spelling = ?", {w[4].Spelling}), 2);
    EXPECT_EQ(Scalar("SELECT count(*) FROM reviewlog"), 20);
    EXPECT_EQ(Scalar("SELECT count(*) FROM playlog WHERE tollgate = 3 AND rightcount = 39 "
                     "AND errorcount = 1 AND review = 0 AND bookid = ?",
                     {std::int64_t{toefl}}),
              1);
    // The missed word went into the new-words book.
    EXPECT_EQ(spellings(NewWordsBookWords()), std::vector<std::string>{w[2].Spelling});
    // The next toll gate runs; recording it twice is impossible.
    EXPECT_EQ(m_flow.GamePara().TollGateIndex, 4);
    m_flow.LeaveTollGate();
    EXPECT_EQ(Scalar("SELECT count(*) FROM playlog"), 1);
}

TEST_F(FlowMemory, EachWordsKeyTimesLevelAndModeGoIntoTheReviewLog)
{
    Open(Toefl(3, 2));
    m_flow.SetPlayMode(TPlayMode::Dictation);
    const TWordInfos w = m_board.words;
    const auto letters = static_cast<std::int64_t>(w[0].Spelling.size());
    ASSERT_GE(letters, 2);

    // Word 0: a first key after 700 ms, a run lost, then typed again from its
    // first letter, 100 ms a letter.
    m_flow.WordShown(0);
    m_clock->now += 700;
    m_flow.WordKeyed(0, 1);
    m_clock->now += 300;
    m_flow.WordKeyed(0, 2);
    m_clock->now += 1000;
    m_flow.WordShown(0);  // told again: the first showing counts
    m_flow.WordKeyed(0, 1);
    for (int k = 2; k <= letters; ++k) {
        m_clock->now += 100;
        m_flow.WordKeyed(0, k);
    }
    m_flow.WordCounted(0, true);
    // Word 1: one key after 400 ms, then missed (at both its places); keys
    // after its count are not its.
    m_flow.WordShown(1);
    m_clock->now += 400;
    m_flow.WordKeyed(1, 1);
    m_clock->now += 5000;
    m_flow.WordCounted(1, false);
    m_flow.WordKeyed(1, 2);
    CountAll({1, 21});
    m_flow.TollGateOver();

    TSqlQuery row = m_db.Connection().Query(
        "SELECT level, playmode, firstkeyms, lastkeyms, letterspersec FROM reviewlog "
        "WHERE spelling = ?",
        {GbkToUtf8(w[0].Spelling)});
    ASSERT_TRUE(row.Next());
    EXPECT_EQ(row.Integer(0), 2);
    EXPECT_EQ(row.Integer(1), static_cast<int>(TPlayMode::Dictation));
    EXPECT_EQ(row.Integer(2), 700);
    EXPECT_EQ(row.Integer(3), 2000 + 100 * (letters - 1));
    EXPECT_DOUBLE_EQ(row.Real(4), letters * 1000.0 / (100.0 * (letters - 1)));
    EXPECT_FALSE(row.Next());

    TSqlQuery missed = m_db.Connection().Query(
        "SELECT firstkeyms, lastkeyms, letterspersec IS NULL FROM reviewlog WHERE spelling = ?",
        {GbkToUtf8(w[1].Spelling)});
    ASSERT_TRUE(missed.Next());
    EXPECT_EQ(missed.Integer(0), 400);
    EXPECT_EQ(missed.Integer(1), 400);
    EXPECT_EQ(missed.Integer(2), 1);
    // A word counted with no key told (as a fake board does) has no times.
    EXPECT_EQ(Scalar("SELECT count(*) FROM reviewlog WHERE firstkeyms IS NULL AND "
                     "lastkeyms IS NULL AND letterspersec IS NULL"),
              18);
}

TEST_F(FlowMemory, AClozeTollGateRecordsTheBooksWordsTypedInTheSentencesForms)
{
    Open(Toefl(3));
    m_flow.SetPlayMode(TPlayMode::Cloze);
    const TWordInfos w = m_board.words;
    // Word 0 typed as a form three letters longer than its spelling (its
    // -ing, say), 100 ms a letter; the board tells it by its place.
    const int letters = static_cast<int>(w[0].Spelling.size()) + 3;
    m_flow.WordShown(0);
    m_clock->now += 600;
    m_flow.WordKeyed(0, 1);
    for (int k = 2; k <= letters; ++k) {
        m_clock->now += 100;
        m_flow.WordKeyed(0, k);
    }
    m_flow.WordCounted(0, true);
    // Word 1 missed; the mode changes back before the rest are counted.
    m_flow.WordShown(1);
    m_flow.WordCounted(1, false);
    m_flow.SetPlayMode(TPlayMode::Normal);
    CountAll({1, 21});
    m_flow.TollGateOver();

    // One record per book word, under its own spelling, in the mode it was
    // counted in; the speed is of the letters typed.
    TSqlQuery row = m_db.Connection().Query(
        "SELECT playmode, rating, firstkeyms, letterspersec FROM reviewlog WHERE spelling = ?",
        {GbkToUtf8(w[0].Spelling)});
    ASSERT_TRUE(row.Next());
    EXPECT_EQ(row.Integer(0), static_cast<int>(TPlayMode::Cloze));
    EXPECT_EQ(row.Integer(1), static_cast<int>(TRating::Good));
    EXPECT_EQ(row.Integer(2), 600);
    EXPECT_DOUBLE_EQ(row.Real(3), letters * 1000.0 / (100.0 * (letters - 1)));
    EXPECT_FALSE(row.Next());
    TSqlQuery missed = m_db.Connection().Query(
        "SELECT playmode, rating FROM reviewlog WHERE spelling = ?", {GbkToUtf8(w[1].Spelling)});
    ASSERT_TRUE(missed.Next());
    EXPECT_EQ(missed.Integer(0), static_cast<int>(TPlayMode::Cloze));
    EXPECT_EQ(missed.Integer(1), static_cast<int>(TRating::Again));
    EXPECT_EQ(Scalar("SELECT count(*) FROM reviewlog WHERE playmode = ?",
                     {std::int64_t{static_cast<int>(TPlayMode::Cloze)}}),
              2);
    // The card is the book word's.
    EXPECT_EQ(
        Scalar("SELECT count(*) FROM wordmemory WHERE spelling = ?", {GbkToUtf8(w[0].Spelling)}),
        1);
}

TEST_F(FlowMemory, FastWordsAreEasySlowOnesGoodAndNoneBeforeAHundredRightWords)
{
    Open(Toefl(3));
    // Every place typed after half a second, keyMs(i) a letter; the ratings
    // of the toll gate's words by place.
    const auto playGate = [this](const std::function<std::int64_t(int)> &keyMs,
                                 const std::vector<int> &slipped = {}) {
        const TWordInfos w = m_board.words;
        for (const int i : slipped)
            m_flow.WordSlip(i, 0, w[static_cast<size_t>(i)].Spelling[0], '#');
        for (int i = 0; i < static_cast<int>(w.size()); ++i) {
            m_flow.WordShown(i);
            TypeWord(i, 500, keyMs(i));
            ++m_board.right;
        }
        m_flow.BoardCountsChanged();
        m_flow.TollGateOver();
        std::vector<std::int64_t> ratings;
        for (size_t i = 0; i < std::min<size_t>(w.size(), TGameFlow::kWordsPerGate); ++i)
            ratings.push_back(Scalar("SELECT rating FROM reviewlog WHERE spelling = ? "
                                     "ORDER BY at DESC LIMIT 1",
                                     {GbkToUtf8(w[i].Spelling)}));
        m_clock->now += std::int64_t{60} * 1000;
        return ratings;
    };
    const auto count = [&](const std::vector<std::int64_t> &ratings, TRating r) {
        return std::count(ratings.begin(), ratings.end(), static_cast<int>(r));
    };

    // Five toll gates at 150 ms a letter, one word of each at 40 ms: a
    // hundred right words, and not one Easy among them.
    for (int gate = 0; gate < 5; ++gate) {
        const auto ratings = playGate([](int i) { return i % 20 == 7 ? 40 : 150; });
        EXPECT_EQ(count(ratings, TRating::Good), 20) << gate;
    }
    EXPECT_EQ(Scalar("SELECT count(*) FROM reviewlog WHERE letterspersec IS NOT NULL"), 100);

    // Now the learner's pace is known: fast words Easy, slow ones Good, a fast
    // one with a slip Good, with two slips Hard.
    const auto ratings = playGate([](int i) { return i < 10 ? 40 : 400; }, {3, 4, 4});
    for (int i = 0; i < 20; ++i) {
        const TRating expected = i == 3   ? TRating::Good
                                 : i == 4 ? TRating::Hard
                                 : i < 10 ? TRating::Easy
                                          : TRating::Good;
        EXPECT_EQ(ratings[static_cast<size_t>(i)], static_cast<int>(expected)) << i;
    }

    // Dictation is a pace of its own, still unknown.
    m_flow.SetPlayMode(TPlayMode::Dictation);
    const auto dictated = playGate([](int) { return 20; });
    EXPECT_EQ(count(dictated, TRating::Easy), 0);
    EXPECT_EQ(Scalar("SELECT count(*) FROM reviewlog WHERE playmode = 1"), 20);
}

TEST_F(FlowMemory, ATollGateLeftUnfinishedIsRecordedAsFarAsItWent)
{
    Open(Toefl(1));
    m_flow.Start();
    m_flow.LoadTollGate(1);  // the opening list gives way to one toll gate
    const TWordInfos gate = m_board.words;
    ASSERT_EQ(gate.size(), 20u);

    // Another level restarts the toll gate: what was counted is kept.
    m_flow.WordCounted(0, false);
    m_flow.WordShown(1);
    m_flow.ChooseLevel(2);
    EXPECT_EQ(ReadWordMemory(gate[0].Spelling)->Missed, 1);
    EXPECT_FALSE(ReadWordMemory(gate[1].Spelling));  // shown, never counted

    // 重新游戏, another book, a recent entry, the end of the program: each once.
    m_flow.WordCounted(1, true);
    m_flow.Restart();
    m_flow.WordCounted(2, true);
    m_flow.ChooseBook(cet4(1));
    const TWordInfos cet = m_board.words;
    m_flow.WordCounted(0, true);
    m_flow.PlayRecent(RecentLine(Toefl(2, 1)));
    m_flow.WordCounted(0, true);
    m_flow.LeaveTollGate();
    m_flow.LeaveTollGate();
    EXPECT_EQ(Scalar("SELECT count(*) FROM playlog"), 5);
    EXPECT_TRUE(ReadWordMemory(gate[1].Spelling));
    EXPECT_TRUE(ReadWordMemory(gate[2].Spelling));
    EXPECT_EQ(ReadWordMemory(cet[0].Spelling)->BookId, BookId("lib103"));
    EXPECT_EQ(Scalar("SELECT count(*) FROM playlog WHERE level = 2"), 3);
}

TEST_F(FlowMemory, TheNewWordsBookIsPlayedMostDueFirstAndEmptiesAfterThreeRights)
{
    Open(Toefl(1));
    const TWordInfos opening = m_board.words;
    CountAll({0, 1});  // the first two words missed
    m_flow.TollGateOver();
    const int id = NewWordsBookId();
    ASSERT_GT(id, 0);
    ASSERT_EQ(spellings(NewWordsBookWords()),
              (std::vector<std::string>{opening[0].Spelling, opening[1].Spelling}));

    // Word 1 is made due later than word 0 ... then chosen: most due first.
    m_clock->now += DayMs;
    m_flow.LoadTollGate(1);
    m_flow.WordCounted(0, false);
    m_flow.LeaveTollGate();
    m_flow.ChooseBook(Para(LibraryTableName(id), 2, NewWordsBookName(), 0, 5, 1));
    EXPECT_EQ(m_flow.GamePara().TollGateIndex, 1);  // brought into range
    EXPECT_EQ(m_flow.GamePara().TollGateCount, 1);
    EXPECT_EQ(spellings(m_board.words),
              (std::vector<std::string>{opening[1].Spelling, opening[0].Spelling}));

    // Three rights in a row, anywhere, and a word leaves the book.
    for (int round = 0; round < 3; ++round) {
        m_clock->now += DayMs;
        m_board.right = m_board.error = 0;
        m_flow.LoadTollGate(1);
        const auto index =
            std::find_if(m_board.words.begin(), m_board.words.end(),
                         [&](const TWordInfo &w) { return w.Spelling == opening[1].Spelling; })
            - m_board.words.begin();
        m_flow.WordCounted(static_cast<int>(index), true);
        m_flow.LeaveTollGate();
    }
    EXPECT_EQ(spellings(NewWordsBookWords()), std::vector<std::string>{opening[0].Spelling});
    // The game over the book reads its count again.
    m_board.right = 1;
    m_flow.WordCounted(0, true);
    m_view.answers.push_back(false);
    m_flow.TollGateOver();
    EXPECT_EQ(m_flow.GamePara().WordCount, 1);
}

TEST_F(FlowMemory, AReviewGamePlaysTheDueWordsOfEveryBookMostOverdueFirst)
{
    // Far from the start of the other book, which shares many words.
    Open(Toefl(100));
    const TWordInfos toefl = m_board.words;
    CountAll({3});
    m_flow.TollGateOver();  // toefl 2 now runs
    m_clock->now += std::int64_t{60} * 60 * 1000;
    m_flow.ChooseBook(cet4(1));
    const TWordInfos cet = m_board.words;
    m_board.right = m_board.error = 0;
    CountAll({0});
    m_flow.TollGateOver();
    const std::string recent = m_dir.ReadFile("UseRecord.txt");

    // Nothing is due yet today.
    EXPECT_EQ(m_flow.DueTodayCount(), 0);
    EXPECT_FALSE(m_flow.StartReview());
    EXPECT_EQ(m_view.notices, QStringList{QStringLiteral("今天没有到期的单词。")});
    m_view.notices.clear();
    // Next day: the two missed words (due the next day) are due, the older miss first.
    m_clock->now += DayMs;
    EXPECT_EQ(m_flow.DueTodayCount(), 2);
    ASSERT_TRUE(m_flow.StartReview());
    EXPECT_TRUE(m_flow.InReview());
    EXPECT_EQ(spellings(m_board.words),
              (std::vector<std::string>{toefl[3].Spelling, cet[0].Spelling}));
    EXPECT_EQ(m_board.words[1].Meaning, cet[0].Meaning);  // read from its book
    EXPECT_EQ(m_view.book, QStringLiteral("今日复习"));
    EXPECT_EQ(m_flow.State(), TGameState::Ready);
    EXPECT_EQ(m_flow.GamePara().TollGateCount, 1);

    // Played right: no recent entry, no score offered, the book game is what is saved.
    m_flow.Start();
    m_board.right = m_board.error = 0;
    CountAll();
    m_flow.TollGateOver();
    EXPECT_EQ(m_view.notices, QStringList{QStringLiteral("今天到期的单词都复习完了。")});
    EXPECT_EQ(Scalar("SELECT count(*) FROM playlog WHERE review = 1 AND rightcount = 2"), 1);
    EXPECT_EQ(m_dir.ReadFile("UseRecord.txt"), recent);
    m_flow.SaveGame();
    TGamePara saved;
    LoadGamePara(saved);
    EXPECT_EQ(saved.StoreTableName, "lib103");
    EXPECT_EQ(m_flow.DueTodayCount(), 0);
    EXPECT_EQ(std::count(m_board.log.begin(), m_board.log.end(), "record 0"), 0);
}

// The end of a review leaves no empty board: the book and toll gate played
// before it are Ready again, whether nothing more is due or the player stops.
TEST_F(FlowMemory, AReviewOverGoesBackToTheBookAndTollGatePlayedBeforeItReady)
{
    Open(Toefl(100));
    CountAll({3});
    m_flow.TollGateOver();  // toefl 101 now runs
    const TGamePara book = m_flow.GamePara();
    const TWordInfos gate101 = m_board.words;
    const QString caption = m_view.book;
    m_clock->now += DayMs;
    ASSERT_TRUE(m_flow.StartReview());
    m_flow.Start();
    m_board.right = m_board.error = 0;
    CountAll();
    m_flow.TollGateOver();
    EXPECT_EQ(m_view.notices, QStringList{QStringLiteral("今天到期的单词都复习完了。")});
    EXPECT_FALSE(m_flow.InReview());
    EXPECT_EQ(m_flow.GamePara(), book);
    EXPECT_EQ(m_board.words, gate101);
    EXPECT_EQ(m_view.book, caption);
    EXPECT_EQ(m_view.gate, QStringLiteral("关卡：第101关（共174关）"));
    EXPECT_EQ(m_flow.State(), TGameState::Ready);
    EXPECT_FALSE(m_board.playing);
    EXPECT_EQ(m_view.totals, (TGameTotals{}));

    // More words due, and no to going on: back just the same.
    TTollGatePlay play{m_clock->now - DayMs, 0, 1, 1, 0, 120, false};
    std::vector<TWordMeeting> missed;
    for (int k = 0; k < 120; ++k) {
        TWordMeeting m;
        m.Word.Spelling = "word" + std::to_string(k);
        m.Missed = 1;
        m.Rating = TRating::Again;
        missed.push_back(m);
    }
    RecordTollGate(play, missed, ReviewCard);
    ASSERT_TRUE(m_flow.StartReview());
    m_flow.Start();
    for (int gate = 1; gate <= 5; ++gate) {
        m_board.right = m_board.error = 0;
        CountAll();
        if (gate == 5)
            m_view.answers.push_back(false);
        m_flow.TollGateOver();
    }
    EXPECT_EQ(m_view.questions.size(), 1);
    EXPECT_FALSE(m_flow.InReview());
    EXPECT_EQ(m_flow.GamePara(), book);
    EXPECT_EQ(m_board.words, gate101);
    EXPECT_EQ(m_flow.State(), TGameState::Ready);
}

TEST_F(FlowMemory, APracticeOfGivenWordsPlaysLikeAReviewAndEndsWithoutAQuestion)
{
    Open(Toefl(1));
    const std::string recent = m_dir.ReadFile("UseRecord.txt");
    EXPECT_FALSE(m_flow.StartPractice({}));
    EXPECT_FALSE(m_flow.InReview());

    TWordInfos weak(3);
    weak[0].Spelling = "abandon";
    weak[1].Spelling = "ability";
    weak[2].Spelling = "zeal";
    ASSERT_TRUE(m_flow.StartPractice(weak));
    EXPECT_TRUE(m_flow.InReview());
    EXPECT_EQ(spellings(m_board.words), (std::vector<std::string>{"abandon", "ability", "zeal"}));
    EXPECT_EQ(m_view.book, QStringLiteral("薄弱拼写"));
    EXPECT_EQ(m_flow.State(), TGameState::Ready);

    m_flow.Start();
    m_board.right = m_board.error = 0;
    CountAll();
    m_flow.TollGateOver();
    EXPECT_EQ(m_view.notices, QStringList{QStringLiteral("薄弱拼写练完了。")});
    EXPECT_TRUE(m_view.questions.isEmpty());
    EXPECT_EQ(Scalar("SELECT count(*) FROM playlog WHERE review = 1 AND rightcount = 3"), 1);
    // The practice is never listed; the book's toll gate it goes back to is.
    EXPECT_EQ(m_dir.ReadFile("UseRecord.txt"), RecentLine(Toefl(1)) + "\r\n" + recent);
    // Due words later start a review game, not another practice.
    EXPECT_EQ(Scalar("SELECT count(*) FROM wordmemory"), 3);
    m_clock->now += 30 * DayMs;
    EXPECT_EQ(m_flow.DueTodayCount(), 3);
    ASSERT_TRUE(m_flow.StartReview());
    EXPECT_EQ(m_view.book, QStringLiteral("今日复习"));
}

TEST_F(FlowMemory, AReviewOfMoreThanAHundredWordsAsksToGoOn)
{
    // 120 words missed yesterday.
    TTollGatePlay play{m_clock->now - DayMs, 0, 1, 1, 0, 120, false};
    std::vector<TWordMeeting> missed;
    for (int k = 0; k < 120; ++k) {
        TWordMeeting m;
        m.Word.Spelling = "word" + std::to_string(k);
        m.Missed = 1;
        m.Rating = TRating::Again;
        missed.push_back(m);
    }
    RecordTollGate(play, missed, ReviewCard);
    Open(Toefl(1));
    EXPECT_EQ(m_flow.DueTodayCount(), 120);
    ASSERT_TRUE(m_flow.StartReview());
    EXPECT_EQ(m_flow.GamePara().WordCount, 100);
    EXPECT_EQ(m_flow.GamePara().TollGateCount, 5);
    // All five toll gates typed right: 20 are still due.
    m_flow.Start();
    for (int gate = 1; gate <= 5; ++gate) {
        m_board.right = m_board.error = 0;
        CountAll();
        if (gate == 5)
            m_view.answers.push_back(true);
        m_flow.TollGateOver();
    }
    ASSERT_EQ(m_view.questions.size(), 1);
    EXPECT_EQ(m_view.questions[0], QStringLiteral("还有20个单词到期，继续复习吗？"));
    EXPECT_TRUE(m_flow.InReview());
    EXPECT_EQ(m_flow.GamePara().WordCount, 20);
    EXPECT_EQ(m_flow.State(), TGameState::Playing);
}

TEST_F(FlowMemory, ATollGateThatCannotBeRecordedIsToldOnceAndWrittenWithTheNext)
{
    Open(Toefl(3));
    const TWordInfos opening = m_board.words;
    TWordInfos gate4;
    const QString busy = QStringLiteral("学习记录保存失败：单词数据库正被其他程序使用。");
    {
        const auto holder = Hold("BEGIN IMMEDIATE");
        ASSERT_TRUE(holder->Ready());
        m_flow.Start();
        CountAll({2});
        m_flow.TollGateOver();
        // Told, and the game goes on at the next toll gate.
        EXPECT_EQ(m_view.failures, QStringList{busy});
        EXPECT_EQ(m_flow.GamePara().TollGateIndex, 4);
        EXPECT_EQ(m_flow.State(), TGameState::Playing);
        gate4 = m_board.words;
        ASSERT_EQ(gate4.size(), 20u);
        // Still held at the next toll gate: not told again.
        m_board.right = m_board.error = 0;
        CountAll({5});
        m_flow.TollGateOver();
        EXPECT_EQ(m_view.failures, QStringList{busy});
        EXPECT_EQ(m_flow.GamePara().TollGateIndex, 5);
        EXPECT_EQ(holder->Release(), 0);
    }
    EXPECT_EQ(Scalar("SELECT count(*) FROM playlog"), 0);

    // Once the other program lets go, the next toll gate writes all three.
    m_board.right = m_board.error = 0;
    CountAll();
    m_flow.TollGateOver();
    EXPECT_EQ(m_view.failures.size(), 1);
    EXPECT_EQ(Scalar("SELECT count(*) FROM playlog WHERE tollgate = 3 AND rightcount = 39 "
                     "AND errorcount = 1 AND at = ?",
                     {m_clock->now}),
              1);
    EXPECT_EQ(Scalar("SELECT count(*) FROM playlog WHERE tollgate = 4 AND rightcount = 19 "
                     "AND errorcount = 1"),
              1);
    EXPECT_EQ(Scalar("SELECT count(*) FROM playlog WHERE tollgate = 5 AND rightcount = 20"), 1);
    EXPECT_EQ(ReadWordMemory(opening[0].Spelling)->Seen, 2);
    EXPECT_EQ(ReadWordMemory(opening[2].Spelling)->Missed, 1);
    EXPECT_EQ(ReadWordMemory(gate4[0].Spelling)->Right, 1);
    EXPECT_EQ(ReadWordMemory(gate4[5].Spelling)->Missed, 1);
    EXPECT_EQ(spellings(NewWordsBookWords()),
              (std::vector<std::string>{opening[2].Spelling, gate4[5].Spelling}));
    // Written once: leaving writes nothing more.
    m_flow.LeaveTollGate();
    EXPECT_EQ(Scalar("SELECT count(*) FROM playlog"), 3);
}

TEST_F(FlowMemory, AMemoryThatCannotBeReadFailsTheReviewInsteadOfSayingNothingIsDue)
{
    Open(Toefl(1));
    CountAll({0});
    m_flow.TollGateOver();
    m_clock->now += DayMs;  // the missed word is due
    const QString busy = QStringLiteral("单词数据库正被其他程序使用。");
    {
        // An exclusive lock keeps readers out.
        const auto holder = Hold("BEGIN EXCLUSIVE");
        ASSERT_TRUE(holder->Ready());
        EXPECT_FALSE(m_flow.StartReview());
        EXPECT_EQ(m_view.failures, QStringList{QStringLiteral("今日复习无法开始：") + busy});
        EXPECT_TRUE(m_view.notices.isEmpty());
        EXPECT_FALSE(m_flow.InReview());
        EXPECT_EQ(m_flow.GamePara().TollGateIndex, 2);
        EXPECT_EQ(holder->Release(), 0);
    }
    m_view.failures.clear();
    ASSERT_TRUE(m_flow.StartReview());
    m_flow.Start();
    m_board.right = m_board.error = 0;
    CountAll();
    {
        // The end of the review cannot count what is still due: not "all done".
        const auto holder = Hold("BEGIN EXCLUSIVE");
        ASSERT_TRUE(holder->Ready());
        m_flow.TollGateOver();
        EXPECT_EQ(m_view.failures, (QStringList{QStringLiteral("学习记录保存失败：") + busy,
                                                QStringLiteral("今日复习无法继续：") + busy}));
        EXPECT_TRUE(m_view.notices.isEmpty());
        EXPECT_EQ(holder->Release(), 0);
    }
    m_flow.LeaveTollGate();
    EXPECT_EQ(Scalar("SELECT count(*) FROM playlog WHERE review = 1 AND rightcount = 1"), 1);
}

}  // namespace
