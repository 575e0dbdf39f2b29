#pragma once
// The memory scheduler: when each word should come back, from how well it was
// typed. A word's state is its stability (days until recall falls to 90%) and
// its difficulty; every review updates both and sets the next due time.

#include <array>
#include <cstdint>

// Ratings as the scheduler numbers them. Play gives Easy for a word typed
// without a slip at the learner's own fast pace.
enum class TRating : int { Again = 1, Hard = 2, Good = 3, Easy = 4 };
enum class TCardState : int { New = 0, Learning = 1, Review = 2, Relearning = 3 };

// One word's scheduling state. Times are Unix milliseconds (UTC).
struct TMemoryCard {
    double Stability = 0;         // days
    double Difficulty = 0;        // 1..10
    std::int64_t Due = 0;         // 0 for a card never reviewed
    std::int64_t LastReview = 0;  // 0: never
    int Reps = 0;
    int Lapses = 0;
    int ScheduledDays = 0;
    TCardState State = TCardState::New;
};

// The 21 weights of FSRS-6; the last is the decay of the forgetting curve.
using TFsrsWeights = std::array<double, 21>;
const TFsrsWeights &DefaultFsrsWeights();

inline constexpr double kDefaultRetention = 0.90;
inline constexpr double kMinRetention = 0.80;
inline constexpr double kMaxRetention = 0.97;

// What the scheduler aims for: the weights of the learner's memory and the
// share of words they should still know when a word comes back.
struct TFsrsParameters {
    TFsrsWeights Weights = DefaultFsrsWeights();
    double Retention = kDefaultRetention;
    bool operator==(const TFsrsParameters &) const = default;
};

// FSRS-6, maximum_interval 36500, no fuzz, no short-term steps; the default
// weights and request_retention 0.90 unless given.
TMemoryCard ReviewCard(const TMemoryCard &card, TRating rating, std::int64_t nowMs);
TMemoryCard ReviewCardWith(const TMemoryCard &card, TRating rating, std::int64_t nowMs,
                           const TFsrsParameters &parameters);
// The days until a familiar word comes back: one typed right on its first
// meeting and again each time it was due, three times in all.
int FamiliarWordIntervalDays(const TFsrsParameters &parameters);
// Probability of recall at nowMs (1 for a new card).
double Retrievability(const TMemoryCard &card, std::int64_t nowMs);
double Retrievability(const TMemoryCard &card, std::int64_t nowMs,
                      const TFsrsParameters &parameters);
// The first instant of the next local day after NowMs: "due today" is Due < this.
std::int64_t NextLocalMidnightMs(std::int64_t NowMs);

// The longest interval the scheduler aims for, in days. A few days more are
// possible: the four ratings always get four different intervals.
inline constexpr int MaximumIntervalDays = 36500;
inline constexpr std::int64_t DayMs = 24LL * 60 * 60 * 1000;
