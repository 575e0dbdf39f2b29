#include "FsrsOptimizer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <map>
#include <numbers>
#include <numeric>
#include <random>
#include <set>
#include <tuple>

namespace {

constexpr std::size_t WeightCount = 21;
constexpr double MinStability = 0.001;
constexpr double MaxStability = 36500;
constexpr double MaxInitialStability = 100;

// The published bounds; the short-term weights (17-19) stay 0: the scheduler
// has no short-term steps, and 0 leaves a lapse's stability capped at the old one.
constexpr std::array<std::pair<double, double>, WeightCount> Bounds = {{
    {MinStability, MaxInitialStability},
    {MinStability, MaxInitialStability},
    {MinStability, MaxInitialStability},
    {MinStability, MaxInitialStability},
    {1, 10},
    {0.001, 4},
    {0.001, 4},
    {0.001, 0.75},
    {0, 4.5},
    {0, 0.8},
    {0.001, 3.5},
    {0.001, 5},
    {0.001, 0.25},
    {0.001, 0.9},
    {0, 4},
    {0, 1},
    {1, 6},
    {0, 0},
    {0, 0},
    {0, 0},
    {0.1, 0.8},
}};

// How far each weight usually lies from the defaults across learners: the
// regularisation keeps a weight the log says little about near its default.
constexpr std::array<double, WeightCount> TypicalSpread = {
    6.43, 9.66, 17.58, 27.85, 0.57, 0.28, 0.6,  0.12, 0.39, 0.18, 0.33,
    0.3,  0.09, 0.16,  0.57,  0.25, 1.03, 0.31, 0.32, 0.14, 0.27};

// Training as the published optimizer does it.
constexpr int Epochs = 5;
constexpr std::size_t BatchReviews = 512;
constexpr double LearningRate = 4e-2;
constexpr double Regularisation = 1.0;
constexpr double AdamBeta1 = 0.9;
constexpr double AdamBeta2 = 0.999;
constexpr double AdamEpsilon = 1e-8;
// A rating given first to fewer words than this has its stability derived
// from its neighbours'.
constexpr std::size_t MinFirstRatingReviews = 8;

// A value with its derivatives by every weight (forward-mode differentiation:
// the model is a short chain per review, so this is cheaper than a tape).
struct TDual {
    double V = 0;
    std::array<double, WeightCount> D{};

    TDual() = default;
    TDual(double value) : V(value) {}  // NOLINT(google-explicit-constructor): constants mix in
};

TDual operator+(TDual a, const TDual &b)
{
    a.V += b.V;
    for (std::size_t i = 0; i < WeightCount; ++i)
        a.D[i] += b.D[i];
    return a;
}
TDual operator-(TDual a, const TDual &b)
{
    a.V -= b.V;
    for (std::size_t i = 0; i < WeightCount; ++i)
        a.D[i] -= b.D[i];
    return a;
}
TDual operator*(const TDual &a, const TDual &b)
{
    TDual r(a.V * b.V);
    for (std::size_t i = 0; i < WeightCount; ++i)
        r.D[i] = a.D[i] * b.V + b.D[i] * a.V;
    return r;
}
TDual operator/(const TDual &a, const TDual &b)
{
    TDual r(a.V / b.V);
    for (std::size_t i = 0; i < WeightCount; ++i)
        r.D[i] = (a.D[i] - r.V * b.D[i]) / b.V;
    return r;
}
TDual Scaled(const TDual &a, double value, double derivative)
{
    TDual r(value);
    for (std::size_t i = 0; i < WeightCount; ++i)
        r.D[i] = a.D[i] * derivative;
    return r;
}
TDual Exp(const TDual &a)
{
    const double e = std::exp(a.V);
    return Scaled(a, e, e);
}
TDual Log(const TDual &a)
{
    return Scaled(a, std::log(a.V), 1 / a.V);
}
// base ^ exponent for a positive base.
TDual Pow(const TDual &base, const TDual &exponent)
{
    const double value = std::pow(base.V, exponent.V);
    const double logBase = std::log(base.V);
    TDual r(value);
    for (std::size_t i = 0; i < WeightCount; ++i)
        r.D[i] = value * (exponent.D[i] * logBase + exponent.V * base.D[i] / base.V);
    return r;
}
double Value(double x)
{
    return x;
}
double Value(const TDual &x)
{
    return x.V;
}
double Exp(double x)
{
    return std::exp(x);
}
double Log(double x)
{
    return std::log(x);
}
double Pow(double base, double exponent)
{
    return std::pow(base, exponent);
}
template <class T>
T Clamp(const T &x, double low, double high)
{
    if (Value(x) < low)
        return T(low);
    if (Value(x) > high)
        return T(high);
    return x;
}

// FSRS-6 without short-term steps, as the scheduler works (the same formulas
// for a same-day review, whose recall is 1), without its rounding.
template <class T>
class TModel {
public:
    explicit TModel(const std::array<T, WeightCount> &w)
        : m_w(w), m_decay(T(0) - w[20]), m_factor(Exp(Log(T(0.9)) / m_decay) - T(1))
    {
    }

    struct TState {
        T S;
        T D;
    };

    T Recall(double elapsedDays, const T &s) const
    {
        return Pow(T(1) + m_factor * T(elapsedDays) / s, m_decay);
    }

    TState First(int rating) const
    {
        return {Clamp(m_w[rating - 1], MinStability, MaxStability),
                Clamp(InitDifficulty(rating), 1, 10)};
    }

    TState Next(const TState &state, double elapsedDays, int rating) const
    {
        const T r = Recall(elapsedDays, state.S);
        T s;
        if (rating == 1) {
            const T afterFail = m_w[11] * Pow(state.D, T(0) - m_w[12])
                                * (Pow(state.S + T(1), m_w[13]) - T(1)) * Exp((T(1) - r) * m_w[14]);
            // A lapse never raises the stability.
            s = Value(afterFail) < Value(state.S) ? afterFail : state.S;
        } else {
            T growth = Exp(m_w[8]) * (T(11) - state.D) * Pow(state.S, T(0) - m_w[9])
                       * (Exp((T(1) - r) * m_w[10]) - T(1));
            if (rating == 2)
                growth = growth * m_w[15];
            if (rating == 4)
                growth = growth * m_w[16];
            s = state.S * (T(1) + growth);
        }
        const T next = state.D + m_w[6] * T(3.0 - rating) * (T(10) - state.D) / T(9);
        const T reverted = m_w[7] * InitDifficulty(4) + (T(1) - m_w[7]) * next;
        return {Clamp(s, MinStability, MaxStability), Clamp(reverted, 1, 10)};
    }

private:
    T InitDifficulty(int rating) const { return m_w[4] - Exp(m_w[5] * T(rating - 1)) + T(1); }

    const std::array<T, WeightCount> &m_w;
    T m_decay;
    T m_factor;
};

// Binary cross-entropy of one prediction, kept finite at certainty.
template <class T>
T ReviewLoss(const T &p, bool recalled)
{
    constexpr double edge = 1e-9;
    const T q = Clamp(p, edge, 1 - edge);
    return T(0) - (recalled ? Log(q) : Log(T(1) - q));
}

// The bin of one prediction for the RMSE: elapsed days, the number of reviews
// after a day or more, and lapses, each on a geometric scale.
std::tuple<int, int, int> RmseBin(int elapsedDays, int longTermReviews, int lapses)
{
    const auto scale = [](double value, double base, double factor) {
        return static_cast<int>(
            std::lround(factor * std::pow(base, std::floor(std::log(value) / std::log(base)))));
    };
    const int daysBin = static_cast<int>(std::lround(
        2.48 * std::pow(3.62, std::floor(std::log(elapsedDays) / std::log(3.62))) * 100));
    const int lengthBin = scale(longTermReviews + 1.0, 1.89, 1.99);
    const int lapseBin = lapses == 0 ? 0 : scale(lapses, 1.73, 1.65);
    return {daysBin, lengthBin, lapseBin};
}

std::int64_t FloorDiv(std::int64_t a, std::int64_t b)
{
    const std::int64_t q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

using TDualWeights = std::array<TDual, WeightCount>;

TDualWeights Seeded(const TFsrsWeights &w, const std::array<bool, WeightCount> &trained)
{
    TDualWeights out;
    for (std::size_t i = 0; i < WeightCount; ++i) {
        out[i] = TDual(w[i]);
        if (trained[i])
            out[i].D[i] = 1;
    }
    return out;
}

// The weighted loss of a set of words and its gradient by every weight.
double LossAndGradient(const TFsrsReviewSet &set, const std::vector<std::size_t> &words,
                       const TDualWeights &w, std::array<double, WeightCount> &gradient,
                       double &weightSum)
{
    const TModel<TDual> model(w);
    const auto &reviews = set.Reviews();
    const auto &starts = set.WordStarts();
    double loss = 0;
    gradient.fill(0);
    weightSum = 0;
    for (const std::size_t word : words) {
        TModel<TDual>::TState state;
        for (std::size_t i = starts[word]; i < starts[word + 1]; ++i) {
            const auto &review = reviews[i];
            if (review.First) {
                state = model.First(review.Rating);
                continue;
            }
            if (review.Weight > 0) {
                const TDual l =
                    ReviewLoss(model.Recall(review.ElapsedDays, state.S), review.Rating > 1);
                loss += review.Weight * l.V;
                for (std::size_t k = 0; k < WeightCount; ++k)
                    gradient[k] += review.Weight * l.D[k];
                weightSum += review.Weight;
            }
            state = model.Next(state, review.ElapsedDays, review.Rating);
        }
    }
    return loss;
}

double WeightedLoss(const TFsrsReviewSet &set, const TFsrsWeights &weights)
{
    return EvaluateFsrs(set, weights).LogLoss;
}

// The stability after a first review of each rating that best predicts the
// second review, under the default forgetting curve.
TFsrsWeights PretrainFirstStabilities(const TFsrsReviewSet &set)
{
    TFsrsWeights w = DefaultFsrsWeights();
    struct TObservation {
        int Days;
        bool Recalled;
        double Weight;
    };
    std::array<std::vector<TObservation>, 4> byRating;
    const auto &reviews = set.Reviews();
    const auto &starts = set.WordStarts();
    for (std::size_t word = 0; word + 1 < starts.size(); ++word) {
        const std::size_t first = starts[word];
        if (starts[word + 1] - first < 2)
            continue;
        const auto &second = reviews[first + 1];
        if (second.Weight > 0)
            byRating[reviews[first].Rating - 1].push_back(
                {second.ElapsedDays, second.Rating > 1, second.Weight});
    }
    const TModel<double> curve(w);
    std::array<bool, 4> fitted{};
    for (std::size_t g = 0; g < 4; ++g) {
        const auto &observations = byRating[g];
        if (observations.size() < MinFirstRatingReviews)
            continue;
        const auto loss = [&](double logS) {
            const double s = std::exp(logS);
            double sum = 0;
            for (const auto &o : observations)
                sum += o.Weight * ReviewLoss(curve.Recall(o.Days, s), o.Recalled);
            return sum;
        };
        // Golden-section search: the loss has one minimum in log stability.
        double low = std::log(MinStability);
        double high = std::log(MaxInitialStability);
        const double ratio = (std::sqrt(5.0) - 1) / 2;
        double a = high - ratio * (high - low);
        double b = low + ratio * (high - low);
        double lossA = loss(a);
        double lossB = loss(b);
        for (int step = 0; step < 60; ++step) {
            if (lossA < lossB) {
                high = b;
                b = a;
                lossB = lossA;
                a = high - ratio * (high - low);
                lossA = loss(a);
            } else {
                low = a;
                a = b;
                lossA = lossB;
                b = low + ratio * (high - low);
                lossB = loss(b);
            }
        }
        w[g] = std::exp((low + high) / 2);
        fitted[g] = true;
    }
    // A rating with too few words follows the nearest fitted one in the
    // defaults' proportions; better ratings never forget sooner.
    const TFsrsWeights &defaults = DefaultFsrsWeights();
    for (std::size_t g = 0; g < 4; ++g) {
        if (fitted[g])
            continue;
        std::size_t nearest = 4;
        for (std::size_t d = 1; d < 4 && nearest == 4; ++d) {
            if (g >= d && fitted[g - d])
                nearest = g - d;
            else if (g + d < 4 && fitted[g + d])
                nearest = g + d;
        }
        if (nearest != 4)
            w[g] = w[nearest] * defaults[g] / defaults[nearest];
    }
    for (std::size_t g = 1; g < 4; ++g)
        w[g] = std::max(w[g], w[g - 1]);
    return ClampFsrsWeights(w);
}

}  // namespace

TFsrsReviewSet::TFsrsReviewSet(const std::vector<TWordReviews> &words)
{
    m_wordStarts.reserve(words.size() + 1);
    for (const auto &word : words) {
        if (word.empty())
            continue;
        m_wordStarts.push_back(m_reviews.size());
        std::int64_t lastDay = 0;
        for (std::size_t i = 0; i < word.size(); ++i) {
            const std::int64_t day = FloorDiv(word[i].TimeMs, DayMs);
            TReview review;
            review.TimeMs = word[i].TimeMs;
            review.Rating =
                static_cast<std::uint8_t>(std::clamp(static_cast<int>(word[i].Rating), 1, 4));
            review.First = i == 0;
            review.ElapsedDays =
                i == 0 ? 0 : static_cast<std::int32_t>(std::max<std::int64_t>(day - lastDay, 0));
            lastDay = day;
            m_reviews.push_back(review);
        }
    }
    m_wordStarts.push_back(m_reviews.size());
    ExcludeRareFirstIntervals();
    ScoreBetween(std::numeric_limits<std::int64_t>::min(),
                 std::numeric_limits<std::int64_t>::max());
}

void TFsrsReviewSet::ExcludeRareFirstIntervals()
{
    const std::size_t words = m_wordStarts.size() - 1;
    m_excluded.assign(words, false);
    // Per first rating, the words by the days until their first review a day
    // or more later, counting only words reviewed exactly once so far.
    std::array<std::map<int, std::size_t>, 4> counts;
    std::vector<int> firstInterval(words, -1);
    for (std::size_t word = 0; word < words; ++word) {
        for (std::size_t i = m_wordStarts[word] + 1; i < m_wordStarts[word + 1]; ++i) {
            if (m_reviews[i].ElapsedDays > 0) {
                firstInterval[word] = m_reviews[i].ElapsedDays;
                break;
            }
        }
        const std::size_t first = m_wordStarts[word];
        if (m_wordStarts[word + 1] - first >= 2 && m_reviews[first + 1].ElapsedDays > 0)
            ++counts[m_reviews[first].Rating - 1][m_reviews[first + 1].ElapsedDays];
    }
    // The rarest intervals go first, up to a twentieth of the words (at least
    // 20); then intervals of fewer than six words or too long to be typical.
    std::array<std::set<int>, 4> removed;
    for (std::size_t g = 0; g < 4; ++g) {
        std::vector<std::pair<int, std::size_t>> groups(counts[g].begin(), counts[g].end());
        std::sort(groups.begin(), groups.end(), [](const auto &a, const auto &b) {
            return a.second != b.second ? a.second < b.second : a.first < b.first;
        });
        std::size_t total = 0;
        for (const auto &group : groups)
            total += group.second;
        const int longest = g == 3 ? 365 : 100;
        std::size_t dropped = 0;
        for (const auto &[days, count] : groups) {
            if (dropped + count >= std::max<std::size_t>(20, total / 20)) {
                if (count < 6 || days > longest)
                    removed[g].insert(days);
            } else {
                dropped += count;
                removed[g].insert(days);
            }
        }
    }
    for (std::size_t word = 0; word < words; ++word)
        m_excluded[word] =
            firstInterval[word] >= 0
            && removed[m_reviews[m_wordStarts[word]].Rating - 1].count(firstInterval[word]) > 0;
}

void TFsrsReviewSet::ScoreBetween(std::int64_t fromMs, std::int64_t toMs)
{
    // Same-day reviews are not predicted: without short-term steps their recall is 1.
    std::vector<std::size_t> scored;
    for (std::size_t word = 0; word + 1 < m_wordStarts.size(); ++word) {
        for (std::size_t i = m_wordStarts[word]; i < m_wordStarts[word + 1]; ++i) {
            auto &review = m_reviews[i];
            review.Weight = 0;
            if (!m_excluded[word] && !review.First && review.ElapsedDays > 0
                && review.TimeMs >= fromMs && review.TimeMs < toMs)
                scored.push_back(i);
        }
    }
    // Ties in time keep the words' order: the sort is stable over the word-major index.
    std::stable_sort(scored.begin(), scored.end(), [this](std::size_t a, std::size_t b) {
        return m_reviews[a].TimeMs < m_reviews[b].TimeMs;
    });
    const double last = std::max(static_cast<double>(scored.size()) - 1, 1.0);
    for (std::size_t rank = 0; rank < scored.size(); ++rank)
        m_reviews[scored[rank]].Weight =
            static_cast<float>(0.25 + 0.75 * std::pow(static_cast<double>(rank) / last, 3));
    m_scored = scored.size();
}

std::int64_t TFsrsReviewSet::TimeAtShare(double share) const
{
    std::vector<std::int64_t> times;
    for (const auto &review : m_reviews)
        if (!review.First && review.ElapsedDays > 0)
            times.push_back(review.TimeMs);
    if (times.empty())
        return 0;
    const auto at = std::min(times.size() - 1,
                             static_cast<std::size_t>(share * static_cast<double>(times.size())));
    std::nth_element(times.begin(), times.begin() + static_cast<std::ptrdiff_t>(at), times.end());
    return times[at];
}

TFsrsReviewSet TFsrsReviewSet::Before(std::int64_t untilMs) const
{
    TFsrsReviewSet out;
    for (std::size_t word = 0; word + 1 < m_wordStarts.size(); ++word) {
        const std::size_t begin = m_wordStarts[word];
        std::size_t end = begin;
        while (end < m_wordStarts[word + 1] && m_reviews[end].TimeMs < untilMs)
            ++end;
        if (end == begin)
            continue;
        out.m_wordStarts.push_back(out.m_reviews.size());
        out.m_reviews.insert(out.m_reviews.end(),
                             m_reviews.begin() + static_cast<std::ptrdiff_t>(begin),
                             m_reviews.begin() + static_cast<std::ptrdiff_t>(end));
    }
    out.m_wordStarts.push_back(out.m_reviews.size());
    out.ExcludeRareFirstIntervals();
    out.ScoreBetween(std::numeric_limits<std::int64_t>::min(), untilMs);
    return out;
}

TFsrsEvaluation EvaluateFsrs(const TFsrsReviewSet &set, const TFsrsWeights &weights)
{
    const TModel<double> model(weights);
    const auto &reviews = set.Reviews();
    const auto &starts = set.WordStarts();
    struct TBin {
        double Predicted = 0;
        double Actual = 0;
        double Count = 0;
        double Weight = 0;
    };
    std::map<std::tuple<int, int, int>, TBin> bins;
    double loss = 0;
    double weightSum = 0;
    for (std::size_t word = 0; word + 1 < starts.size(); ++word) {
        TModel<double>::TState state{};
        int longTerm = 0;
        int lapses = 0;
        for (std::size_t i = starts[word]; i < starts[word + 1]; ++i) {
            const auto &review = reviews[i];
            if (review.First) {
                state = model.First(review.Rating);
                continue;
            }
            if (review.ElapsedDays > 0)
                ++longTerm;
            if (review.Weight > 0) {
                const double p = model.Recall(review.ElapsedDays, state.S);
                const bool recalled = review.Rating > 1;
                loss += review.Weight * ReviewLoss(p, recalled);
                weightSum += review.Weight;
                auto &bin = bins[RmseBin(review.ElapsedDays, longTerm, lapses)];
                bin.Predicted += p;
                bin.Actual += recalled ? 1 : 0;
                bin.Count += 1;
                bin.Weight += review.Weight;
            }
            if (review.Rating == 1 && review.ElapsedDays > 0)
                ++lapses;
            state = model.Next(state, review.ElapsedDays, review.Rating);
        }
    }
    if (weightSum <= 0)
        return {};
    double squares = 0;
    for (const auto &[key, bin] : bins) {
        const double gap = bin.Predicted / bin.Count - bin.Actual / bin.Count;
        squares += gap * gap * bin.Weight;
    }
    return {loss / weightSum, std::sqrt(squares / weightSum)};
}

TFsrsWeights ClampFsrsWeights(TFsrsWeights weights)
{
    for (std::size_t i = 0; i < WeightCount; ++i)
        weights[i] = std::clamp(weights[i], Bounds[i].first, Bounds[i].second);
    return weights;
}

std::optional<TFsrsWeights> FitFsrsWeights(const TFsrsReviewSet &set, const TFsrsProgress &progress)
{
    const TFsrsWeights initial = PretrainFirstStabilities(set);
    if (set.ScoredCount() == 0)
        return initial;
    // The first stabilities come from the pretraining, the short-term weights stay 0.
    std::array<bool, WeightCount> trained{};
    for (std::size_t i = 0; i < WeightCount; ++i)
        trained[i] = Bounds[i].first < Bounds[i].second;

    // Words in batches of about BatchReviews predicted reviews, in an order
    // shuffled once per epoch from a fixed seed.
    const auto &reviews = set.Reviews();
    const auto &starts = set.WordStarts();
    std::vector<std::size_t> wordScored(starts.size() - 1, 0);
    for (std::size_t word = 0; word + 1 < starts.size(); ++word)
        for (std::size_t i = starts[word]; i < starts[word + 1]; ++i)
            wordScored[word] += reviews[i].Weight > 0 ? 1 : 0;
    std::vector<std::size_t> order(wordScored.size());
    std::iota(order.begin(), order.end(), 0);
    std::mt19937_64 random(20250106);
    const auto batchesPerEpoch =
        std::max<std::size_t>(1, (set.ScoredCount() + BatchReviews - 1) / BatchReviews);
    const double totalSteps = static_cast<double>(Epochs * batchesPerEpoch);

    TFsrsWeights w = initial;
    TFsrsWeights best = initial;
    double bestLoss = WeightedLoss(set, initial);
    std::array<double, WeightCount> m{};
    std::array<double, WeightCount> v{};
    std::array<double, WeightCount> gradient{};
    int step = 0;
    for (int epoch = 0; epoch < Epochs; ++epoch) {
        for (std::size_t i = order.size(); i > 1; --i)
            std::swap(order[i - 1],
                      order[std::uniform_int_distribution<std::size_t>(0, i - 1)(random)]);
        std::vector<std::size_t> batch;
        std::size_t batchCount = 0;
        for (std::size_t k = 0; k <= order.size(); ++k) {
            if (k < order.size()) {
                if (wordScored[order[k]] == 0)
                    continue;
                batch.push_back(order[k]);
                batchCount += wordScored[order[k]];
                if (batchCount < BatchReviews)
                    continue;
            }
            if (batch.empty())
                break;
            double weightSum = 0;
            LossAndGradient(set, batch, Seeded(w, trained), gradient, weightSum);
            const double share =
                static_cast<double>(batchCount) / static_cast<double>(set.ScoredCount());
            ++step;
            // Cosine annealing of the learning rate over the whole fit.
            const double rate =
                LearningRate * 0.5 * (1 + std::cos(std::numbers::pi * (step - 1) / totalSteps));
            for (std::size_t i = 0; i < WeightCount; ++i) {
                if (!trained[i])
                    continue;
                const double spread = TypicalSpread[i];
                const double g =
                    gradient[i]
                    + Regularisation * share * 2 * (w[i] - initial[i]) / (spread * spread);
                m[i] = AdamBeta1 * m[i] + (1 - AdamBeta1) * g;
                v[i] = AdamBeta2 * v[i] + (1 - AdamBeta2) * g * g;
                const double mHat = m[i] / (1 - std::pow(AdamBeta1, step));
                const double vHat = v[i] / (1 - std::pow(AdamBeta2, step));
                w[i] -= rate * mHat / (std::sqrt(vHat) + AdamEpsilon);
            }
            w = ClampFsrsWeights(w);
            batch.clear();
            batchCount = 0;
            if (progress && !progress(step / totalSteps))
                return std::nullopt;
        }
        // An epoch that made the fit worse is not kept.
        const double loss = WeightedLoss(set, w);
        if (loss < bestLoss) {
            bestLoss = loss;
            best = w;
        }
    }
    return best;
}

TFsrsOptimization OptimizeFsrsWeights(const std::vector<TWordReviews> &words,
                                      const TFsrsWeights &current, const TFsrsProgress &progress)
{
    TFsrsOptimization result;
    result.Weights = current;
    TFsrsReviewSet whole(words);
    result.Reviews = whole.ScoredCount();
    if (result.Reviews < kMinReviewsToOptimize)
        return result;
    const auto part = [&progress](double from, double to) -> TFsrsProgress {
        if (!progress)
            return {};
        return [&progress, from, to](double share) { return progress(from + (to - from) * share); };
    };

    const std::int64_t split = whole.TimeAtShare(0.8);
    const auto older = FitFsrsWeights(whole.Before(split), part(0, 0.45));
    if (!older) {
        result.Outcome = TFsrsOptimization::TOutcome::Stopped;
        return result;
    }
    TFsrsReviewSet newer = whole;
    newer.ScoreBetween(split, std::numeric_limits<std::int64_t>::max());
    result.HeldOutCurrent = EvaluateFsrs(newer, current).LogLoss;
    result.HeldOutNew = EvaluateFsrs(newer, *older).LogLoss;
    result.LogLossBefore = EvaluateFsrs(whole, current).LogLoss;
    if (!(result.HeldOutNew < result.HeldOutCurrent)) {
        result.Outcome = TFsrsOptimization::TOutcome::KeptCurrent;
        result.LogLossAfter = result.LogLossBefore;
        return result;
    }
    const auto all = FitFsrsWeights(whole, part(0.45, 1));
    if (!all) {
        result.Outcome = TFsrsOptimization::TOutcome::Stopped;
        return result;
    }
    result.Outcome = TFsrsOptimization::TOutcome::NewWeights;
    result.Weights = *all;
    result.LogLossAfter = EvaluateFsrs(whole, *all).LogLoss;
    if (progress)
        progress(1);
    return result;
}
