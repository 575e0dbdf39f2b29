// The scheduler against the values the reference implementation computed for
// the same reviews (tools/fsrs-reference makes the file).
#include <cmath>
#include <set>
#include <string>
#include <vector>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

#include "FsrsScheduler.h"

namespace {

struct TReferenceStep {
    std::int64_t Now = 0;
    TRating Rating = TRating::Good;
    double RetrievabilityBefore = 0;
    TMemoryCard Card;
};

struct TReferenceSequence {
    std::string Name;
    std::vector<TReferenceStep> Steps;
};

QJsonValue Field(const QJsonObject &Object, const char *Key)
{
    return Object.value(QLatin1String(Key));
}

QJsonObject ReadReference()
{
    QFile File(QString::fromUtf8(KIVRO_SOURCE_DIR "/tests/memory/data/fsrs-reference.json"));
    if (!File.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(File.readAll()).object();
}

std::vector<TReferenceSequence> LoadSequences()
{
    std::vector<TReferenceSequence> Sequences;
    const QJsonArray All = Field(ReadReference(), "sequences").toArray();
    for (const auto &SeqValue : All) {
        const QJsonObject Seq = SeqValue.toObject();
        TReferenceSequence Sequence;
        Sequence.Name = Field(Seq, "name").toString().toStdString();
        for (const auto &StepValue : Field(Seq, "steps").toArray()) {
            const QJsonObject Step = StepValue.toObject();
            const QJsonObject Card = Field(Step, "card").toObject();
            TReferenceStep S;
            S.Now = Field(Step, "now").toInteger();
            S.Rating = static_cast<TRating>(Field(Step, "rating").toInt());
            S.RetrievabilityBefore = Field(Step, "retrievabilityBefore").toDouble();
            S.Card.Stability = Field(Card, "stability").toDouble();
            S.Card.Difficulty = Field(Card, "difficulty").toDouble();
            S.Card.Due = Field(Card, "due").toInteger();
            S.Card.LastReview = Field(Card, "lastReview").toInteger();
            S.Card.Reps = Field(Card, "reps").toInt();
            S.Card.Lapses = Field(Card, "lapses").toInt();
            S.Card.ScheduledDays = Field(Card, "scheduledDays").toInt();
            S.Card.State = static_cast<TCardState>(Field(Card, "state").toInt());
            Sequence.Steps.push_back(S);
        }
        Sequences.push_back(std::move(Sequence));
    }
    return Sequences;
}

const std::vector<TReferenceSequence> &Sequences()
{
    static const std::vector<TReferenceSequence> Loaded = LoadSequences();
    return Loaded;
}

TEST(MemoryScheduler, ReferenceCoversEveryRatingAndGap)
{
    const QJsonObject Reference = ReadReference();
    EXPECT_EQ(Field(Reference, "generator").toString().toStdString(), "ts-fsrs 5.4.2");
    const QJsonObject Parameters = Field(Reference, "parameters").toObject();
    EXPECT_EQ(Field(Parameters, "request_retention").toDouble(), 0.9);
    EXPECT_EQ(Field(Parameters, "maximum_interval").toInt(), MaximumIntervalDays);
    EXPECT_FALSE(Field(Parameters, "enable_fuzz").toBool());
    EXPECT_FALSE(Field(Parameters, "enable_short_term").toBool());
    EXPECT_EQ(Field(Parameters, "w").toArray().size(), 21);

    ASSERT_GE(Sequences().size(), 3U);
    std::set<TRating> Ratings;
    bool SameDay = false;
    bool MonthsLate = false;
    for (const TReferenceSequence &Seq : Sequences()) {
        EXPECT_GE(Seq.Steps.size(), 10U) << Seq.Name;
        for (std::size_t I = 0; I < Seq.Steps.size(); ++I) {
            Ratings.insert(Seq.Steps[I].Rating);
            if (I == 0)
                continue;
            const std::int64_t Gap = Seq.Steps[I].Now - Seq.Steps[I - 1].Now;
            SameDay = SameDay || Gap < DayMs;
            MonthsLate = MonthsLate || Seq.Steps[I].Now - Seq.Steps[I - 1].Card.Due > 60 * DayMs;
        }
    }
    EXPECT_EQ(Ratings.size(), 4U);
    EXPECT_TRUE(SameDay);
    EXPECT_TRUE(MonthsLate);
}

class Reference : public testing::TestWithParam<std::size_t> {};

// Each review starts from the card the scheduler itself produced, as the game
// does, so an error anywhere carries into every later step.
TEST_P(Reference, EveryReviewEqualsTheReference)
{
    const TReferenceSequence &Seq = Sequences().at(GetParam());
    SCOPED_TRACE(Seq.Name);
    TMemoryCard Card;
    for (std::size_t I = 0; I < Seq.Steps.size(); ++I) {
        const TReferenceStep &Step = Seq.Steps[I];
        SCOPED_TRACE("review " + std::to_string(I + 1));
        EXPECT_NEAR(Retrievability(Card, Step.Now), Step.RetrievabilityBefore, 5e-5);
        Card = ReviewCard(Card, Step.Rating, Step.Now);
        EXPECT_NEAR(Card.Stability, Step.Card.Stability, 5e-5);
        EXPECT_NEAR(Card.Difficulty, Step.Card.Difficulty, 5e-5);
        EXPECT_EQ(Card.Due, Step.Card.Due);
        EXPECT_EQ(Card.LastReview, Step.Card.LastReview);
        EXPECT_EQ(Card.Reps, Step.Card.Reps);
        EXPECT_EQ(Card.Lapses, Step.Card.Lapses);
        EXPECT_EQ(Card.ScheduledDays, Step.Card.ScheduledDays);
        EXPECT_EQ(Card.State, Step.Card.State);
    }
}

INSTANTIATE_TEST_SUITE_P(MemoryScheduler, Reference,
                         testing::Range<std::size_t>(0, Sequences().size()));

constexpr std::int64_t Start = 1'780'000'000'000;  // 2026-05-28, mid-morning UTC

TEST(MemoryScheduler, RecallIsNinetyPercentWhenStabilityHasElapsed)
{
    TMemoryCard Card;
    Card.State = TCardState::Review;
    Card.Stability = 12;
    Card.Difficulty = 5;
    Card.LastReview = Start;
    EXPECT_EQ(Retrievability(TMemoryCard{}, Start), 1.0);
    EXPECT_EQ(Retrievability(Card, Start + 3600'000), 1.0);
    EXPECT_NEAR(Retrievability(Card, Start + 12 * DayMs), 0.9, 1e-6);
    const double Later = Retrievability(Card, Start + 100 * DayMs);
    EXPECT_LT(Later, Retrievability(Card, Start + 50 * DayMs));
    EXPECT_GT(Later, 0);
}

TEST(MemoryScheduler, ClockMovedBackCountsAsTheSameDay)
{
    const TMemoryCard Card = ReviewCard(TMemoryCard{}, TRating::Good, Start);
    const TMemoryCard Back = ReviewCard(Card, TRating::Good, Start - 3 * DayMs);
    const TMemoryCard Same = ReviewCard(Card, TRating::Good, Start);
    EXPECT_DOUBLE_EQ(Back.Stability, Same.Stability);
    EXPECT_DOUBLE_EQ(Back.Difficulty, Same.Difficulty);
    EXPECT_EQ(Back.ScheduledDays, Same.ScheduledDays);
    EXPECT_EQ(Back.Due, Start - 3 * DayMs + Same.ScheduledDays * DayMs);
}

TEST(MemoryScheduler, BetterRatingsNeverComeBackSooner)
{
    const TMemoryCard Seen = ReviewCard(TMemoryCard{}, TRating::Hard, Start);
    for (const std::int64_t Late : {std::int64_t{0}, 2 * DayMs, 400 * DayMs}) {
        const std::int64_t Now = Seen.Due + Late;
        int Previous = 0;
        for (const TRating Rating : {TRating::Again, TRating::Hard, TRating::Good, TRating::Easy}) {
            const TMemoryCard Next = ReviewCard(Seen, Rating, Now);
            EXPECT_GT(Next.ScheduledDays, Previous) << "rating " << int(Rating);
            EXPECT_EQ(Next.Due, Now + Next.ScheduledDays * DayMs);
            Previous = Next.ScheduledDays;
        }
    }
}

TEST(MemoryScheduler, AnUnusableStateStartsOver)
{
    TMemoryCard Broken;
    Broken.State = TCardState::Review;
    Broken.LastReview = Start - 5 * DayMs;
    Broken.Reps = 4;
    const TMemoryCard Fresh = ReviewCard(TMemoryCard{}, TRating::Good, Start);
    const TMemoryCard Next = ReviewCard(Broken, TRating::Good, Start);
    EXPECT_EQ(Next.Stability, Fresh.Stability);
    EXPECT_EQ(Next.Difficulty, Fresh.Difficulty);
    EXPECT_EQ(Next.Reps, 5);
    EXPECT_TRUE(std::isfinite(Retrievability(Broken, Start)));
}

}  // namespace
