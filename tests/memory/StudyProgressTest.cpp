// The progress window over a small made-up memory: its figures, charts,
// weak spellings, export and clearing.
#include <cmath>

#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineSeries>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QValueAxis>

#include "MemoryFitRun.h"
#include "MemoryParameters.h"
#include "ModalRunner.h"
#include "ScriptedMessageBoxes.h"
#include "StudyCalendar.h"
#include "StoreFixture.h"
#include "StudyProgressQueries.h"
#include "UBookType.h"
#include "UFrmStudyProgress.h"
#include "WordMemory.h"

namespace {

// Noon UTC on 2026-05-10; every play is days before it.
constexpr std::int64_t Now = 1'778'414'400'000;

// Stabilities are chosen, not computed: Good 30 days (learnt), Hard 5,
// Again half a day; each is due after its stability.
TMemoryCard ChosenReview(const TMemoryCard &Card, TRating Rating, std::int64_t At)
{
    TMemoryCard Next = Card;
    Next.Stability = Rating == TRating::Good ? 30 : Rating == TRating::Hard ? 5 : 0.5;
    Next.Difficulty = 5;
    Next.Due = At + std::int64_t(Next.Stability * double(DayMs));
    Next.LastReview = At;
    ++Next.Reps;
    Next.State = TCardState::Review;
    return Next;
}

TWordMeeting Met(int Row, TRating Rating, int BookId, std::vector<TWordSlipRecord> Slips = {})
{
    TWordMeeting M;
    M.Word.Spelling = NumberedSpelling(Row + 1);
    M.Word.Meaning = "m" + std::to_string(Row + 1);
    if (BookId != 1) {  // the second book's words are spelt differently
        M.Word.Spelling = "x" + std::to_string(Row + 1);
        M.Word.Meaning = "n" + std::to_string(Row + 1);
    }
    M.BookId = BookId;
    M.BookRow = Row;
    M.Rating = Rating;
    M.Right = Rating == TRating::Again ? 0 : 1;
    M.Missed = Rating == TRating::Again ? 1 : 0;
    M.Slips = std::move(Slips);
    return M;
}

class MemoryUiProgress : public StoreFixture {
protected:
    void SetUp() override
    {
        ScriptedMessageBoxes::Global().Clear();
        m_first = ImportNumberedBook(Gbk("初中英语"), 30);
        ASSERT_EQ(m_first, 1);
        std::vector<std::string> Lines;
        for (int K = 1; K <= 10; ++K)
            Lines.push_back("x" + std::to_string(K) + "[q]n" + std::to_string(K));
        m_second = ImportBook(Gbk("高中英语"), Lines);
        // First book, toll gate 1, ten days ago: 3 learnt, 1 hard, 1 missed.
        Play(m_first, 1, Now - 10 * DayMs, 4, 1,
             {Met(0, TRating::Good, m_first), Met(1, TRating::Good, m_first),
              Met(2, TRating::Good, m_first, {{1, '2', 'e'}}),
              Met(3, TRating::Hard, m_first, {{0, 'w', 'q'}, {1, '4', 'r'}}),
              Met(4, TRating::Again, m_first, {{0, 'w', 'q'}, {0, 'w', 'e'}, {1, '5', 't'}})});
        // Toll gate 2 twice, the second time yesterday; a word missed again.
        Play(m_first, 2, Now - 3 * DayMs, 1, 1,
             {Met(5, TRating::Good, m_first), Met(4, TRating::Again, m_first, {{0, 'w', 'q'}})});
        Play(m_first, 2, Now - DayMs, 2, 0,
             {Met(5, TRating::Good, m_first), Met(6, TRating::Hard, m_first)});
        // Second book: one word, learnt yesterday.
        Play(m_second, 1, Now - DayMs, 1, 0, {Met(0, TRating::Good, m_second)});
    }

    void Play(int BookId, int TollGate, std::int64_t At, int Right, int Errors,
              const std::vector<TWordMeeting> &Words)
    {
        const TTollGatePlay P{At, BookId, TollGate, 1, Right, Errors, false};
        ASSERT_NO_THROW(RecordTollGate(P, Words, ChosenReview));
    }

    int m_first = 0;
    int m_second = 0;
};

// The tabs 学习习惯 and 易错单词 are read when first shown.
void ShowTab(QWidget &window, const char *page)
{
    auto *tabs = window.findChild<QTabWidget *>(QStringLiteral("tabProgress"));
    ASSERT_NE(tabs, nullptr);
    auto *shown = window.findChild<QWidget *>(QLatin1String(page));
    ASSERT_NE(shown, nullptr);
    tabs->setCurrentWidget(shown);
}

QStringList RowTexts(const QTableWidget *Table, int Row)
{
    QStringList Texts;
    for (int Column = 0; Column < Table->columnCount(); ++Column)
        Texts << (Table->item(Row, Column) ? Table->item(Row, Column)->text() : QString());
    return Texts;
}

TEST_F(MemoryUiProgress, FiguresPerBook)
{
    const TStudyProgress P = ReadStudyProgress(Now);
    ASSERT_EQ(P.Books.size(), 2U);
    const TBookProgress &First = P.Books[0];
    EXPECT_EQ(First.BookName, Gbk("初中英语"));
    EXPECT_EQ(First.WordCount, 30);
    EXPECT_EQ(First.Met, 7);
    EXPECT_EQ(First.Learnt, 4);  // rows 0, 1, 2, 5
    EXPECT_EQ(First.Learning(), 3);
    // Due before tonight: row 3 (hard, 5 days, ten days ago), row 4 (missed
    // three days ago); row 6 (hard yesterday) is due in four days.
    EXPECT_EQ(First.Due, 2);
    EXPECT_EQ(First.NeverSeen(), 23);
    EXPECT_EQ(First.TollGatesPlayed, 2);
    EXPECT_EQ(First.Right, 7);
    EXPECT_EQ(First.Errors, 2);
    EXPECT_EQ(P.Books[1].Met, 1);
    EXPECT_EQ(P.Books[1].Learnt, 1);
    EXPECT_EQ(P.Books[1].NeverSeen(), 9);

    ASSERT_EQ(P.TollGates.size(), 3U);
    EXPECT_EQ(P.TollGates[1].TollGate, 2);
    EXPECT_EQ(P.TollGates[1].Plays, 2);
    EXPECT_EQ(P.TollGates[1].Right, 3);
    EXPECT_EQ(P.TollGates[1].Errors, 1);
    EXPECT_EQ(P.TollGates[2].BookName, Gbk("高中英语"));
}

TEST_F(MemoryUiProgress, ADeletedBookKeepsItsWordsAndTollGates)
{
    db->Connection().Execute("DELETE FROM bookinfo WHERE id = ?", {std::int64_t{m_second}});
    const TStudyProgress P = ReadStudyProgress(Now);
    ASSERT_EQ(P.Books.size(), 2U);
    EXPECT_EQ(P.Books[1].BookName, Gbk("（已删除的课本）"));
    EXPECT_EQ(P.Books[1].Met, 1);
    EXPECT_EQ(P.Books[1].NeverSeen(), 0);
    EXPECT_EQ(P.Books[1].TollGatesPlayed, 1);
    EXPECT_EQ(P.TollGates.back().BookName, P.Books[1].BookName);
}

TEST_F(MemoryUiProgress, LearntOverTimeAndMistakes)
{
    const TStudyProgress P = ReadStudyProgress(Now);
    // Three learnt ten days ago, one three days ago, the second book's yesterday.
    ASSERT_EQ(P.LearntOverTime.size(), 3U);
    EXPECT_EQ(P.LearntOverTime[0].Learnt, 3);
    EXPECT_EQ(P.LearntOverTime[1].Learnt, 4);
    EXPECT_EQ(P.LearntOverTime[2].Learnt, 5);
    EXPECT_LT(P.LearntOverTime[0].DayStartMs, P.LearntOverTime[1].DayStartMs);

    ASSERT_EQ(P.MostMissed.size(), 1U);
    EXPECT_EQ(P.MostMissed[0].Spelling, NumberedSpelling(5));
    EXPECT_EQ(P.MostMissed[0].Missed, 2);
    EXPECT_EQ(P.MostMissed[0].Slips, 4);

    ASSERT_GE(P.WeakLetters.size(), 2U);
    EXPECT_EQ(P.WeakLetters[0].Expected, 'w');
    EXPECT_EQ(P.WeakLetters[0].Count, 4);
    EXPECT_EQ(P.WeakLetters[0].MostTyped, 'q');

    const TWordInfos Weak = WeakSpellingWords(2);
    ASSERT_EQ(Weak.size(), 2U);
    EXPECT_EQ(Weak[0].Spelling, NumberedSpelling(5));
    EXPECT_EQ(Weak[0].Meaning, "m5");  // read back from the book
    EXPECT_EQ(Weak[1].Spelling, NumberedSpelling(4));
}

TEST_F(MemoryUiProgress, TheWindowShowsTheFigures)
{
    TFrmStudyProgress Window;
    Window.LoadProgress(Now);
    const auto *Books = Window.findChild<QTableWidget *>(QStringLiteral("tblBooks"));
    ASSERT_NE(Books, nullptr);
    ASSERT_EQ(Books->rowCount(), 2);
    EXPECT_EQ(RowTexts(Books, 0),
              QStringLiteral("初中英语,30,7,4,3,2,23,2,77.8%,50.0%").split(QLatin1Char(',')));
    // The second book's one word has had no review on a later day.
    EXPECT_EQ(Books->item(1, 9)->text(), QStringLiteral("-"));
    ShowTab(Window, "tabMistakes");
    const auto *Missed = Window.findChild<QTableWidget *>(QStringLiteral("tblMissed"));
    ASSERT_EQ(Missed->rowCount(), 1);
    EXPECT_EQ(Missed->item(0, 0)->text(), QStringLiteral("w5"));
    const auto *Letters = Window.findChild<QTableWidget *>(QStringLiteral("tblLetters"));
    ASSERT_GE(Letters->rowCount(), 1);
    EXPECT_EQ(RowTexts(Letters, 0), QStringLiteral("w,4,q").split(QLatin1Char(',')));

    const auto *Learnt = Window.findChild<QChartView *>(QStringLiteral("chartLearnt"));
    ASSERT_EQ(Learnt->chart()->series().size(), 1);
    const auto *Line = qobject_cast<QLineSeries *>(Learnt->chart()->series()[0]);
    ASSERT_NE(Line, nullptr);
    ASSERT_EQ(Line->count(), 6);  // three days as steps, then on to now
    EXPECT_EQ(Line->at(5).y(), 5);

    // The accuracy chart follows the book chosen in the table.
    auto *Accuracy = Window.findChild<QChartView *>(QStringLiteral("chartAccuracy"));
    const auto BarValues = [&] {
        const auto *Bars = qobject_cast<QBarSeries *>(Accuracy->chart()->series().value(0));
        std::vector<double> Values;
        if (Bars && !Bars->barSets().isEmpty())
            for (int I = 0; I < Bars->barSets()[0]->count(); ++I)
                Values.push_back(Bars->barSets()[0]->at(I));
        return Values;
    };
    EXPECT_EQ(BarValues(), (std::vector<double>{80, 75}));
    const_cast<QTableWidget *>(Books)->setCurrentCell(1, 0);
    EXPECT_EQ(BarValues(), (std::vector<double>{100}));
}

// The words-learnt chart: a count only ever has whole-number ticks, and a
// day without change draws no slope.
TEST_F(MemoryUiProgress, TheLearntChartStepsByDayOnWholeNumberTicks)
{
    TFrmStudyProgress window;
    const auto *learnt = window.findChild<QChartView *>(QStringLiteral("chartLearnt"));
    ASSERT_NE(learnt, nullptr);
    const auto countAxis = [learnt]() -> const QValueAxis * {
        for (QAbstractAxis *axis : learnt->chart()->axes(Qt::Vertical))
            if (const auto *value = qobject_cast<const QValueAxis *>(axis))
                return value;
        return nullptr;
    };
    const auto tickValues = [](const QValueAxis &axis) {
        std::vector<double> values;
        values.reserve(static_cast<size_t>(axis.tickCount()));
        const double step = (axis.max() - axis.min()) / (axis.tickCount() - 1);
        for (int i = 0; i < axis.tickCount(); ++i)
            values.push_back(axis.min() + i * step);
        return values;
    };
    constexpr std::int64_t day0 = Now - 5 * DayMs;
    for (const int words : {0, 3, 7, 10, 37, 1234}) {
        TStudyProgress progress;
        progress.LearntOverTime = {{day0, words / 2}, {day0 + 3 * DayMs, words}};
        window.ShowProgress(progress);
        const QValueAxis *axis = countAxis();
        ASSERT_NE(axis, nullptr);
        EXPECT_EQ(axis->tickType(), QValueAxis::TicksFixed);
        EXPECT_GE(axis->max(), words);
        EXPECT_LE(axis->tickCount(), 11) << words;
        for (const double tick : tickValues(*axis))
            EXPECT_EQ(tick, std::round(tick)) << words << " words, a tick at " << tick;
        if (words <= 10) {
            EXPECT_EQ(axis->max(), 10);
        }
    }

    TStudyProgress progress;
    progress.LearntOverTime = {{day0, 2}, {day0 + DayMs, 2}, {day0 + 3 * DayMs, 6}};
    window.ShowProgress(progress);
    const auto *line = qobject_cast<QLineSeries *>(learnt->chart()->series().value(0));
    ASSERT_NE(line, nullptr);
    const QList<QPointF> expected = {{double(day0), 2},
                                     {double(day0 + DayMs), 2},
                                     {double(day0 + DayMs), 2},
                                     {double(day0 + 3 * DayMs), 2},
                                     {double(day0 + 3 * DayMs), 6}};
    EXPECT_EQ(line->points(), expected);
}

TEST_F(MemoryUiProgress, WeakSpellingsAskForATollGate)
{
    TFrmStudyProgress Window;
    Window.LoadProgress(Now);
    std::vector<TWordInfos> Asked;
    QObject::connect(&Window, &TFrmStudyProgress::PracticeWeakSpellings,
                     [&](const TWordInfos &Words) { Asked.push_back(Words); });
    Window.findChild<QPushButton *>(QStringLiteral("btnWeakSpellings"))->click();
    ASSERT_EQ(Asked.size(), 1U);
    const TWordInfos &Words = Asked[0];
    // Every word with a slip, most slips first, with its meaning.
    ASSERT_EQ(Words.size(), 3U);
    EXPECT_EQ(Words[0].Spelling, NumberedSpelling(5));
    EXPECT_EQ(Words[1].Spelling, NumberedSpelling(4));
    EXPECT_EQ(Words[2].Spelling, NumberedSpelling(3));
    EXPECT_EQ(Words[2].Meaning, "m3");
}

TEST_F(MemoryUiProgress, ExportWritesEveryWordThroughTheFileDialog)
{
    QTemporaryDir Out;
    const QString Path = Out.filePath(QStringLiteral("记录.csv"));
    SetModalRunner([&](QDialog &Dialog) {
        auto *Files = dynamic_cast<QFileDialog *>(&Dialog);
        EXPECT_NE(Files, nullptr);
        EXPECT_EQ(Files ? Files->acceptMode() : QFileDialog::AcceptOpen, QFileDialog::AcceptSave);
        if (Files)
            Files->selectFile(Path);
        Dialog.accept();
        return int(QDialog::Accepted);
    });
    TFrmStudyProgress Window;
    Window.LoadProgress(Now);
    Window.findChild<QPushButton *>(QStringLiteral("btnExport"))->click();
    SetModalRunner({});

    QFile File(Path);
    ASSERT_TRUE(File.open(QIODevice::ReadOnly));
    const QStringList Lines =
        QString::fromUtf8(File.readAll().mid(3)).split(QStringLiteral("\r\n"));
    ASSERT_EQ(Lines.size(), 1 + 8 + 1);  // header, eight words, the last line break
    EXPECT_TRUE(Lines[1].startsWith(QStringLiteral("w1,m1,初中英语,")));
    EXPECT_EQ(ScriptedMessageBoxes::Global().Texts(),
              QStringList{QStringLiteral("已导出8个单词的学习记录。")});
}

TEST_F(MemoryUiProgress, ClearingEmptiesTheMemoryAfterYesOnly)
{
    TFrmStudyProgress Window;
    Window.LoadProgress(Now);
    auto *Clear = Window.findChild<QPushButton *>(QStringLiteral("btnClear"));

    ScriptedMessageBoxes::Global().Answer(QMessageBox::No);
    Clear->click();
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM wordmemory"), 8);
    EXPECT_EQ(Window.Progress().Books.size(), 2U);

    ScriptedMessageBoxes::Global().Answer(QMessageBox::Yes);
    Clear->click();
    for (const char *Table : {"wordmemory", "wordslip", "reviewlog", "playlog"})
        EXPECT_EQ(Scalar(std::string("SELECT COUNT(*) FROM ") + Table), 0) << Table;
    EXPECT_EQ(GetBookWordNumber(m_first), 30);  // the books stay
    EXPECT_TRUE(Window.Progress().Books.empty());
    EXPECT_EQ(Window.findChild<QTableWidget *>(QStringLiteral("tblBooks"))->rowCount(), 0);
    EXPECT_EQ(ScriptedMessageBoxes::Global().Shown().size(), 2U);
}

std::vector<double> BarsOf(const QChartView *view)
{
    std::vector<double> values;
    const auto *bars = qobject_cast<QBarSeries *>(view->chart()->series().value(0));
    if (bars && !bars->barSets().isEmpty())
        for (int i = 0; i < bars->barSets()[0]->count(); ++i)
            values.push_back(bars->barSets()[0]->at(i));
    return values;
}

// The habit tab over the fixture: w5 missed ten and three days ago and w6
// known three days ago and yesterday are the only reviews a day or more
// after the word's previous one.
TEST_F(MemoryUiProgress, TheHabitTabShowsTheForecastRetentionStreakAndCalendar)
{
    TFrmStudyProgress window;
    window.SetDailyGoal(3);
    window.LoadProgress(Now);
    ShowTab(window, "tabHabit");

    // Due: rows 3 and 4 overdue (today's bar), row 6 in four days, rows
    // 0..2 in twenty, row 5 and the second book's word in 29.
    auto *forecast = window.findChild<QChartView *>(QStringLiteral("chartForecast"));
    ASSERT_NE(forecast, nullptr);
    std::vector<double> expected(30, 0);
    expected[0] = 2;
    expected[4] = 1;
    expected[20] = 3;
    expected[29] = 2;
    EXPECT_EQ(BarsOf(forecast), expected);
    EXPECT_TRUE(forecast->chart()->title().contains(QStringLiteral("8个")));
    auto *book = window.findChild<QComboBox *>(QStringLiteral("cbForecastBook"));
    ASSERT_EQ(book->count(), 3);
    EXPECT_EQ(book->itemText(0), QStringLiteral("全部课本"));
    book->setCurrentIndex(2);
    std::vector<double> second(30, 0);
    second[29] = 1;
    EXPECT_EQ(BarsOf(forecast), second);
    // A reload keeps the chosen book.
    window.LoadProgress(Now);
    EXPECT_EQ(book->currentIndex(), 2);
    EXPECT_EQ(BarsOf(forecast), second);

    // One month with spaced reviews, beside the chosen retention.
    auto *retention = window.findChild<QChartView *>(QStringLiteral("chartRetention"));
    ASSERT_EQ(retention->chart()->series().size(), 2);
    const auto *achieved = qobject_cast<QLineSeries *>(retention->chart()->series()[0]);
    const auto *target = qobject_cast<QLineSeries *>(retention->chart()->series()[1]);
    ASSERT_TRUE(achieved && target);
    ASSERT_EQ(achieved->count(), 1);
    EXPECT_DOUBLE_EQ(achieved->at(0).y(), 50);
    // May, the last of three months shown.
    EXPECT_DOUBLE_EQ(achieved->at(0).x(), 2);
    ASSERT_EQ(target->count(), 2);
    EXPECT_DOUBLE_EQ(target->at(0).y(), 90);
    EXPECT_EQ(target->name(), QStringLiteral("目标 90%"));
    TFsrsParameters chosen = ReadMemoryParameters();
    chosen.Retention = 0.85;
    ChangeMemoryParameters(chosen, Now);
    window.LoadProgress(Now);
    target = qobject_cast<QLineSeries *>(retention->chart()->series().value(1));
    ASSERT_NE(target, nullptr);
    EXPECT_DOUBLE_EQ(target->at(1).y(), 85);

    // Three words yesterday reach a goal of three; today has none yet.
    EXPECT_EQ(window.findChild<QLabel *>(QStringLiteral("labStreak"))->text(),
              QStringLiteral("连续学习1天"));
    EXPECT_EQ(window.findChild<QLabel *>(QStringLiteral("labGoal"))->text(),
              QStringLiteral("每日目标3个单词，今天已打0个"));
    window.SetDailyGoal(4);
    window.LoadProgress(Now);
    EXPECT_EQ(window.findChild<QLabel *>(QStringLiteral("labStreak"))->text(),
              QStringLiteral("连续学习0天"));

    auto *calendar = window.findChild<TStudyCalendar *>(QStringLiteral("calStudy"));
    ASSERT_NE(calendar, nullptr);
    ASSERT_EQ(calendar->Days().size(), 365u);
    const QDate today = QDateTime::fromMSecsSinceEpoch(Now).date();
    EXPECT_EQ(calendar->Days().back().Day, today);
    const auto tipOn = [&](QDate day) {
        return calendar->ToolTipAt(calendar->DayRect(day).center());
    };
    EXPECT_EQ(tipOn(today.addDays(-1)), QStringLiteral("2026年5月9日：3个单词，正确率100%"));
    EXPECT_EQ(tipOn(today.addDays(-10)), QStringLiteral("2026年4月30日：5个单词，正确率80%"));
    EXPECT_EQ(tipOn(today.addDays(-2)), QStringLiteral("2026年5月8日：0个单词"));
}

}  // namespace

// The tabs 学习习惯 and 易错单词 are read when first shown after a load, and a
// reload reads again the one shown.
TEST_F(MemoryUiProgress, TheHabitAndMistakesTabsAreReadWhenShown)
{
    TFrmStudyProgress window;
    window.SetDailyGoal(3);
    window.LoadProgress(Now);
    auto *calendar = window.findChild<TStudyCalendar *>(QStringLiteral("calStudy"));
    auto *streak = window.findChild<QLabel *>(QStringLiteral("labStreak"));
    auto *missed = window.findChild<QTableWidget *>(QStringLiteral("tblMissed"));
    ASSERT_TRUE(calendar && streak && missed);
    EXPECT_TRUE(calendar->Days().empty());
    EXPECT_EQ(missed->rowCount(), 0);
    // The per-book retention is read at the load all the same.
    EXPECT_EQ(window.findChild<QTableWidget *>(QStringLiteral("tblBooks"))->item(0, 9)->text(),
              QStringLiteral("50.0%"));

    ShowTab(window, "tabMistakes");
    EXPECT_EQ(missed->rowCount(), 1);
    EXPECT_TRUE(calendar->Days().empty());
    ShowTab(window, "tabHabit");
    EXPECT_EQ(calendar->Days().size(), 365u);
    EXPECT_EQ(streak->text(), QStringLiteral("连续学习1天"));

    // Today's play, then a reload with the habit tab shown: read at once.
    Play(m_first, 3, Now - 60'000, 3, 0,
         {Met(7, TRating::Good, m_first), Met(8, TRating::Good, m_first),
          Met(9, TRating::Good, m_first)});
    window.LoadProgress(Now);
    EXPECT_EQ(streak->text(), QStringLiteral("连续学习2天"));
    EXPECT_EQ(calendar->Days().back().Words, 3);
    // The mistakes tab, not shown, is read again when it next is.
    ASSERT_NO_THROW(RecordTollGate(TTollGatePlay{Now - 30'000, m_first, 3, 1, 0, 1, false},
                                   {Met(10, TRating::Again, m_first)}, ChosenReview));
    window.LoadProgress(Now);
    ShowTab(window, "tabMistakes");
    EXPECT_EQ(missed->rowCount(), 2);
}

TEST_F(MemoryUiProgress, OptimisingTheMemoryParametersRunsOnTheWorkerAndReportsInWords)
{
    TFrmStudyProgress window;
    window.LoadProgress(Now);
    auto *optimize = window.findChild<QPushButton *>(QStringLiteral("btnOptimizeMemory"));
    auto *restore = window.findChild<QPushButton *>(QStringLiteral("btnRestoreDefaults"));
    auto *label = window.findChild<QLabel *>(QStringLiteral("labMemoryFit"));
    auto *bar = window.findChild<QProgressBar *>(QStringLiteral("barMemoryFit"));
    ASSERT_TRUE(optimize && restore && label && bar);
    EXPECT_FALSE(optimize->isEnabled());  // nothing to run it on
    EXPECT_EQ(label->text(), QStringLiteral("现在使用默认的记忆参数。"));

    TMemoryFitRun run;
    window.AttachMemoryFit(&run);
    ASSERT_TRUE(optimize->isEnabled());
    optimize->click();
    EXPECT_FALSE(run.Running());
    EXPECT_TRUE(label->text().contains(QStringLiteral("至少需要400次")))
        << label->text().toStdString();

    // A hundred words, each reviewed six times with growing gaps, every fifth
    // review missed: enough to fit.
    int review = 0;
    for (int day = 0; day < 120; ++day) {
        std::vector<TWordMeeting> words;
        for (int word = 0; word < 100; ++word) {
            const int start = word % 20;
            const int offsets[] = {0, 1, 3, 7, 15, 31};
            for (const int offset : offsets)
                if (day == start + offset) {
                    words.push_back(
                        Met(0, ++review % 5 == 0 ? TRating::Again : TRating::Good, m_first));
                    words.back().Word.Spelling = "f" + std::to_string(word);
                }
        }
        if (!words.empty())
            Play(m_first, 3, Now - (130 - day) * DayMs, 1, 0, words);
    }
    optimize->click();
    ASSERT_TRUE(run.Running());
    EXPECT_FALSE(bar->isHidden());
    EXPECT_FALSE(optimize->isEnabled());
    EXPECT_FALSE(restore->isEnabled());
    run.Wait();
    EXPECT_TRUE(bar->isHidden());
    EXPECT_TRUE(optimize->isEnabled());
    EXPECT_TRUE(label->text().startsWith(QStringLiteral("预测误差：优化前 ")))
        << label->text().toStdString();

    restore->click();
    EXPECT_EQ(label->text(), QStringLiteral("已恢复默认参数。"));
    EXPECT_EQ(ReadMemoryParameters().Weights, DefaultFsrsWeights());
}
