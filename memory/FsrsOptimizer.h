#pragma once
// Fitting the scheduler's weights to one learner's own reviews: how well a set
// of weights predicts whether each review was recalled, and the weights that
// predict it best.

#include "FsrsScheduler.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

// One review as the log keeps it; a word's reviews are in time order.
struct TLoggedReview {
    std::int64_t TimeMs = 0;
    TRating Rating = TRating::Good;
};
using TWordReviews = std::vector<TLoggedReview>;

// The reviews of many words, ready to be predicted: every review after a
// word's first is predicted from the ones before it. Each carries a weight in
// the loss (0: not counted); recent reviews weigh more, as the learner's memory
// today matters more than a year ago.
class TFsrsReviewSet {
public:
    explicit TFsrsReviewSet(const std::vector<TWordReviews> &words);

    struct TReview {
        std::int64_t TimeMs = 0;
        std::int32_t ElapsedDays = 0;  // UTC calendar days since the word's previous review
        std::uint8_t Rating = 0;
        bool First = false;
        float Weight = 0;
    };
    const std::vector<TReview> &Reviews() const { return m_reviews; }
    // Where each word's reviews begin in Reviews(), and one past the last.
    const std::vector<std::size_t> &WordStarts() const { return m_wordStarts; }

    // Counts the reviews after each word's first whose time is in [fromMs, toMs),
    // weighted by their recency among those; every other review counts 0.
    void ScoreBetween(std::int64_t fromMs, std::int64_t toMs);
    std::size_t ScoredCount() const { return m_scored; }
    // The time of the review at this share (0..1) of the predictable reviews in
    // time order: the split between older and newer.
    std::int64_t TimeAtShare(double share) const;
    // Only the reviews before untilMs (the older part of the log).
    TFsrsReviewSet Before(std::int64_t untilMs) const;
    // Words left out of every loss: their first interval is one few words
    // had, too rare to learn from (as the published optimizer drops them).
    bool Excluded(std::size_t word) const { return m_excluded[word]; }
    // For comparisons with another weighting of the same reviews.
    void SetWeight(std::size_t review, float weight) { m_reviews[review].Weight = weight; }

private:
    TFsrsReviewSet() = default;
    void ExcludeRareFirstIntervals();

    std::vector<bool> m_excluded;

    std::vector<TReview> m_reviews;
    std::vector<std::size_t> m_wordStarts;
    std::size_t m_scored = 0;
};

// Log loss of the predicted recall, and the RMSE of predicted against actual
// recall over bins of elapsed days, review count and lapses.
struct TFsrsEvaluation {
    double LogLoss = 0;
    double RmseBins = 0;
};
TFsrsEvaluation EvaluateFsrs(const TFsrsReviewSet &reviews, const TFsrsWeights &weights);

// Called now and then with the share done (0..1); false stops the fit.
using TFsrsProgress = std::function<bool(double)>;

// The published bounds of each weight.
TFsrsWeights ClampFsrsWeights(TFsrsWeights weights);

// Fits first the stability after a word's first review per rating, then every
// weight by mini-batch Adam on the log loss. Deterministic. Empty when stopped.
std::optional<TFsrsWeights> FitFsrsWeights(const TFsrsReviewSet &reviews,
                                           const TFsrsProgress &progress = {});

inline constexpr std::size_t kMinReviewsToOptimize = 400;

struct TFsrsOptimization {
    enum class TOutcome { NewWeights, KeptCurrent, TooFewReviews, Stopped };
    TOutcome Outcome = TOutcome::TooFewReviews;
    TFsrsWeights Weights{};     // what to use from now on
    double LogLossBefore = 0;   // the current weights on the whole log
    double LogLossAfter = 0;    // the weights to use on the whole log
    double HeldOutCurrent = 0;  // the newer fifth: the current weights
    double HeldOutNew = 0;      // and the weights fitted to the older four fifths
    std::size_t Reviews = 0;    // predicted reviews in the log
};

// Fits on the older 80% of the log and keeps the fit only if it predicts the
// newer 20% better than the current weights; then fits again on the whole log.
TFsrsOptimization OptimizeFsrsWeights(const std::vector<TWordReviews> &words,
                                      const TFsrsWeights &current,
                                      const TFsrsProgress &progress = {});
