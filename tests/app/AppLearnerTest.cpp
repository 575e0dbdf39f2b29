// What the window does for a learner: the last word hit shown whole, F2 and
// "查"; dictation (drawing, when words are spoken, F3); the notice when an
// input method keeps the letters from the board; the typing times recorded and
// the learning settings.
#include <algorithm>
#include <fstream>

#include <QApplication>
#include <QAction>
#include <QScopeGuard>
#include <QCheckBox>
#include <QDoubleSpinBox>
#include <QFontInfo>
#include <QInputMethodEvent>
#include <QInputMethodQueryEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTest>
#include <QToolButton>

#include "GameWindowFixture.h"
#include "Clock.h"
#include "ClozeWords.h"
#include "DailyGoal.h"
#include "FsrsScheduler.h"
#include "GbkText.h"
#include "MemoryParameters.h"
#include "PlayMode.h"
#include "ReferenceData.h"
#include "Settings.h"
#include "UDataInterface.h"
#include "UFrmType.h"
#include "UTypeGameType.h"
#include "WordMemory.h"

namespace {

class AppLearner : public GameWindowTest {
protected:
    // A running toll gate of the lines' words, the first on view.
    void StartLines(const std::vector<std::string> &lines)
    {
        UseBook(ImportLines("学习", lines));
        Start();
        StartFromTheFirstTollGate();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&Window()));
        ASSERT_TRUE(TickUntil([this] { return OnViewCount() > 0; }));
    }

    int OnViewCount()
    {
        int n = 0;
        for (int id : {1, 2})
            for (const TTypeWordItem &item :
                 (id == 1 ? Board().WordCanvas1() : Board().WordCanvas2()).Items)
                n += OnView(item, id, Board()) ? 1 : 0;
        return n;
    }

    void TypeWord(const std::string &spelling)
    {
        for (char ch : spelling)
            Board().TypeKey(static_cast<std::uint16_t>(ch - 'a' + 'A'), TShiftState{});
    }

    std::vector<std::string> Spoken() const
    {
        std::vector<std::string> texts;
        for (const auto &s : m_speech.state.spoken)
            texts.push_back(s.text);
        return texts;
    }

    // What was spoken from the n-th utterance on.
    std::vector<std::string> SpokenFrom(size_t n) const
    {
        const std::vector<std::string> all = Spoken();
        return {all.begin() + static_cast<std::ptrdiff_t>(std::min(n, all.size())), all.end()};
    }
};

// ------------------------------------------------------------ the last word

TEST_F(AppLearner, TheLastWordHitIsShownWholeInIpa)
{
    StartLines({"abandon[@'b&nd@n]" + Gbk("vt. 放弃, 抛弃, 遗弃, 使屈从, 沉溺"),
                "zoo[zu:]" + Gbk("n. 动物园")});
    QLabel *line = Control<QLabel>(Window(), "labLastWord");
    EXPECT_TRUE(line->text().isEmpty());
    EXPECT_FALSE(Control<QToolButton>(Window(), "sbLastWordQuery")->isEnabled());
    // Liberation Sans has the IPA symbols the board's Chinese face lacks.
    EXPECT_EQ(QFontInfo(line->font()).family(), QStringLiteral("Liberation Sans"));
    const QSize boardSize = Board().size();

    TypeWord("abandon");
    EXPECT_TRUE(line->text().isEmpty()) << "shown before its arrow hit";
    ASSERT_TRUE(FlyShots());
    EXPECT_EQ(line->text(),
              QStringLiteral("abandon  [əˈbændən]  vt. 放弃, 抛弃, 遗弃, 使屈从, 沉溺"));
    EXPECT_EQ(Board().size(), boardSize);
    EXPECT_EQ(Board().size(), QSize(815, 424));
}

TEST_F(AppLearner, EitherSpellingHitsAndTheLineShowsBothAccents)
{
    StartLines({"colour['kVl@]" + Gbk("n. 颜色"), "favour['feiv@]" + Gbk("n. 喜爱"),
                "zoo[zu:]" + Gbk("n. 动物园")});
    ASSERT_TRUE(TickUntil([this] { return OnViewCount() >= 2; }));
    QLabel *line = Control<QLabel>(Window(), "labLastWord");
    TypeWord("color");
    ASSERT_EQ(Board().RightWordCount(), 1);
    ASSERT_TRUE(FlyShots());
    EXPECT_EQ(line->text(),
              QStringLiteral("colour  英 [ˈkʌlə]  美 [ˈkʌlɚ]  n. 颜色  美式拼写：color"));
    // 美音 first once chosen; the line follows at the next word (or the dialog).
    WriteSysInteger(Setting::Accent, 1);
    Window().ShowLastWord(Window().LastWord());
    EXPECT_EQ(line->text(),
              QStringLiteral("colour  美 [ˈkʌlɚ]  英 [ˈkʌlə]  n. 颜色  美式拼写：color"));

    // Both spellings off: only the book's completes, and the line names no other.
    WriteSysInteger(Setting::BothSpellings, 0);
    Window().ApplyBothSpellings();
    TypeWord("favor");
    EXPECT_EQ(Board().RightWordCount(), 1);
    TypeWord("ur");
    EXPECT_EQ(Board().RightWordCount(), 2);
    ASSERT_TRUE(FlyShots());
    EXPECT_EQ(line->text(), QStringLiteral("favour  美 [ˈfeivɚ]  英 [ˈfeivə]  n. 喜爱"));
}

TEST_F(AppLearner, F2AndAClickSpeakTheLastWordAgainWhateverTheSpeechTick)
{
    StartLines({"abandon[@'b&nd@n]" + Gbk("vt. 放弃"), "zoo[zu:]" + Gbk("n. 动物园")});
    // Nothing hit yet: nothing to say.
    const size_t start = Spoken().size();
    Release(Qt::Key_F2, QString());
    EXPECT_EQ(Spoken().size(), start);
    TypeWord("abandon");
    ASSERT_TRUE(FlyShots());
    Control<QCheckBox>(Window(), "cbSpeech")->click();
    ASSERT_FALSE(Control<QCheckBox>(Window(), "cbSpeech")->isChecked());
    const size_t before = Spoken().size();
    Release(Qt::Key_F2, QString());
    EXPECT_EQ(SpokenFrom(before), std::vector<std::string>({"abandon"}));
    QTest::mouseClick(Control<QLabel>(Window(), "labLastWord"), Qt::LeftButton);
    EXPECT_EQ(SpokenFrom(before), std::vector<std::string>({"abandon", "abandon"}));
    // F2 types nothing.
    EXPECT_EQ(Board().RightWordCount(), 1);
}

TEST_F(AppLearner, AHitShowsANewExampleEachTimeTheWordComesBackAndF4SpeaksIt)
{
    const std::vector<TExample> examples = ProgramReferenceData().Examples("abandon");
    ASSERT_EQ(examples.size(), 3U) << "the shipped reference data";
    StartLines({"abandon[@'b&nd@n]" + Gbk("vt. 放弃"), "zoo[zu:]" + Gbk("n. 动物园"),
                "qqxz[kju:]" + Gbk("n. 无例句")});
    QLabel *example = Control<QLabel>(Window(), "labLastExample");
    EXPECT_TRUE(example->text().isEmpty());
    const QSize boardSize = Board().size();

    // Three hits of the word, each a toll gate started again: each shows the
    // next example, the form the sentence uses in bold, then the first again.
    std::vector<QString> shown;
    for (int hit = 0; hit < 4; ++hit) {
        if (hit > 0) {
            Control<QToolButton>(Window(), "sbReStart")->click();
            ASSERT_TRUE(TickUntil([this] { return OnViewCount() > 0; }));
        }
        TypeWord("abandon");
        ASSERT_TRUE(FlyShots());
        shown.push_back(example->text());
        const TExample &expected = examples[static_cast<size_t>(hit) % examples.size()];
        EXPECT_EQ(Window().LastExample(), expected);
        EXPECT_TRUE(example->text().contains(
            QStringLiteral("<b>") + QString::fromStdString(expected.Form) + QStringLiteral("</b>"),
            Qt::CaseInsensitive))
            << example->text().toStdString();
    }
    EXPECT_NE(shown[0], shown[1]);
    EXPECT_NE(shown[1], shown[2]);
    EXPECT_EQ(shown[3], shown[0]);
    // The longest example never widens the window.
    EXPECT_EQ(Board().size(), boardSize);

    const size_t before = Spoken().size();
    Release(Qt::Key_F4, QString());
    QTest::mouseClick(example, Qt::LeftButton);
    EXPECT_EQ(SpokenFrom(before), std::vector<std::string>(2, Window().LastExample().Sentence));
    EXPECT_EQ(Board().RightWordCount(), 1) << "F4 types nothing";

    // A word without an example clears the line; F4 then says nothing.
    ASSERT_TRUE(TickUntil([this] {
        TypeWord("qqxz");
        return Board().RightWordCount() == 2;
    }));
    ASSERT_TRUE(FlyShots());
    ASSERT_EQ(Window().LastWord().Spelling, "qqxz");
    EXPECT_TRUE(example->text().isEmpty());
    const size_t after = Spoken().size();
    Release(Qt::Key_F4, QString());
    EXPECT_EQ(Spoken().size(), after);
}

TEST(AppLearnerExample, TheFormIsSetOffAndTheRestEscaped)
{
    EXPECT_EQ(ExampleHtml({"cats", "Cats & <dogs>: cats"}),
              QStringLiteral("<b>Cats</b> &amp; &lt;dogs&gt;: cats"));
    EXPECT_EQ(ExampleHtml({"cat", "a category"}), QStringLiteral("a category"));
    EXPECT_EQ(ExampleHtml({}), QString());
}

TEST_F(AppLearner, TheLookUpButtonPutsTheSpellingIntoTheLookUpEdit)
{
    StartLines({"abandon[@'b&nd@n]" + Gbk("vt. 放弃"), "zoo[zu:]" + Gbk("n. 动物园")});
    TypeWord("abandon");
    ASSERT_TRUE(FlyShots());
    QToolButton *query = Control<QToolButton>(Window(), "sbLastWordQuery");
    ASSERT_TRUE(query->isEnabled());
    EXPECT_EQ(query->text(), QStringLiteral("查"));
    query->click();
    EXPECT_EQ(Control<QLineEdit>(Window(), "ediQueryWord")->text(), QStringLiteral("abandon"));
    // The game keeps the keyboard.
    EXPECT_TRUE(Control<QWidget>(Window(), "panGame")->hasFocus());
}

// ------------------------------------------------------------ dictation

TEST_F(AppLearner, DictationHidesSpellingsAndIsNotSaved)
{
    StartLines({"abandon[@'b&nd@n]" + Gbk("vt. 放弃"), "zoo[zu:]" + Gbk("n. 动物园")});
    QCheckBox *dictation = Control<QCheckBox>(Window(), "cbDictation");
    EXPECT_EQ(dictation->text(), QStringLiteral("听写"));
    EXPECT_FALSE(dictation->isChecked());
    dictation->click();
    EXPECT_TRUE(Board().Dictation());
    // The "单词" tick keeps its rules but changes no drawing while dictating.
    Control<QCheckBox>(Window(), "cbMean")->click();
    EXPECT_EQ(Board().WordDisType(), TWordDisType::wdtSpell);
    EXPECT_TRUE(Board().Dictation());
    dictation->click();
    EXPECT_FALSE(Board().Dictation());
    dictation->click();
    CloseWindow();
    Start();
    EXPECT_FALSE(Control<QCheckBox>(Window(), "cbDictation")->isChecked());
    EXPECT_FALSE(Board().Dictation());
}

TEST_F(AppLearner, DictationSpeaksAWordWhenShownAndAgainPastTheMiddle)
{
    StartLines({"apple[p]" + Gbk("苹果"), "zoo[zu:]" + Gbk("n. 动物园")});
    Control<QCheckBox>(Window(), "cbSpeech")->click();  // hits silent: only dictation speaks
    Control<QCheckBox>(Window(), "cbDictation")->click();
    // The game starts over so that both words come into view with dictation on.
    Control<QToolButton>(Window(), "sbReStart")->click();
    const size_t before = Spoken().size();
    ASSERT_TRUE(TickUntil([this] {
        return Board().WordCanvas1().Items.size() == 2 && Board().WordCanvas1().Items[1].PastMiddle;
    }));
    EXPECT_EQ(SpokenFrom(before), std::vector<std::string>({"apple", "zoo", "apple", "zoo"}));
}

TEST_F(AppLearner, DictationDoesNotQueueAWordTwiceNorSpeakWhilePaused)
{
    StartLines({"apple[p]" + Gbk("苹果"), "zoo[zu:]" + Gbk("n. 动物园")});
    Control<QCheckBox>(Window(), "cbSpeech")->click();
    Control<QCheckBox>(Window(), "cbDictation")->click();
    Control<QToolButton>(Window(), "sbReStart")->click();
    // Still speaking: the second telling of each word is not queued.
    m_speech.state.speaking = true;
    const size_t before = Spoken().size();
    ASSERT_TRUE(TickUntil([this] {
        return Board().WordCanvas1().Items.size() == 2 && Board().WordCanvas1().Items[1].PastMiddle;
    }));
    EXPECT_EQ(SpokenFrom(before), std::vector<std::string>({"apple", "zoo"}));

    // Paused: nothing is spoken for dictation.
    m_speech.state.speaking = false;
    Control<QToolButton>(Window(), "sbReStart")->click();
    Control<QToolButton>(Window(), "btnPause")->click();
    const size_t paused = Spoken().size();
    for (int i = 0; i < 400; ++i)
        Board().MoveStep();  // the play thread stands still; the steps alone
    EXPECT_EQ(SpokenFrom(paused), std::vector<std::string>());
}

// Every listener of a word's showing hears it: dictation speaks it and the
// game still counts it as seen.
TEST_F(AppLearner, AShownWordLeftUncountedIsSeenWithDictationOn)
{
    UseBook(ImportLines("学习", {"apple[p]" + Gbk("苹果"), "zoo[zu:]" + Gbk("n. 动物园")}));
    Start();
    Control<QCheckBox>(Window(), "cbSpeech")->click();  // hits silent: only dictation speaks
    Control<QCheckBox>(Window(), "cbDictation")->click();
    // The opening game: the toll gate twice over, so apple is word 0 and word 2.
    StartGame();
    const auto item = [this](int wordIndex) -> const TTypeWordItem * {
        for (const TWordCanvas *c : {&Board().WordCanvas1(), &Board().WordCanvas2()})
            for (const TTypeWordItem &i : c->Items)
                if (i.WordIndex == wordIndex)
                    return &i;
        return nullptr;
    };
    ASSERT_TRUE(TickUntil([&] { return item(0) != nullptr && item(0)->Shown; }));
    TypeWord("apple");
    ASSERT_TRUE(FlyShots());
    ASSERT_TRUE(TickUntil([&] { return item(2) != nullptr && item(2)->Shown; }));
    ASSERT_FALSE(item(2)->Typed || item(2)->Missed);
    // zoo is never typed: only dictation speaks it.
    const std::vector<std::string> spoken = Spoken();
    EXPECT_NE(std::find(spoken.begin(), spoken.end(), "zoo"), spoken.end());

    // Leaving the toll gate records it: apple was counted once and shown again.
    Window().close();
    const std::optional<TWordMemory> apple = ReadWordMemory("apple");
    ASSERT_TRUE(apple);
    EXPECT_EQ(apple->Right, 1);
    EXPECT_EQ(apple->Seen, 2);
}

TEST_F(AppLearner, F3SpeaksTheLowestUntypedWord)
{
    StartLines({"apple[p]" + Gbk("苹果"), "zoo[zu:]" + Gbk("n. 动物园")});
    ASSERT_TRUE(TickUntil([this] { return OnViewCount() == 2; }));
    const size_t before = Spoken().size();
    Release(Qt::Key_F3, QString());
    EXPECT_EQ(SpokenFrom(before), std::vector<std::string>({"apple"}));
    TypeWord("apple");
    ASSERT_TRUE(FlyShots());
    Control<QCheckBox>(Window(), "cbSpeech")->click();  // F3 speaks whatever it says
    const size_t after = Spoken().size();
    Release(Qt::Key_F3, QString());
    EXPECT_EQ(SpokenFrom(after), std::vector<std::string>({"zoo"}));
}

// ------------------------------------------------------------ 例句填空

// The box of that place of the board's list, or null.
const TTypeWordItem *BoxOf(TTypeGameType &board, int wordIndex)
{
    for (const TWordCanvas *c : {&board.WordCanvas1(), &board.WordCanvas2()})
        for (const TTypeWordItem &item : c->Items)
            if (item.WordIndex == wordIndex)
                return &item;
    return nullptr;
}

TEST_F(AppLearner, ClozeBoxesTakeTheSentencesFormAndTheBarShowsTheLowestBoxsSentence)
{
    StartLines({"abandon[@'b&nd@n]" + Gbk("vt. 放弃"), "apple[p]" + Gbk("n. 苹果"),
                "qqxz[kju:]" + Gbk("n. 无例句")});
    QCheckBox *cloze = Control<QCheckBox>(Window(), "cbCloze");
    EXPECT_EQ(cloze->text(), QStringLiteral("例句填空"));
    EXPECT_FALSE(cloze->isChecked());
    QLabel *bar = Control<QLabel>(Window(), "labClozeSentence");
    EXPECT_TRUE(bar->text().isEmpty());
    const QSize boardSize = Board().size();
    cloze->click();
    EXPECT_EQ(Window().Flow().PlayMode(), TPlayMode::Cloze);
    EXPECT_EQ(Board().size(), boardSize) << "the bar is there in every mode";

    // Each word's first example: its box shows a blank and accepts the form;
    // the word without one falls as in dictation.
    ASSERT_TRUE(TickUntil([this] { return OnViewCount() == 3; }));
    const TTypeWordItem *abandon = BoxOf(Board(), 0);
    ASSERT_NE(abandon, nullptr);
    EXPECT_TRUE(abandon->Blanked);
    EXPECT_EQ(abandon->Answers, std::vector<std::string>{"abandoned"});
    EXPECT_EQ(BoxOf(Board(), 1)->Answers, std::vector<std::string>{"apple"});
    EXPECT_FALSE(BoxOf(Board(), 2)->Blanked);
    EXPECT_TRUE(Board().Dictation());
    ASSERT_EQ(Board().LowestUntypedWordIndex(), 0);
    EXPECT_EQ(bar->text(), QStringLiteral("We _________ the old car in the empty parking lot"));

    // The spelling itself is not the answer; the sentence's form is, and the
    // bar moves on to the next lowest box.
    TypeWord("abandon");
    EXPECT_EQ(Board().RightWordCount(), 0);
    TypeWord("ed");
    EXPECT_EQ(Board().RightWordCount(), 1);
    EXPECT_EQ(bar->text(), QStringLiteral("the _____ trees fructify"));
    // apple goes by untyped: the bar follows to the word without a sentence.
    ASSERT_TRUE(TickUntil([this] { return Board().ErrorWordCount() == 1; }));
    EXPECT_EQ(Board().LowestUntypedWordIndex(), 2);
    EXPECT_TRUE(bar->text().isEmpty());
    ASSERT_TRUE(FlyShots());

    // Leaving the toll gate records abandon, typed as abandoned, as a cloze word.
    Window().close();
    const std::optional<TWordMemory> memory = ReadWordMemory("abandon");
    ASSERT_TRUE(memory);
    EXPECT_EQ(memory->Right, 1);
    TSqlQuery row = DataInterface().Connection().Query(
        "SELECT playmode, letterspersec > 0 FROM reviewlog WHERE spelling = 'abandon'");
    ASSERT_TRUE(row.Next());
    EXPECT_EQ(row.Integer(0), static_cast<int>(TPlayMode::Cloze));
    TSqlQuery missed = DataInterface().Connection().Query(
        "SELECT playmode FROM reviewlog WHERE spelling = 'apple'");
    ASSERT_TRUE(missed.Next());
    EXPECT_EQ(missed.Integer(0), static_cast<int>(TPlayMode::Cloze));
}

TEST_F(AppLearner, ClozeSpeaksEachSentenceAsItsBoxComesIntoViewWhileTheSpeechIsTicked)
{
    UseBook(ImportLines("学习", {"abandon[@'b&nd@n]" + Gbk("vt. 放弃"), "apple[p]" + Gbk("n. 苹果"),
                                 "qqxz[kju:]" + Gbk("n. 无例句")}));
    Start();
    ASSERT_TRUE(Control<QCheckBox>(Window(), "cbSpeech")->isChecked());
    Control<QCheckBox>(Window(), "cbCloze")->click();
    StartFromTheFirstTollGate();
    const size_t before = Spoken().size();
    ASSERT_TRUE(TickUntil([this] {
        const TTypeWordItem *last = BoxOf(Board(), 2);
        return last != nullptr && last->Shown;
    }));
    // The sentences whole; the word without one is spoken as dictation does.
    EXPECT_EQ(SpokenFrom(before),
              std::vector<std::string>({"We abandoned the old car in the empty parking lot",
                                        "the apple trees fructify", "qqxz"}));

    // Unticked, no sentence is spoken; F3 still says the lowest one.
    Control<QCheckBox>(Window(), "cbSpeech")->click();
    Control<QToolButton>(Window(), "sbReStart")->click();
    const size_t after = Spoken().size();
    ASSERT_TRUE(TickUntil([this] { return OnViewCount() == 2; }));
    EXPECT_EQ(SpokenFrom(after), std::vector<std::string>());
    Release(Qt::Key_F3, QString());
    EXPECT_EQ(SpokenFrom(after),
              std::vector<std::string>({"We abandoned the old car in the empty parking lot"}));

    // Both ticks: still sentences and blanks; 例句填空 off, dictation only.
    Control<QCheckBox>(Window(), "cbDictation")->click();
    EXPECT_EQ(Window().Flow().PlayMode(), TPlayMode::Cloze);
    EXPECT_TRUE(BoxOf(Board(), 0)->Blanked);
    Control<QCheckBox>(Window(), "cbCloze")->click();
    EXPECT_EQ(Window().Flow().PlayMode(), TPlayMode::Dictation);
    EXPECT_FALSE(BoxOf(Board(), 0)->Blanked);
    EXPECT_TRUE(BoxOf(Board(), 0)->Answers.empty());
    EXPECT_TRUE(Board().Dictation());
    EXPECT_TRUE(Control<QLabel>(Window(), "labClozeSentence")->text().isEmpty());
}

// The system clock a day ahead.
class TomorrowClock final : public TClock {
public:
    QDate Today() const override { return QDate::currentDate().addDays(1); }
    std::int64_t NowMs() const override
    {
        return QDateTime::currentMSecsSinceEpoch() + std::int64_t{24} * 60 * 60 * 1000;
    }
};

TEST_F(AppLearner, TodaysReviewIsPlayedAsClozeWhenTicked)
{
    StartLines({"abandon[@'b&nd@n]" + Gbk("vt. 放弃"), "apple[p]" + Gbk("n. 苹果")});
    // Both words missed today: due tomorrow.
    std::vector<TWordMeeting> meetings(2);
    meetings[0].Word = *Board().WordAt(0);
    meetings[1].Word = *Board().WordAt(1);
    for (TWordMeeting &m : meetings) {
        m.Missed = 1;
        m.Rating = TRating::Again;
    }
    ASSERT_TRUE(RecordTollGate(TTollGatePlay{ProgramClock().NowMs(), 0, 1, 1, 0, 2, false},
                               meetings, ReviewCard));
    SetProgramClock(std::make_shared<TomorrowClock>());
    const auto restoreClock = qScopeGuard([] { SetProgramClock(nullptr); });

    Control<QCheckBox>(Window(), "cbCloze")->click();
    Control<QAction>(Window(), "nReview")->trigger();
    ASSERT_TRUE(Window().Flow().InReview());
    ASSERT_EQ(Spellings(Board().Words()), (std::vector<std::string>{"abandon", "apple"}));
    StartGame();
    ASSERT_TRUE(TickUntil([this] {
        const TTypeWordItem *box = BoxOf(Board(), 0);
        return box != nullptr && box->Shown;
    }));
    EXPECT_TRUE(BoxOf(Board(), 0)->Blanked);
    EXPECT_EQ(BoxOf(Board(), 0)->Answers, std::vector<std::string>{"abandoned"});
    EXPECT_EQ(Text("labClozeSentence"),
              QStringLiteral("We _________ the old car in the empty parking lot"));
    TypeWord("abandoned");
    EXPECT_EQ(Board().RightWordCount(), 1);
    ASSERT_TRUE(FlyShots());
    Window().close();

    // The review's meeting of abandon is recorded as a cloze one.
    TSqlQuery row = DataInterface().Connection().Query(
        "SELECT playmode FROM reviewlog WHERE spelling = 'abandon' ORDER BY at DESC, rowid DESC");
    ASSERT_TRUE(row.Next());
    EXPECT_EQ(row.Integer(0), static_cast<int>(TPlayMode::Cloze));
    EXPECT_EQ(ReadWordMemory("abandon")->Right, 1);
}

TEST_F(AppLearner, TheWidestShippedSentenceFitsTheBarAboveTheBoard)
{
    Start();
    QLabel *bar = Control<QLabel>(Window(), "labClozeSentence");
    // The widest of every shipped example with its blank, in the bar's face.
    std::ifstream in(KIVRO_SOURCE_DIR "/data/reference/examples.tsv", std::ios::binary);
    std::string line;
    std::getline(in, line);
    QString widest;
    int rows = 0;
    while (std::getline(in, line)) {
        const size_t tab1 = line.find('\t');
        const size_t tab2 = line.find('\t', tab1 + 1);
        ASSERT_NE(tab2, std::string::npos) << line;
        const TExample example{line.substr(tab1 + 1, tab2 - tab1 - 1), line.substr(tab2 + 1)};
        const std::optional<TClozeWord> cloze = ClozeWordOf({example}, line.substr(0, tab1), 0);
        ASSERT_TRUE(cloze) << line;
        const QString text = GbkToQString(cloze->Blanked);
        if (bar->fontMetrics().horizontalAdvance(text)
            > bar->fontMetrics().horizontalAdvance(widest))
            widest = text;
        ++rows;
    }
    ASSERT_GT(rows, 20000);
    bar->setText(widest);
    // It needs no more than the bar's height at the window's width (it may
    // wrap), and the bar lies wholly above the board.
    EXPECT_LE(bar->fontMetrics()
                  .boundingRect(bar->contentsRect(), Qt::AlignCenter | Qt::TextWordWrap, widest)
                  .height(),
              bar->contentsRect().height())
        << widest.toStdString();
    const QWidget *panel = Control<QWidget>(Window(), "panGame");
    const QRect barRect(bar->mapTo(&Window(), QPoint(0, 0)), bar->size());
    const QRect panelRect(panel->mapTo(&Window(), QPoint(0, 0)), panel->size());
    EXPECT_FALSE(barRect.intersects(panelRect));
    EXPECT_LE(barRect.bottom(), panelRect.top());
}

// ------------------------------------------------------------ input methods

TEST_F(AppLearner, TheGamePanelRefusesInputMethods)
{
    StartLines({"apple[p]" + Gbk("苹果"), "zoo[zu:]" + Gbk("n. 动物园")});
    QWidget *panel = Control<QWidget>(Window(), "panGame");
    ASSERT_EQ(QApplication::focusObject(), panel);
    EXPECT_FALSE(panel->inputMethodQuery(Qt::ImEnabled).toBool());
    // As Qt asks the focus object before handing keys to an input method.
    QInputMethodQueryEvent query(Qt::ImEnabled);
    QApplication::sendEvent(panel, &query);
    EXPECT_FALSE(query.value(Qt::ImEnabled).toBool());
    // The look-up edit does take them.
    QLineEdit *edit = Control<QLineEdit>(Window(), "ediQueryWord");
    QInputMethodQueryEvent editQuery(Qt::ImEnabled);
    QApplication::sendEvent(edit, &editQuery);
    EXPECT_TRUE(editQuery.value(Qt::ImEnabled).toBool());
}

TEST_F(AppLearner, TextFromAnInputMethodPausesUntilThePlainLetter)
{
    StartLines({"apple[p]" + Gbk("苹果"), "zoo[zu:]" + Gbk("n. 动物园")});
    const std::string playing = Buttons();
    QLabel *notice = Control<QLabel>(Window(), "labImeNotice");
    EXPECT_FALSE(notice->isVisible());

    QInputMethodEvent chinese;
    chinese.setCommitString(QStringLiteral("苹果"));
    QApplication::sendEvent(Control<QWidget>(Window(), "panGame"), &chinese);
    EXPECT_TRUE(notice->isVisible());
    EXPECT_EQ(notice->text(), QStringLiteral("请切换到英文输入法"));
    EXPECT_FALSE(Board().IsPlaying());
    EXPECT_EQ(Buttons(), "01101");  // as in Paused
    // A digit or F-key is not a plain letter; "a" is, and is typed too.
    Click(Qt::Key_1, QStringLiteral("1"));
    EXPECT_TRUE(notice->isVisible());
    Click(Qt::Key_A, QStringLiteral("a"));
    EXPECT_FALSE(notice->isVisible());
    EXPECT_EQ(Buttons(), playing);
    EXPECT_TRUE(Board().IsPlaying());
}

TEST_F(AppLearner, TheNoticeInAGameNotRunningLeavesItStill)
{
    UseBook(ImportBook("二十", 20));
    Start();
    ASSERT_EQ(Buttons(), "10001");
    QInputMethodEvent chinese;
    chinese.setCommitString(QStringLiteral("你"));
    QApplication::sendEvent(Control<QWidget>(Window(), "panGame"), &chinese);
    EXPECT_TRUE(Control<QLabel>(Window(), "labImeNotice")->isVisible());
    Click(Qt::Key_A, QStringLiteral("a"));
    EXPECT_FALSE(Control<QLabel>(Window(), "labImeNotice")->isVisible());
    EXPECT_EQ(Buttons(), "10001");
}

}  // namespace

// ------------------------------------------------------------ the memory

TEST_F(AppLearner, ATypedWordsKeyTimesReachTheReviewLogThroughTheBoard)
{
    UseBook(ImportLines("学习", {"apple[p]" + Gbk("苹果"), "zoo[zu:]" + Gbk("n. 动物园")}));
    Start();
    Control<QCheckBox>(Window(), "cbDictation")->click();
    StartGame();
    ASSERT_TRUE(TickUntil([this] { return OnViewCount() > 1; }));
    TypeWord("apple");
    ASSERT_TRUE(FlyShots());
    Window().close();

    TSqlQuery row = DataInterface().Connection().Query(
        "SELECT firstkeyms, lastkeyms, letterspersec, playmode, level FROM reviewlog "
        "WHERE spelling = 'apple'");
    ASSERT_TRUE(row.Next());
    EXPECT_GE(row.Integer(0), 0);
    EXPECT_GE(row.Integer(1), row.Integer(0));
    EXPECT_EQ(row.Integer(3), 1);  // dictation
    EXPECT_GE(row.Integer(4), 1);
    TSqlQuery filled = DataInterface().Connection().Query(
        "SELECT count(*) FROM reviewlog WHERE spelling = 'apple' AND firstkeyms IS NOT NULL "
        "AND lastkeyms IS NOT NULL AND letterspersec > 0");
    ASSERT_TRUE(filled.Next());
    EXPECT_EQ(filled.Integer(0), 1);
}

TEST_F(AppLearner, TheLearningSettingsSetTheRetentionAndRescheduleEveryWord)
{
    Start();
    const QList<QAction *> items = Control<QMenu>(Window(), "N12")->actions();
    const auto levels = std::find(items.begin(), items.end(), Control<QAction>(Window(), "N31"));
    ASSERT_NE(levels, items.end());
    ASSERT_NE(std::next(levels), items.end());
    EXPECT_EQ((*std::next(levels))->objectName(), QStringLiteral("nLearningSettings"));
    EXPECT_EQ((*std::next(levels))->text(), QStringLiteral("学习设置"));

    std::vector<TWordMeeting> meetings(1);
    meetings[0].Word.Spelling = "seldom";
    meetings[0].Right = 1;
    const std::int64_t at = ProgramClock().NowMs() - 30 * DayMs;
    RecordTollGate(TTollGatePlay{at, 0, 1, 1, 1, 0, false}, meetings, ReviewCard);
    RecordTollGate(TTollGatePlay{at + 3 * DayMs, 0, 1, 1, 1, 0, false}, meetings, ReviewCard);
    const std::int64_t due = ReadWordMemory("seldom")->Card.Due;

    TFsrsParameters keen;
    keen.Retention = 0.95;
    const QString expected = QStringLiteral("记住的单词约为95%，一个熟悉的单词下次复习约在")
                             + QString::number(FamiliarWordIntervalDays(keen))
                             + QStringLiteral("天后");
    QString shownFirst;
    QString shownThen;
    ScriptDialog([&](QDialog &dialog) {
        EXPECT_EQ(dialog.windowTitle(), QStringLiteral("学习设置"));
        auto *retention = Control<QDoubleSpinBox>(dialog, "speRetention");
        EXPECT_EQ(retention->value(), 0.90);
        EXPECT_EQ(retention->minimum(), 0.80);
        EXPECT_EQ(retention->maximum(), 0.97);
        shownFirst = Control<QLabel>(dialog, "labRetentionMeaning")->text();
        retention->setValue(0.95);
        shownThen = Control<QLabel>(dialog, "labRetentionMeaning")->text();
        Control<QPushButton>(dialog, "btnOk")->click();
    });
    Control<QAction>(Window(), "nLearningSettings")->trigger();
    EXPECT_EQ(shownFirst, QStringLiteral("记住的单词约为90%，一个熟悉的单词下次复习约在")
                              + QString::number(FamiliarWordIntervalDays({}))
                              + QStringLiteral("天后"));
    EXPECT_EQ(shownThen, expected);
    EXPECT_GT(FamiliarWordIntervalDays({}), FamiliarWordIntervalDays(keen));
    EXPECT_EQ(ReadMemoryParameters().Retention, 0.95);
    EXPECT_LT(ReadWordMemory("seldom")->Card.Due, due);  // sooner back
    EXPECT_TRUE(Control<QWidget>(Window(), "panGame")->hasFocus());

    // Cancel records nothing.
    ScriptDialog([](QDialog &dialog) {
        Control<QDoubleSpinBox>(dialog, "speRetention")->setValue(0.80);
        Control<QPushButton>(dialog, "btnCancel")->click();
    });
    Control<QAction>(Window(), "nLearningSettings")->trigger();
    EXPECT_EQ(MemoryParameterChanges().size(), 1u);
}

TEST_F(AppLearner, TheStatusBarCountsTodaysWordsAgainstTheDailyGoalAndMarksItOnce)
{
    Start();
    auto *today = Control<QLabel>(Window(), "labToday");
    EXPECT_EQ(today->text(), QStringLiteral("今日：0/100"));

    const auto play = [](int words, const char *prefix) {
        std::vector<TWordMeeting> meetings(static_cast<std::size_t>(words));
        for (int i = 0; i < words; ++i) {
            meetings[static_cast<std::size_t>(i)].Word.Spelling = prefix + std::to_string(i);
            meetings[static_cast<std::size_t>(i)].Right = i == 0 ? 0 : 1;
        }
        RecordTollGate(TTollGatePlay{ProgramClock().NowMs(), 0, 1, 1, words - 1, 1, false},
                       meetings, ReviewCard);
    };
    const auto setGoal = [&](int goal) {
        ScriptDialog([goal](QDialog &dialog) {
            auto *box = Control<QSpinBox>(dialog, "speDailyGoal");
            if (goal > 0)
                box->setValue(goal);
            Control<QPushButton>(dialog, "btnOk")->click();
        });
        Control<QAction>(Window(), "nLearningSettings")->trigger();
    };

    play(3, "a");
    setGoal(10);
    EXPECT_EQ(ReadSysInteger(Setting::DailyGoal), 10);
    // A missed word is a word played too.
    EXPECT_EQ(today->text(), QStringLiteral("今日：3/10"));
    EXPECT_TRUE(Window().statusBar()->currentMessage().isEmpty());

    play(7, "b");
    setGoal(0);
    EXPECT_EQ(today->text(), QStringLiteral("今日：10/10 ✓"));
    EXPECT_EQ(Window().statusBar()->currentMessage(), QStringLiteral("今日目标已完成：10个单词"));

    Window().statusBar()->clearMessage();
    play(2, "c");
    setGoal(0);
    EXPECT_EQ(today->text(), QStringLiteral("今日：12/10 ✓"));
    EXPECT_TRUE(Window().statusBar()->currentMessage().isEmpty());
}

TEST(AppDailyGoal, TheMarkComesOnceADayAndNotForAGoalReachedBeforeTheStart)
{
    TDailyGoalMark mark;
    const QDate day(2026, 12, 10);
    EXPECT_FALSE(mark.Reached(day, 120, 100));  // started after reaching it
    EXPECT_FALSE(mark.Reached(day, 130, 100));
    EXPECT_FALSE(mark.Reached(day.addDays(1), 0, 100));
    EXPECT_FALSE(mark.Reached(day.addDays(1), -1, 100));  // unreadable: nothing known
    EXPECT_FALSE(mark.Reached(day.addDays(1), 99, 100));
    EXPECT_TRUE(mark.Reached(day.addDays(1), 100, 100));
    EXPECT_FALSE(mark.Reached(day.addDays(1), 101, 100));
    EXPECT_EQ(DailyProgressText(-1, 100), QStringLiteral("今日：—/100"));
}
