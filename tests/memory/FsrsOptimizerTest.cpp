// The optimizer against the reference optimizer's fit and evaluation of one
// simulated learner's log (tools/fsrs-optimizer-reference makes the file), and
// the rule that keeps the current weights when a fit predicts new reviews worse.
#include <cmath>
#include <cstdint>
#include <map>
#include <tuple>
#include <random>
#include <vector>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include "FsrsOptimizer.h"

namespace {

struct TReference {
    std::vector<TWordReviews> Words;
    TFsrsWeights Fitted{};
    TFsrsWeights Truth{};
    TFsrsEvaluation FittedEvaluation;
    TFsrsEvaluation TruthEvaluation;
};

TFsrsWeights WeightsOf(const QJsonValue &value)
{
    TFsrsWeights w{};
    const QJsonArray array = value.toArray();
    for (std::size_t i = 0; i < w.size() && i < std::size_t(array.size()); ++i)
        w[i] = array[qsizetype(i)].toDouble();
    return w;
}

TFsrsEvaluation EvaluationOf(const QJsonValue &value)
{
    const QJsonObject object = value.toObject();
    return {object.value(QLatin1String("logLoss")).toDouble(),
            object.value(QLatin1String("rmseBins")).toDouble()};
}

TReference LoadReference()
{
    TReference reference;
    QFile file(
        QString::fromUtf8(KIVRO_SOURCE_DIR "/tests/memory/data/fsrs-optimizer-reference.json"));
    if (!file.open(QIODevice::ReadOnly))
        return reference;
    const QJsonObject root = QJsonDocument::fromJson(file.readAll()).object();
    for (const auto &card : root.value(QLatin1String("cards")).toArray()) {
        TWordReviews word;
        for (const auto &review : card.toArray()) {
            const QJsonArray pair = review.toArray();
            word.push_back({pair[0].toInteger(), static_cast<TRating>(pair[1].toInt())});
        }
        reference.Words.push_back(std::move(word));
    }
    reference.Fitted = WeightsOf(root.value(QLatin1String("fittedWeights")));
    reference.Truth = WeightsOf(root.value(QLatin1String("trueWeights")));
    const QJsonObject evaluation = root.value(QLatin1String("evaluation")).toObject();
    reference.FittedEvaluation = EvaluationOf(evaluation.value(QLatin1String("fitted")));
    reference.TruthEvaluation = EvaluationOf(evaluation.value(QLatin1String("truth")));
    return reference;
}

const TReference &Reference()
{
    static const TReference loaded = LoadReference();
    return loaded;
}

// The reference weighs its items by their place in the list it evaluates, and
// it lists every word's second review first, by first rating, then by how many
// words share that interval (fewest first) and the interval; then the other
// reviews in time order. Ours weighs them by time alone.
void WeighAsTheReference(TFsrsReviewSet &set)
{
    const auto &reviews = set.Reviews();
    const auto &starts = set.WordStarts();
    std::vector<std::size_t> seconds;
    std::vector<std::size_t> others;
    std::map<std::pair<int, int>, std::size_t> groupSize;
    std::vector<int> firstRating(reviews.size(), 0);
    for (std::size_t word = 0; word + 1 < starts.size(); ++word) {
        for (std::size_t i = starts[word]; i < starts[word + 1]; ++i) {
            if (reviews[i].Weight <= 0)
                continue;
            firstRating[i] = reviews[starts[word]].Rating;
            if (i == starts[word] + 1) {
                seconds.push_back(i);
                ++groupSize[{firstRating[i], reviews[i].ElapsedDays}];
            } else {
                others.push_back(i);
            }
        }
    }
    const auto byTime = [&](std::size_t a, std::size_t b) {
        return reviews[a].TimeMs < reviews[b].TimeMs;
    };
    std::stable_sort(others.begin(), others.end(), byTime);
    std::stable_sort(seconds.begin(), seconds.end(), byTime);
    std::stable_sort(seconds.begin(), seconds.end(), [&](std::size_t a, std::size_t b) {
        const auto key = [&](std::size_t i) {
            return std::make_tuple(firstRating[i],
                                   groupSize[{firstRating[i], reviews[i].ElapsedDays}],
                                   reviews[i].ElapsedDays);
        };
        return key(a) < key(b);
    });
    seconds.insert(seconds.end(), others.begin(), others.end());
    const double last = std::max(double(seconds.size()) - 1, 1.0);
    for (std::size_t rank = 0; rank < seconds.size(); ++rank)
        set.SetWeight(seconds[rank], float(0.25 + 0.75 * std::pow(double(rank) / last, 3)));
}

TEST(MemoryFit, ReferenceLogIsAYearOfThousandsOfReviews)
{
    const auto &words = Reference().Words;
    ASSERT_GT(words.size(), 100U);
    const TFsrsReviewSet set(words);
    EXPECT_GT(set.ScoredCount(), 2000U);
    const std::int64_t first = set.Reviews().front().TimeMs;
    std::int64_t last = first;
    for (const auto &review : set.Reviews())
        last = std::max(last, review.TimeMs);
    EXPECT_GT(last - first, 300 * DayMs);
}

TEST(MemoryFit, EvaluationEqualsTheReferenceOnItsOwnWeights)
{
    TFsrsReviewSet set(Reference().Words);
    WeighAsTheReference(set);
    const TFsrsEvaluation fitted = EvaluateFsrs(set, Reference().Fitted);
    EXPECT_NEAR(fitted.LogLoss, Reference().FittedEvaluation.LogLoss, 1e-4);
    EXPECT_NEAR(fitted.RmseBins, Reference().FittedEvaluation.RmseBins, 1e-4);
    const TFsrsEvaluation truth = EvaluateFsrs(set, Reference().Truth);
    EXPECT_NEAR(truth.LogLoss, Reference().TruthEvaluation.LogLoss, 1e-4);
    EXPECT_NEAR(truth.RmseBins, Reference().TruthEvaluation.RmseBins, 1e-4);
}

TEST(MemoryFit, FitGainsWhatTheReferenceGainsOverTheDefaults)
{
    const TFsrsReviewSet set(Reference().Words);
    std::vector<double> shares;
    const auto fit = FitFsrsWeights(set, [&shares](double share) {
        shares.push_back(share);
        return true;
    });
    ASSERT_TRUE(fit.has_value());
    const double defaults = EvaluateFsrs(set, DefaultFsrsWeights()).LogLoss;
    const TFsrsEvaluation ours = EvaluateFsrs(set, *fit);
    const TFsrsEvaluation theirs = EvaluateFsrs(set, Reference().Fitted);
    ASSERT_GT(defaults - theirs.LogLoss, 0.005);
    EXPECT_GE(defaults - ours.LogLoss, 0.8 * (defaults - theirs.LogLoss))
        << "defaults " << defaults << ", ours " << ours.LogLoss << ", reference " << theirs.LogLoss;
    EXPECT_NEAR(ours.RmseBins, theirs.RmseBins, 0.005);
    EXPECT_EQ(*fit, ClampFsrsWeights(*fit));
    ASSERT_FALSE(shares.empty());
    EXPECT_TRUE(std::is_sorted(shares.begin(), shares.end()));
    EXPECT_DOUBLE_EQ(shares.back(), 1.0);
    // The same log gives the same weights.
    EXPECT_EQ(FitFsrsWeights(set), fit);
}

TEST(MemoryFit, ClampingKeepsEveryWeightInItsPublishedRange)
{
    TFsrsWeights low{};
    low.fill(-100);
    TFsrsWeights high{};
    high.fill(100);
    const TFsrsWeights lowClamped = ClampFsrsWeights(low);
    const TFsrsWeights highClamped = ClampFsrsWeights(high);
    EXPECT_DOUBLE_EQ(lowClamped[0], 0.001);
    EXPECT_DOUBLE_EQ(highClamped[3], 100);
    EXPECT_DOUBLE_EQ(lowClamped[4], 1);
    EXPECT_DOUBLE_EQ(highClamped[4], 10);
    EXPECT_DOUBLE_EQ(highClamped[16], 6);
    EXPECT_DOUBLE_EQ(lowClamped[20], 0.1);
    EXPECT_DOUBLE_EQ(highClamped[20], 0.8);
    // No short-term steps: those weights are not the fit's to change.
    for (std::size_t i = 17; i < 20; ++i)
        EXPECT_DOUBLE_EQ(highClamped[i], 0);
    EXPECT_EQ(ClampFsrsWeights(Reference().Fitted), Reference().Fitted);
}

TEST(MemoryFit, ElapsedDaysAreUtcCalendarDaysAndSameDayReviewsAreNotPredicted)
{
    const std::int64_t midnight = 20000 * DayMs;
    // Thirty words alike, so that no first interval is too rare to count.
    const std::vector<TWordReviews> words(30, {{midnight - 60'000, TRating::Good},
                                               {midnight + 60'000, TRating::Good},
                                               {midnight + 3'600'000, TRating::Again},
                                               {midnight + 3 * DayMs, TRating::Hard}});
    const TFsrsReviewSet set(words);
    ASSERT_EQ(set.Reviews().size(), 120U);
    EXPECT_EQ(set.Reviews()[1].ElapsedDays, 1);
    EXPECT_EQ(set.Reviews()[2].ElapsedDays, 0);
    EXPECT_EQ(set.Reviews()[3].ElapsedDays, 3);
    EXPECT_EQ(set.ScoredCount(), 60U);
    EXPECT_FALSE(set.Excluded(0));
    EXPECT_EQ(set.Reviews()[0].Weight, 0);
    EXPECT_EQ(set.Reviews()[2].Weight, 0);
    // The newer review weighs more.
    EXPECT_GT(set.Reviews()[3].Weight, set.Reviews()[1].Weight);

    // One word whose first interval no other word had is left out of the loss.
    std::vector<TWordReviews> withRare = words;
    withRare.push_back({{midnight, TRating::Good}, {midnight + 40 * DayMs, TRating::Good}});
    const TFsrsReviewSet rare(withRare);
    EXPECT_TRUE(rare.Excluded(30));
    EXPECT_EQ(rare.ScoredCount(), 60U);
}

// A learner whose memory follows `truth`, meeting `newWords` new words a day
// from firstDay to lastDay and reviewing each when the scheduler says.
void Simulate(std::vector<TWordReviews> &words, const TFsrsWeights &truth, int firstDay,
              int lastDay, int newWords, int endDay, std::mt19937_64 &random)
{
    const TFsrsParameters parameters{truth, kDefaultRetention};
    std::uniform_real_distribution<double> uniform(0, 1);
    const std::int64_t start = 20000 * DayMs;
    for (int day = firstDay; day < lastDay; ++day) {
        for (int n = 0; n < newWords; ++n) {
            TWordReviews word;
            TMemoryCard card;
            std::int64_t now = start + day * DayMs + 9 * 3'600'000LL;
            TRating rating = uniform(random) < 0.3 ? TRating::Again : TRating::Good;
            while (now < start + endDay * DayMs) {
                word.push_back({now, rating});
                card = ReviewCardWith(card, rating, now, parameters);
                const auto days = std::max<std::int64_t>(
                    1, std::llround(card.ScheduledDays * (0.6 + uniform(random))));
                now += days * DayMs;
                const bool recalled = uniform(random) < Retrievability(card, now, parameters);
                rating = recalled ? (uniform(random) < 0.2 ? TRating::Hard : TRating::Good)
                                  : TRating::Again;
            }
            words.push_back(std::move(word));
        }
    }
}

TEST(MemoryFit, KeepsTheCurrentWeightsWhenTheFitPredictsNewReviewsWorse)
{
    // For ten months the learner remembers as the reference learner does; then
    // their memory turns into the defaults' (the current weights), so weights
    // fitted to the older reviews predict the newer ones worse.
    std::mt19937_64 random(7);
    std::vector<TWordReviews> words;
    Simulate(words, Reference().Truth, 0, 300, 3, 300, random);
    Simulate(words, DefaultFsrsWeights(), 300, 365, 12, 365, random);
    const TFsrsOptimization result = OptimizeFsrsWeights(words, DefaultFsrsWeights());
    ASSERT_EQ(result.Outcome, TFsrsOptimization::TOutcome::KeptCurrent)
        << "held out: current " << result.HeldOutCurrent << ", new " << result.HeldOutNew;
    EXPECT_GE(result.HeldOutNew, result.HeldOutCurrent);
    EXPECT_EQ(result.Weights, DefaultFsrsWeights());
    EXPECT_DOUBLE_EQ(result.LogLossAfter, result.LogLossBefore);
}

TEST(MemoryFit, TakesAFitOnTheWholeLogWhenItPredictsNewReviewsBetter)
{
    std::vector<double> shares;
    const TFsrsOptimization result =
        OptimizeFsrsWeights(Reference().Words, DefaultFsrsWeights(), [&shares](double share) {
            shares.push_back(share);
            return true;
        });
    ASSERT_EQ(result.Outcome, TFsrsOptimization::TOutcome::NewWeights);
    EXPECT_LT(result.HeldOutNew, result.HeldOutCurrent);
    EXPECT_LT(result.LogLossAfter, result.LogLossBefore);
    const TFsrsReviewSet set(Reference().Words);
    EXPECT_EQ(result.Weights, FitFsrsWeights(set));
    EXPECT_DOUBLE_EQ(result.LogLossAfter, EvaluateFsrs(set, result.Weights).LogLoss);
    ASSERT_FALSE(shares.empty());
    EXPECT_TRUE(std::is_sorted(shares.begin(), shares.end()));
    EXPECT_DOUBLE_EQ(shares.back(), 1.0);
}

TEST(MemoryFit, TooFewReviewsOrAStoppedFitLeaveTheWeightsAlone)
{
    TFsrsWeights current = DefaultFsrsWeights();
    current[8] = 1.5;
    std::vector<TWordReviews> few(Reference().Words.begin(), Reference().Words.begin() + 60);
    const TFsrsOptimization tooFew = OptimizeFsrsWeights(few, current);
    EXPECT_LT(tooFew.Reviews, kMinReviewsToOptimize);
    EXPECT_EQ(tooFew.Outcome, TFsrsOptimization::TOutcome::TooFewReviews);
    EXPECT_EQ(tooFew.Weights, current);

    const TFsrsOptimization stopped =
        OptimizeFsrsWeights(Reference().Words, current, [](double share) { return share < 0.2; });
    EXPECT_EQ(stopped.Outcome, TFsrsOptimization::TOutcome::Stopped);
    EXPECT_EQ(stopped.Weights, current);
}

}  // namespace
