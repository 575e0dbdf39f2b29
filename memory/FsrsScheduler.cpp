#include "FsrsScheduler.h"

#include <algorithm>
#include <array>
#include <cmath>

#include <QDateTime>

namespace {

constexpr double MinStability = 0.001;
constexpr double MaxStability = 36500;

// Halves round up, as the reference implementation's Math.round does.
double RoundHalfUp(double Value)
{
    const double Floor = std::floor(Value);
    return Value - Floor >= 0.5 ? Floor + 1 : Floor;
}

// The reference implementation keeps 8 decimals after every step; doing the
// same keeps long sequences from drifting apart from it.
double Round8(double Value)
{
    return RoundHalfUp(Value * 1e8) / 1e8;
}

// The scheduler's arithmetic for one set of parameters.
class TModel {
public:
    explicit TModel(const TFsrsParameters &p)
        : m_w(p.Weights), m_decay(-m_w[20]),
          m_factor(Round8(std::exp(std::log(0.9) / m_decay) - 1)),
          m_intervalModifier(Round8((std::pow(p.Retention, 1 / m_decay) - 1) / m_factor))
    {
    }

    // Chosen so that recall is 90% when the elapsed time equals the stability.
    double ForgettingCurve(double elapsedDays, double stability) const
    {
        return Round8(std::pow(1 + m_factor * elapsedDays / stability, m_decay));
    }

    struct TMemoryState {
        double Stability = 0;
        double Difficulty = 0;
    };

    TMemoryState FirstState(TRating rating) const
    {
        return {InitStability(rating), std::clamp(InitDifficulty(rating), 1.0, 10.0)};
    }

    TMemoryState NextState(const TMemoryCard &card, double r, TRating rating) const
    {
        const double s = rating == TRating::Again
                             ? ForgetStability(card.Difficulty, card.Stability, r)
                             : RecallStability(card.Difficulty, card.Stability, r, rating);
        return {s, NextDifficulty(card.Difficulty, rating)};
    }

    int NextInterval(double stability) const
    {
        const double days = std::max(1.0, RoundHalfUp(stability * m_intervalModifier));
        return static_cast<int>(std::min(days, double(MaximumIntervalDays)));
    }

private:
    static int Grade(TRating rating) { return static_cast<int>(rating); }

    double InitStability(TRating rating) const { return std::max(m_w[Grade(rating) - 1], 0.1); }

    // Unclamped: the mean reversion pulls toward the (possibly negative) Easy value.
    double InitDifficulty(TRating rating) const
    {
        return Round8(m_w[4] - std::exp((Grade(rating) - 1) * m_w[5]) + 1);
    }

    double NextDifficulty(double difficulty, TRating rating) const
    {
        const double delta = -m_w[6] * (Grade(rating) - 3);
        // Linear damping: the closer to 10, the smaller the step.
        const double next = difficulty + Round8(delta * (10 - difficulty) / 9);
        const double reverted =
            Round8(m_w[7] * InitDifficulty(TRating::Easy) + (1 - m_w[7]) * next);
        return std::clamp(reverted, 1.0, 10.0);
    }

    double RecallStability(double d, double s, double r, TRating rating) const
    {
        const double hardPenalty = rating == TRating::Hard ? m_w[15] : 1;
        const double easyBonus = rating == TRating::Easy ? m_w[16] : 1;
        const double growth = std::exp(m_w[8]) * (11 - d) * std::pow(s, -m_w[9])
                              * (std::exp((1 - r) * m_w[10]) - 1) * hardPenalty * easyBonus;
        return Round8(std::clamp(s * (1 + growth), MinStability, MaxStability));
    }

    double ForgetStability(double d, double s, double r) const
    {
        const double afterFail =
            Round8(std::clamp(m_w[11] * std::pow(d, -m_w[12]) * (std::pow(s + 1, m_w[13]) - 1)
                                  * std::exp((1 - r) * m_w[14]),
                              MinStability, MaxStability));
        // A lapse never raises the stability.
        return std::min(std::max(Round8(s), MinStability), afterFail);
    }

    TFsrsWeights m_w;
    double m_decay;
    double m_factor;
    double m_intervalModifier;
};

std::int64_t FloorDiv(std::int64_t A, std::int64_t B)
{
    const std::int64_t Q = A / B;
    return (A % B != 0 && (A < 0) != (B < 0)) ? Q - 1 : Q;
}

// Whole UTC calendar days from one review to the next: a review just after
// midnight UTC counts as a day later than one just before it.
int ElapsedCalendarDays(std::int64_t FromMs, std::int64_t ToMs)
{
    return static_cast<int>(
        std::max<std::int64_t>(FloorDiv(ToMs, DayMs) - FloorDiv(FromMs, DayMs), 0));
}

// A card whose memory state is unusable starts over like a new one.
bool IsNew(const TMemoryCard &Card)
{
    return Card.State == TCardState::New || Card.Stability <= 0 || Card.Difficulty < 1;
}

}  // namespace

const TFsrsWeights &DefaultFsrsWeights()
{
    static const TFsrsWeights weights = {0.212,  1.2931, 2.3065, 8.2956, 6.4133, 0.8334, 3.0194,
                                         0.001,  1.8722, 0.1666, 0.796,  1.4835, 0.0614, 0.2629,
                                         1.6483, 0.6014, 1.8729, 0.5425, 0.0912, 0.0658, 0.1542};
    return weights;
}

TMemoryCard ReviewCard(const TMemoryCard &card, TRating rating, std::int64_t nowMs)
{
    static const TFsrsParameters defaults;
    return ReviewCardWith(card, rating, nowMs, defaults);
}

TMemoryCard ReviewCardWith(const TMemoryCard &card, TRating rating, std::int64_t nowMs,
                           const TFsrsParameters &parameters)
{
    const TModel model(parameters);
    const bool first = IsNew(card);
    const double r =
        first ? 1
              : model.ForgettingCurve(ElapsedCalendarDays(card.LastReview, nowMs), card.Stability);

    // The intervals of all four ratings are worked out together so that a
    // better rating never comes back sooner than a worse one.
    constexpr std::array ratings = {TRating::Again, TRating::Hard, TRating::Good, TRating::Easy};
    std::array<TModel::TMemoryState, 4> states;
    std::array<int, 4> intervals{};
    for (std::size_t i = 0; i < ratings.size(); ++i) {
        states[i] = first ? model.FirstState(ratings[i]) : model.NextState(card, r, ratings[i]);
        intervals[i] = model.NextInterval(states[i].Stability);
    }
    intervals[0] = std::min(intervals[0], intervals[1]);
    for (std::size_t i = 1; i < intervals.size(); ++i)
        intervals[i] = std::max(intervals[i], intervals[i - 1] + 1);

    const auto index = static_cast<std::size_t>(static_cast<int>(rating) - 1);
    TMemoryCard next = card;
    next.Stability = states[index].Stability;
    next.Difficulty = states[index].Difficulty;
    next.ScheduledDays = intervals[index];
    next.Due = nowMs + intervals[index] * DayMs;
    next.LastReview = nowMs;
    next.Reps = card.Reps + 1;
    // Forgetting a word on its first meeting is not a lapse: it was never known.
    if (rating == TRating::Again && !first)
        ++next.Lapses;
    next.State = TCardState::Review;
    return next;
}

int FamiliarWordIntervalDays(const TFsrsParameters &parameters)
{
    TMemoryCard card;
    for (int review = 0; review < 3; ++review)
        card = ReviewCardWith(card, TRating::Good, card.Due, parameters);
    return card.ScheduledDays;
}

double Retrievability(const TMemoryCard &card, std::int64_t nowMs)
{
    static const TFsrsParameters defaults;
    return Retrievability(card, nowMs, defaults);
}

double Retrievability(const TMemoryCard &card, std::int64_t nowMs,
                      const TFsrsParameters &parameters)
{
    if (IsNew(card))
        return 1;
    const auto days = std::max<std::int64_t>(FloorDiv(nowMs - card.LastReview, DayMs), 0);
    return TModel(parameters).ForgettingCurve(double(days), Round8(card.Stability));
}

std::int64_t NextLocalMidnightMs(std::int64_t NowMs)
{
    const QDate Today = QDateTime::fromMSecsSinceEpoch(NowMs).date();
    // startOfDay copes with a day whose midnight is skipped by a clock change.
    return Today.addDays(1).startOfDay().toMSecsSinceEpoch();
}
