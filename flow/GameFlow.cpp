#include "GameFlow.h"

#include <algorithm>
#include <limits>
#include <map>

#include <QDateTime>

#include "BookManage.h"
#include "Clock.h"
#include "FlowLog.h"
#include "FsrsScheduler.h"
#include "GbkText.h"
#include "MemoryParameters.h"
#include "RecentTollGates.h"
#include "Settings.h"
#include "SqlDatabase.h"
#include "StudyHabit.h"
#include "TextUtils.h"
#include "UBookType.h"
#include "UDataInterface.h"
#include "WordMemory.h"

namespace {

// A total shown: the finished toll gates' part plus the board's, held within
// the 32-bit range (a score priced at an edited level can be huge).
int total(int previous, int board)
{
    int sum = 0;
    if (__builtin_add_overflow(previous, board, &sum))
        return board < 0 ? std::numeric_limits<int>::min() : std::numeric_limits<int>::max();
    return sum;
}

}  // namespace

void TGameFlow::LoadGame()
{
    m_para.WordsPerGate = kWordsPerGate;
    LoadGamePara(m_para);
    m_loaded = true;
    m_para.TollGateCount = TollGateCountOf(m_para);
    bringTollGateIntoRange();
    refreshNewWordsBook(true);
}

TWordInfos TGameFlow::OpeningWords()
{
    TWordInfos words;
    LoadTollGateWords(m_para, m_para.TollGateIndex, words);
    // Entry k exists at step k unless the list started empty (a missing
    // book): then the steps add empty records.
    for (size_t k = 0; k < static_cast<size_t>(m_para.WordsPerGate); ++k)
        words.push_back(k < words.size() ? words[k] : TWordInfo{});
    beginTally(words, m_para.TollGateIndex, true);
    return words;
}

void TGameFlow::SaveGame() const
{
    if (!m_loaded)
        return;
    // A review game is no game to come back to: the book played before it is.
    if (m_review) {
        TGamePara book = m_bookPara;
        book.Level = m_para.Level;
        SaveGamePara(book);
        return;
    }
    SaveGamePara(m_para);
}

namespace {

// The catalogue id of the book whose word table this is; 0 when none.
int bookIdOfTable(const std::string &table)
{
    try {
        if (const std::optional<TBookRow> book = FindBookByTable(table))
            return book->Id;
    } catch (const EDatabaseError &e) {
        qCWarning(lcFlow) << "looking up a book failed:" << e.what();
    }
    return 0;
}

std::int64_t nextMidnight()
{
    return NextLocalMidnightMs(ProgramClock().NowMs());
}

// Each right word's rating given its speed against the learner's recent
// ones; without them (an unreadable memory) it stays as the tally rated it.
std::vector<TWordMeeting> rateBySpeed(std::vector<TWordMeeting> meetings, int level)
{
    std::map<int, std::vector<double>> speedsByMode;
    try {
        for (TWordMeeting &m : meetings) {
            if (m.Rating != TRating::Good || m.Typing.LettersPerSecond <= 0)
                continue;
            auto it = speedsByMode.find(m.PlayMode);
            if (it == speedsByMode.end())
                it = speedsByMode
                         .emplace(m.PlayMode, RecentTypingSpeeds(level, m.PlayMode, kSpeedWindow))
                         .first;
            m.Rating = RateMeeting(m.Missed, static_cast<int>(m.Slips.size()),
                                   m.Typing.LettersPerSecond, it->second);
        }
    } catch (const EDatabaseError &e) {
        qCWarning(lcFlow) << "reading the typing speeds failed:" << e.what();
    }
    return meetings;
}

}  // namespace

void TGameFlow::beginTally(const TWordInfos &words, int tollGate, bool opening)
{
    m_tallyGate = tollGate;
    std::vector<TWordSource> sources(words.size());
    if (m_review) {
        const size_t first = static_cast<size_t>(std::max(tollGate - 1, 0)) * kWordsPerGate;
        for (size_t k = 0; k < sources.size() && first + k < m_reviewSources.size(); ++k)
            sources[k] = m_reviewSources[first + k];
        m_tally.Begin(words, std::move(sources));
        return;
    }
    bool newWordsBook = false;
    try {
        newWordsBook = IsNewWordsBookTable(m_para.StoreTableName);
    } catch (const EDatabaseError &e) {
        qCWarning(lcFlow) << "looking up the new-words book failed:" << e.what();
    }
    // The new-words book's rows move as it is reordered: a word keeps the
    // place of the book it was met in before.
    const int bookId = newWordsBook ? 0 : bookIdOfTable(m_para.StoreTableName);
    const int perGate = std::max(m_para.WordsPerGate, 1);
    const int first = (std::max(tollGate, 1) - 1) * perGate;
    for (size_t k = 0; k < sources.size(); ++k) {
        const int offset = opening ? static_cast<int>(k) % perGate : static_cast<int>(k);
        sources[k] = bookId > 0 ? TWordSource{bookId, first + offset} : TWordSource{};
    }
    m_tally.Begin(words, std::move(sources));
}

bool TGameFlow::recordTollGate()
{
    const bool counted = m_tally.AnyCounted();
    if (counted) {
        TTollGatePlay play;
        play.At = ProgramClock().NowMs();
        play.BookId = m_review ? 0 : bookIdOfTable(m_para.StoreTableName);
        play.TollGate = m_tallyGate;
        play.Level = m_para.Level;
        play.Right = m_tally.Right();
        play.Errors = m_tally.Errors();
        play.Review = m_review;
        m_unsaved.push_back({play, rateBySpeed(m_tally.Meetings(), play.Level)});
    }
    m_tally.Clear();
    // Toll gates that failed wait for the next one that counts, not for the
    // next call (a toll gate over is followed at once by loading the next).
    if (!counted)
        return false;
    writeUnsavedTollGates();
    m_view.ShowDueCount();
    return true;
}

void TGameFlow::writeUnsavedTollGates()
{
    // Each in a transaction of its own, at the time it was played, so the
    // play log and the cards read as if nothing had failed.
    auto next = m_unsaved.begin();
    try {
        const TFsrsParameters parameters = ReadMemoryParameters();
        const TCardReview review = [&parameters](const TMemoryCard &card, TRating rating,
                                                 std::int64_t at) {
            return ReviewCardWith(card, rating, at, parameters);
        };
        for (; next != m_unsaved.end(); ++next)
            RecordTollGate(next->Play, next->Words, review);
    } catch (const EDatabaseError &e) {
        m_unsaved.erase(m_unsaved.begin(), next);
        qCWarning(lcFlow) << "recording a toll gate failed," << m_unsaved.size()
                          << "toll gates wait:" << e.what();
        if (!m_unsavedTold) {
            m_unsavedTold = true;
            m_view.ShowFailure(QStringLiteral("学习记录保存失败：") + DatabaseFailureReason(e));
        }
        return;
    }
    m_unsaved.clear();
    m_unsavedTold = false;
    m_view.TollGatesRecorded();
}

void TGameFlow::refreshNewWordsBook(bool reorder)
{
    try {
        if (m_review || !IsNewWordsBookTable(m_para.StoreTableName))
            return;
        if (reorder && m_para.BookType != kBookTypeShuffled)
            OrderNewWordsBook();
        if (const std::optional<TBookRow> book = FindBookByTable(m_para.StoreTableName))
            m_para.WordCount = book->WordNumber;
    } catch (const EDatabaseError &e) {
        qCWarning(lcFlow) << "reading the new-words book failed:" << e.what();
        return;
    }
    m_para.TollGateCount = TollGateCountOf(m_para);
    bringTollGateIntoRange();
}

void TGameFlow::WordShown(int index)
{
    m_tally.Shown(index, ProgramClock().NowMs());
}

void TGameFlow::WordKeyed(int index, int typedLetters)
{
    m_tally.Keyed(index, typedLetters, ProgramClock().NowMs());
}

void TGameFlow::SetPlayMode(TPlayMode mode)
{
    m_playMode = mode;
    m_tally.SetPlayMode(mode);
}

void TGameFlow::WordCounted(int index, bool right)
{
    m_tally.Counted(index, right);
}

void TGameFlow::WordSlip(int index, int position, char expected, char typed)
{
    m_tally.Slip(
        index, {position, static_cast<unsigned char>(expected), static_cast<unsigned char>(typed)});
}

void TGameFlow::LeaveTollGate()
{
    // The last chance for toll gates whose record failed.
    if (!recordTollGate() && !m_unsaved.empty())
        writeUnsavedTollGates();
}

int TGameFlow::DueTodayCount() const
{
    try {
        return static_cast<int>(CountDueWords(nextMidnight()));
    } catch (const EDatabaseError &e) {
        qCWarning(lcFlow) << "counting due words failed:" << e.what();
        return -1;
    }
}

int TGameFlow::WordsPlayedToday() const
{
    try {
        const QDate today = QDateTime::fromMSecsSinceEpoch(ProgramClock().NowMs()).date();
        const std::vector<TDayPlay> days = ReadDailyPlay(today, today);
        return days.empty() ? 0 : days.front().Words;
    } catch (const EDatabaseError &e) {
        qCWarning(lcFlow) << "counting today's words failed:" << e.what();
        return -1;
    }
}

bool TGameFlow::StartReview()
{
    std::vector<TWordMemory> due;
    try {
        due = DueWords(nextMidnight(), kReviewWords);
    } catch (const EDatabaseError &e) {
        qCWarning(lcFlow) << "reading due words failed:" << e.what();
        m_view.ShowFailure(QStringLiteral("今日复习无法开始：") + DatabaseFailureReason(e));
        return false;
    }
    if (due.empty()) {
        m_view.ShowNotice(QStringLiteral("今天没有到期的单词。"));
        return false;
    }
    TWordInfos words;
    std::vector<TWordSource> sources;
    for (const TWordMemory &m : due) {
        std::optional<TWordInfo> word;
        try {
            word = LoadBookRow(m.BookId, m.BookRow);
        } catch (const EDatabaseError &e) {
            qCWarning(lcFlow) << "reading a due word's book failed:" << e.what();
        }
        // A book changed or gone since: the spelling alone.
        if (!word || word->Spelling != m.Spelling) {
            word = TWordInfo{};
            word->Spelling = m.Spelling;
        }
        words.push_back(*word);
        sources.push_back({});
    }
    startWordGame(std::move(words), std::move(sources), Gbk("今日复习"), false);
    return true;
}

bool TGameFlow::StartPractice(const TWordInfos &words)
{
    if (words.empty())
        return false;
    startWordGame(words, std::vector<TWordSource>(words.size()), Gbk("薄弱拼写"), true);
    return true;
}

void TGameFlow::startWordGame(TWordInfos words, std::vector<TWordSource> sources,
                              const std::string &title, bool practice)
{
    recordTollGate();
    if (!m_review)
        m_bookPara = m_para;
    m_review = true;
    m_practice = practice;
    m_reviewWords = std::move(words);
    m_reviewSources = std::move(sources);
    m_para.StoreTableName.clear();
    m_para.BookName = title;
    m_para.BookType = kBookTypeLetter;
    m_para.WordCount = static_cast<int>(m_reviewWords.size());
    m_para.TollGateCount = TollGateCountOf(m_para);
    m_para.TollGateIndex = 1;
    qCDebug(lcFlow).noquote() << "word game:" << GbkToQString(title) << m_reviewWords.size()
                              << "words";
    LoadTollGate(1);
    if (m_board)
        m_board->PauseGame();
    ResetGameDisplay();
    m_view.FocusGame();
}

void TGameFlow::leaveReview()
{
    m_review = false;
    m_practice = false;
    m_reviewWords.clear();
    m_reviewSources.clear();
}

void TGameFlow::reviewOver()
{
    std::int64_t due = 0;
    try {
        due = CountDueWords(nextMidnight());
    } catch (const EDatabaseError &e) {
        // Not "all done": the memory could not say.
        qCWarning(lcFlow) << "counting due words failed:" << e.what();
        m_view.ShowFailure(QStringLiteral("今日复习无法继续：") + DatabaseFailureReason(e));
        return;
    }
    if (due <= 0) {
        m_view.ShowNotice(QStringLiteral("今天到期的单词都复习完了。"));
        backToBook();
        return;
    }
    if (m_view.AskPlayAgain(QStringLiteral("还有%1个单词到期，继续复习吗？").arg(due))
        && StartReview()) {
        Start();
        return;
    }
    backToBook();
}

void TGameFlow::backToBook()
{
    // A copy: choosing the book leaves the review, whose copy it is.
    const TGamePara book = m_bookPara;
    ChooseBook(book);
    m_view.FocusGame();
}

void TGameFlow::showTollGate()
{
    m_view.ShowTollGate(QStringLiteral("关卡：第%1关（共%2关）")
                            .arg(m_para.TollGateIndex)
                            .arg(m_para.TollGateCount));
}

void TGameFlow::showState(TGameState state)
{
    m_state = state;
    m_view.ShowState(state);
}

void TGameFlow::resetTotals()
{
    m_prev = {};
    m_totals = {};
    m_view.ShowTotals(m_totals);
}

void TGameFlow::bringTollGateIntoRange()
{
    m_para.TollGateIndex = std::clamp(m_para.TollGateIndex, 1, std::max(1, m_para.TollGateCount));
}

void TGameFlow::ResetGameDisplay()
{
    showTollGate();
    showState(TGameState::Ready);
    m_view.ShowLevel(m_board ? m_board->Level() : m_para.Level);
    resetTotals();
    if (m_review)
        m_view.ShowBook(GbkToQString(m_para.BookName));
    else
        m_view.ShowBook(
            GbkToQString(m_para.BookName)
            + (m_para.BookType == 2 ? QStringLiteral("-打乱") : QStringLiteral("-顺序")));
}

void TGameFlow::LoadTollGate(int tollGate)
{
    if (!m_board)
        return;
    // The toll gate on the board is left: what it did is kept.
    recordTollGate();
    TWordInfos words;
    if (m_review) {
        const auto first = static_cast<size_t>(std::max(tollGate - 1, 0)) * kWordsPerGate;
        for (size_t k = first; k < m_reviewWords.size() && k < first + kWordsPerGate; ++k)
            words.push_back(m_reviewWords[k]);
    } else {
        LoadTollGateWords(m_para, tollGate, words);
    }
    beginTally(words, tollGate, false);
    m_board->SetWords(words);
    m_board->Restart();
    showTollGate();
    m_board->Repaint();
    if (!m_review)
        AddRecentTollGate(m_para);
}

void TGameFlow::BoardCountsChanged()
{
    if (!m_board)
        return;
    m_totals = {total(m_prev.Score, m_board->Score()),
                total(m_prev.RightCount, m_board->RightWordCount()),
                total(m_prev.ErrorCount, m_board->ErrorWordCount())};
    m_view.ShowTotals(m_totals);
}

void TGameFlow::TollGateOver()
{
    if (!m_board)
        return;
    // Recorded before any question waits.
    recordTollGate();
    // Words missed or learnt may have changed the new-words book in play.
    refreshNewWordsBook(false);
    if (m_para.TollGateIndex < m_para.TollGateCount) {
        m_prev = m_totals;
        ++m_para.TollGateIndex;
        LoadTollGate(m_para.TollGateIndex);
        return;
    }
    // The last toll gate (or one beyond the book, which ends it just the same).
    if (m_practice) {
        m_view.ShowNotice(QStringLiteral("薄弱拼写练完了。"));
        backToBook();
        return;
    }
    if (m_review) {
        reviewOver();
        return;
    }
    const int score = m_totals.Score;
    const int right = m_board->RightWordCount();
    const int words = right + m_board->ErrorWordCount();
    const auto percent = words == 0 ? 0 : RoundHalfEven(right * 100.0 / words);
    const QString message = QStringLiteral("恭喜您完成了此次游戏的所有关卡！") + QChar(13)
                            + QStringLiteral("完成单词数：%1").arg(words) + QChar(13)
                            + QStringLiteral("正确率：%1%").arg(percent) + QChar(13)
                            + QStringLiteral("再玩一次吧？");
    if (!m_view.AskPlayAgain(message))
        return;
    // The new game's totals start from zero before toll gate 1 runs: it goes
    // on while the player types a name, and may even finish meanwhile, so
    // nothing may be reset once the prompts close. The score to record was
    // noted above.
    resetTotals();
    m_para.TollGateIndex = 1;
    LoadTollGate(1);
    m_view.RecordScore(score);
}

void TGameFlow::Start()
{
    if (m_board)
        m_board->ContinueGame();
    showState(TGameState::Playing);
    m_view.FocusGame();
}

void TGameFlow::Pause()
{
    if (m_board) {
        m_board->PauseGame();
        m_board->SetEnabled(false);
    }
    showState(TGameState::Paused);
    m_view.FocusGame();
}

void TGameFlow::Continue()
{
    if (m_board) {
        m_board->ContinueGame();
        m_board->SetEnabled(true);
    }
    showState(TGameState::Playing);
    m_view.FocusGame();
}

void TGameFlow::Restart()
{
    m_para.TollGateIndex = 1;
    LoadTollGate(1);
    showState(TGameState::Playing);
    m_view.FocusGame();
    resetTotals();
}

void TGameFlow::ChooseLevel(int level)
{
    // Kept at the level it was played at.
    recordTollGate();
    m_view.ShowLevel(level);
    if (m_board)
        m_board->SetLevel(level);
    m_para.Level = level;
    LoadTollGate(m_para.TollGateIndex);
    // Ready or Paused: the board stands still as before.
    if (m_state != TGameState::Playing && m_board)
        m_board->PauseGame();
    m_view.FocusGame();
}

void TGameFlow::ChooseBook(const TGamePara &para)
{
    recordTollGate();
    leaveReview();
    CopyGamePara(para, m_para);
    refreshNewWordsBook(true);
    LoadTollGate(m_para.TollGateIndex);
    if (m_board)
        m_board->PauseGame();
    ResetGameDisplay();
}

void TGameFlow::BookRenamed(const std::string &bookName)
{
    m_para.BookName = bookName;
}

void TGameFlow::ChooseTollGate(int tollGate)
{
    m_para.TollGateIndex = tollGate;
    LoadTollGate(m_para.TollGateIndex);
    if (m_board)
        m_board->PauseGame();
    ResetGameDisplay();
}

void TGameFlow::ApplyBoardSettings()
{
    if (m_board)
        m_boardSettings.Apply(*m_board);
}

void TGameFlow::SetLevelIntervals(int interval1, int interval2, int interval3)
{
    if (!m_board)
        return;
    m_boardSettings.SetIntervals(*m_board, interval1, interval2, interval3);
    ChooseTollGate(m_para.TollGateIndex);
}

void TGameFlow::SetBoardColors(const TBoardColors &colors)
{
    if (m_board)
        m_boardSettings.SetColors(*m_board, colors);
}

void TGameFlow::AddRecentTollGate(const TGamePara &para)
{
    // A book whose stored name the list cannot hold is played, not listed.
    if (FitsRecentList(para))
        AddRecentLine(RecentLine(para));
    m_view.ShowRecentList();
}

void TGameFlow::PlayRecent(const std::string &line)
{
    const std::optional<TGamePara> para = ParseRecentEntry(line);
    if (!para)
        return;
    // A book deleted since is ignored; a renamed one plays under its new name.
    std::optional<TBookRow> book;
    try {
        book = FindBookByTable(para->StoreTableName);
    } catch (const EDatabaseError &e) {
        qCWarning(lcFlow) << "looking up a recent book failed:" << e.what();
    }
    if (!book)
        return;
    recordTollGate();
    leaveReview();
    m_para.StoreTableName = para->StoreTableName;
    m_para.WordCount = book->WordNumber;
    m_para.BookName = book->Name;
    m_para.BookType = para->BookType;
    m_para.TollGateIndex = para->TollGateIndex;
    m_para.Level = para->Level;
    m_para.TollGateCount = TollGateCountOf(m_para);
    bringTollGateIntoRange();
    refreshNewWordsBook(true);
    LoadTollGate(m_para.TollGateIndex);
    if (m_board) {
        m_board->SetLevel(m_para.Level);
        m_board->PauseGame();
    }
    ResetGameDisplay();
    m_view.FocusGame();
}
