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
    explicit TModel(const TFsrsParameters &P)
        : W(P.Weights), Decay(-W[20]), Factor(Round8(std::exp(std::log(0.9) / Decay) - 1)),
          IntervalModifier(Round8((std::pow(P.Retention, 1 / Decay) - 1) / Factor))
    {
    }

    // Chosen so that recall is 90% when the elapsed time equals the stability.
    double ForgettingCurve(double ElapsedDays, double Stability) const
    {
        return Round8(std::pow(1 + Factor * ElapsedDays / Stability, Decay));
    }

    struct TMemoryState {
        double Stability = 0;
        double Difficulty = 0;
    };

    TMemoryState FirstState(TRating Rating) const
    {
        return {InitStability(Rating), std::clamp(InitDifficulty(Rating), 1.0, 10.0)};
    }

    TMemoryState NextState(const TMemoryCard &Card, double R, TRating Rating) const
    {
        const double S = Rating == TRating::Again
                             ? ForgetStability(Card.Difficulty, Card.Stability, R)
                             : RecallStability(Card.Difficulty, Card.Stability, R, Rating);
        return {S, NextDifficulty(Card.Difficulty, Rating)};
    }

    int NextInterval(double Stability) const
    {
        const double Days = std::max(1.0, RoundHalfUp(Stability * IntervalModifier));
        return static_cast<int>(std::min(Days, double(MaximumIntervalDays)));
    }

private:
    static int Grade(TRating Rating) { return static_cast<int>(Rating); }

    double InitStability(TRating Rating) const { return std::max(W[Grade(Rating) - 1], 0.1); }

    // Unclamped: the mean reversion pulls toward the (possibly negative) Easy value.
    double InitDifficulty(TRating Rating) const
    {
        return Round8(W[4] - std::exp((Grade(Rating) - 1) * W[5]) + 1);
    }

    double NextDifficulty(double Difficulty, TRating Rating) const
    {
        const double Delta = -W[6] * (Grade(Rating) - 3);
        // Linear damping: the closer to 10, the smaller the step.
        const double Next = Difficulty + Round8(Delta * (10 - Difficulty) / 9);
        const double Reverted = Round8(W[7] * InitDifficulty(TRating::Easy) + (1 - W[7]) * Next);
        return std::clamp(Reverted, 1.0, 10.0);
    }

    double RecallStability(double D, double S, double R, TRating Rating) const
    {
        const double HardPenalty = Rating == TRating::Hard ? W[15] : 1;
        const double EasyBonus = Rating == TRating::Easy ? W[16] : 1;
        const double Growth = std::exp(W[8]) * (11 - D) * std::pow(S, -W[9])
                              * (std::exp((1 - R) * W[10]) - 1) * HardPenalty * EasyBonus;
        return Round8(std::clamp(S * (1 + Growth), MinStability, MaxStability));
    }

    double ForgetStability(double D, double S, double R) const
    {
        const double AfterFail = Round8(std::clamp(
            W[11] * std::pow(D, -W[12]) * (std::pow(S + 1, W[13]) - 1) * std::exp((1 - R) * W[14]),
            MinStability, MaxStability));
        // A lapse never raises the stability.
        return std::min(std::max(Round8(S), MinStability), AfterFail);
    }

    TFsrsWeights W;
    double Decay;
    double Factor;
    double IntervalModifier;
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
    static const TFsrsWeights Weights = {0.212,  1.2931, 2.3065, 8.2956, 6.4133, 0.8334, 3.0194,
                                         0.001,  1.8722, 0.1666, 0.796,  1.4835, 0.0614, 0.2629,
                                         1.6483, 0.6014, 1.8729, 0.5425, 0.0912, 0.0658, 0.1542};
    return Weights;
}

TMemoryCard ReviewCard(const TMemoryCard &Card, TRating Rating, std::int64_t NowMs)
{
    static const TFsrsParameters Defaults;
    return ReviewCardWith(Card, Rating, NowMs, Defaults);
}

TMemoryCard ReviewCardWith(const TMemoryCard &Card, TRating Rating, std::int64_t NowMs,
                           const TFsrsParameters &Parameters)
{
    const TModel Model(Parameters);
    const bool First = IsNew(Card);
    const double R =
        First ? 1
              : Model.ForgettingCurve(ElapsedCalendarDays(Card.LastReview, NowMs), Card.Stability);

    // The intervals of all four ratings are worked out together so that a
    // better rating never comes back sooner than a worse one.
    constexpr std::array Ratings = {TRating::Again, TRating::Hard, TRating::Good, TRating::Easy};
    std::array<TModel::TMemoryState, 4> States;
    std::array<int, 4> Intervals{};
    for (std::size_t I = 0; I < Ratings.size(); ++I) {
        States[I] = First ? Model.FirstState(Ratings[I]) : Model.NextState(Card, R, Ratings[I]);
        Intervals[I] = Model.NextInterval(States[I].Stability);
    }
    Intervals[0] = std::min(Intervals[0], Intervals[1]);
    for (std::size_t I = 1; I < Intervals.size(); ++I)
        Intervals[I] = std::max(Intervals[I], Intervals[I - 1] + 1);

    const auto Index = static_cast<std::size_t>(static_cast<int>(Rating) - 1);
    TMemoryCard Next = Card;
    Next.Stability = States[Index].Stability;
    Next.Difficulty = States[Index].Difficulty;
    Next.ScheduledDays = Intervals[Index];
    Next.Due = NowMs + Intervals[Index] * DayMs;
    Next.LastReview = NowMs;
    Next.Reps = Card.Reps + 1;
    // Forgetting a word on its first meeting is not a lapse: it was never known.
    if (Rating == TRating::Again && !First)
        ++Next.Lapses;
    Next.State = TCardState::Review;
    return Next;
}

int FamiliarWordIntervalDays(const TFsrsParameters &Parameters)
{
    TMemoryCard Card;
    for (int Review = 0; Review < 3; ++Review)
        Card = ReviewCardWith(Card, TRating::Good, Card.Due, Parameters);
    return Card.ScheduledDays;
}

double Retrievability(const TMemoryCard &Card, std::int64_t NowMs)
{
    static const TFsrsParameters Defaults;
    return Retrievability(Card, NowMs, Defaults);
}

double Retrievability(const TMemoryCard &Card, std::int64_t NowMs,
                      const TFsrsParameters &Parameters)
{
    if (IsNew(Card))
        return 1;
    const auto Days = std::max<std::int64_t>(FloorDiv(NowMs - Card.LastReview, DayMs), 0);
    return TModel(Parameters).ForgettingCurve(double(Days), Round8(Card.Stability));
}

std::int64_t NextLocalMidnightMs(std::int64_t NowMs)
{
    const QDate Today = QDateTime::fromMSecsSinceEpoch(NowMs).date();
    // startOfDay copes with a day whose midnight is skipped by a clock change.
    return Today.addDays(1).startOfDay().toMSecsSinceEpoch();
}
