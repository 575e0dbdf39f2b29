// Fitting the memory parameters to the learner's review log: the log as the
// optimizer reads it, the worker's run, its report and what it records.
#include <map>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include "MemoryFitRun.h"
#include "MemoryParameters.h"
#include "StoreFixture.h"
#include "WordMemory.h"

namespace {

constexpr std::int64_t kT0 = 1'780'000'000'000;

TWordMeeting Meeting(const std::string &spelling, TRating rating)
{
    TWordMeeting m;
    m.Word.Spelling = spelling;
    m.Word.Meaning = "m";
    m.Right = rating == TRating::Again ? 0 : 1;
    m.Missed = rating == TRating::Again ? 1 : 0;
    m.Rating = rating;
    return m;
}

TTollGatePlay Play(std::int64_t at)
{
    TTollGatePlay p;
    p.At = at;
    p.BookId = 0;
    p.Review = true;
    return p;
}

// The reference learner's year (tests/memory/data), one toll gate a day at the
// reviews' own times of day; the learner's memory is far from the defaults.
std::int64_t PlayTheReferenceYear(int cards = -1)
{
    QFile file(
        QString::fromUtf8(KIVRO_SOURCE_DIR "/tests/memory/data/fsrs-optimizer-reference.json"));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const QJsonArray all =
        QJsonDocument::fromJson(file.readAll()).object().value(QLatin1String("cards")).toArray();
    std::map<std::int64_t, std::vector<TWordMeeting>> days;
    for (qsizetype k = 0; k < all.size() && (cards < 0 || k < cards); ++k) {
        for (const auto &review : all[k].toArray()) {
            const std::int64_t at = review.toArray()[0].toInteger();
            days[at / DayMs].push_back(Meeting("r" + std::to_string(k),
                                               static_cast<TRating>(review.toArray()[1].toInt())));
        }
    }
    std::int64_t last = 0;
    for (const auto &[day, words] : days) {
        last = day * DayMs + DayMs / 2;
        RecordTollGate(Play(last), words, ReviewCard);
    }
    return last;
}

class StoreMemoryFit : public StoreFixture {
protected:
    // The report of the next Finished of run.
    static QString ReportOf(TMemoryFitRun &run)
    {
        QString report;
        QObject::connect(&run, &TMemoryFitRun::Finished, &run,
                         [&report](const QString &text) { report = text; });
        run.Wait();
        return report;
    }
};

TEST_F(StoreMemoryFit, TheLogIsEveryWordsReviewsInTimeOrderWithoutKnownMarks)
{
    RecordTollGate(Play(kT0), {Meeting("b", TRating::Good), Meeting("a", TRating::Again)},
                   ReviewCard);
    RecordTollGate(Play(kT0 + 2 * DayMs), {Meeting("a", TRating::Hard)}, ReviewCard);
    TWordInfo known;
    known.Spelling = "b";
    ASSERT_TRUE(MarkWordKnown(known, kT0 + 3 * DayMs));
    const std::vector<TWordReviews> log = LoggedReviews();
    ASSERT_EQ(log.size(), 2U);
    ASSERT_EQ(log[0].size(), 2U);  // "a"
    EXPECT_EQ(log[0][0].TimeMs, kT0);
    EXPECT_EQ(log[0][0].Rating, TRating::Again);
    EXPECT_EQ(log[0][1].TimeMs, kT0 + 2 * DayMs);
    EXPECT_EQ(log[0][1].Rating, TRating::Hard);
    ASSERT_EQ(log[1].size(), 1U);  // "b": the mark is not a review
    EXPECT_EQ(CountLoggedReviews(), 3);
}

TEST_F(StoreMemoryFit, TooFewReviewsStartNoFitAndSaySoInWords)
{
    PlayTheReferenceYear(40);
    TMemoryFitRun run;
    QString report;
    QObject::connect(&run, &TMemoryFitRun::Finished, &run,
                     [&report](const QString &text) { report = text; });
    EXPECT_FALSE(run.Start());
    EXPECT_FALSE(run.Running());
    EXPECT_TRUE(report.contains(QStringLiteral("至少需要400次"))) << report.toStdString();
    EXPECT_EQ(run.LastReport(), report);
    EXPECT_TRUE(MemoryParameterChanges().empty());
}

TEST_F(StoreMemoryFit, AFitOnTheWorkerRecordsTheWeightsAndReschedulesReviewsMadeMeanwhile)
{
    const std::int64_t last = PlayTheReferenceYear();
    TFsrsParameters chosen;
    chosen.Retention = 0.85;
    ChangeMemoryParameters(chosen, last + 1000);

    TMemoryFitRun run;
    int started = 0;
    QObject::connect(&run, &TMemoryFitRun::Started, &run, [&started] { ++started; });
    ASSERT_TRUE(run.Start());
    EXPECT_TRUE(run.Running());
    EXPECT_EQ(started, 1);
    EXPECT_FALSE(run.Start());  // one at a time
    // The game goes on while the worker fits.
    RecordTollGate(Play(last + DayMs), {Meeting("during", TRating::Good)}, ReviewCard);
    const QString report = ReportOf(run);
    EXPECT_FALSE(run.Running());
    EXPECT_EQ(run.Percent(), 100);
    EXPECT_TRUE(report.startsWith(QStringLiteral("预测误差：优化前 "))) << report.toStdString();

    const std::vector<TMemoryParameterChange> changes = MemoryParameterChanges();
    ASSERT_EQ(changes.size(), 2U);
    const TFsrsParameters fitted = changes.back().Parameters;
    EXPECT_NE(fitted.Weights, DefaultFsrsWeights());
    EXPECT_DOUBLE_EQ(fitted.Retention, 0.85);  // the chosen retention stays
    EXPECT_EQ(ReadMemoryParameters(), fitted);
    // Every card, the one reviewed during the fit too, is what the log and the
    // new weights give.
    const std::vector<TWordMemory> recorded = AllWordMemories();
    ReplayWordMemory([&fitted](const TMemoryCard &c, TRating r, std::int64_t at) {
        return ReviewCardWith(c, r, at, fitted);
    });
    const std::vector<TWordMemory> replayed = AllWordMemories();
    ASSERT_EQ(recorded.size(), replayed.size());
    for (std::size_t i = 0; i < recorded.size(); ++i)
        EXPECT_DOUBLE_EQ(recorded[i].Card.Stability, replayed[i].Card.Stability)
            << recorded[i].Spelling;
    EXPECT_NE(ReadWordMemory("during")->Card.Stability, ReviewCard({}, TRating::Good, 0).Stability);

    run.RestoreDefaults();
    EXPECT_EQ(ReadMemoryParameters().Weights, DefaultFsrsWeights());
    EXPECT_DOUBLE_EQ(ReadMemoryParameters().Retention, 0.85);
    EXPECT_EQ(run.LastReport(), QStringLiteral("已恢复默认参数。"));
}

TEST_F(StoreMemoryFit, AFitStartsByItselfEachTimeTheLogReachesAnotherThousandReviews)
{
    const std::int64_t last = PlayTheReferenceYear(300);
    const std::int64_t count = CountLoggedReviews();
    ASSERT_GT(count, 1000);
    ASSERT_LT(count % 1000, 900);
    TMemoryFitRun run;
    run.StartIfDue();  // sets the mark only
    EXPECT_FALSE(run.Running());
    std::vector<TWordMeeting> words;
    for (std::int64_t k = 0; k < 1000 - count % 1000 - 1; ++k)
        words.push_back(Meeting("n" + std::to_string(k), TRating::Good));
    RecordTollGate(Play(last + DayMs), words, ReviewCard);
    run.StartIfDue();
    EXPECT_FALSE(run.Running());  // one short of the thousand
    RecordTollGate(Play(last + 2 * DayMs), {Meeting("last", TRating::Good)}, ReviewCard);
    run.StartIfDue();
    EXPECT_TRUE(run.Running());
    run.Wait();
    run.StartIfDue();
    EXPECT_FALSE(run.Running());  // the next is a thousand reviews away
}

TEST(StoreMemoryFitReport, BeforeAndAfterInWords)
{
    TFsrsOptimization result;
    result.Outcome = TFsrsOptimization::TOutcome::NewWeights;
    result.LogLossBefore = 0.3312;
    result.LogLossAfter = 0.2987;
    result.Reviews = 1234;
    EXPECT_EQ(MemoryFitReport(result),
              QStringLiteral("预测误差：优化前 0.33，优化后 0.30（根据1234次复习）"));
    result.Outcome = TFsrsOptimization::TOutcome::KeptCurrent;
    result.LogLossAfter = result.LogLossBefore;
    result.HeldOutNew = 0.35;
    result.HeldOutCurrent = 0.31;
    const QString kept = MemoryFitReport(result);
    EXPECT_TRUE(kept.contains(QStringLiteral("保留现在的参数"))) << kept.toStdString();
    EXPECT_TRUE(kept.contains(QStringLiteral("0.35 对 0.31"))) << kept.toStdString();
}

}  // namespace
