// The learning memory's tables: migration, recording a toll gate, due words
// and the new-words book.
#include <algorithm>
#include <filesystem>

#include "MemoryParameters.h"
#include "SchemaVersion.h"
#include "StoreFixture.h"
#include "UBookType.h"
#include "UImpExpLib.h"
#include "WordMemory.h"
#include "WordTables.h"

namespace {

constexpr std::int64_t kT0 = 1'780'000'000'000;  // a fixed instant

// A stand-in for the scheduler with easily told results: Again is due in one
// day, Hard in two, Good in four; stability counts the reviews.
TMemoryCard fakeReview(const TMemoryCard &card, TRating rating, std::int64_t now)
{
    TMemoryCard next = card;
    const int days = rating == TRating::Again ? 1 : rating == TRating::Hard ? 2 : 4;
    next.Due = now + days * DayMs;
    next.LastReview = now;
    next.Stability = card.Stability + 1;
    next.Difficulty = static_cast<double>(rating);
    ++next.Reps;
    if (rating == TRating::Again)
        ++next.Lapses;
    next.State = TCardState::Review;
    return next;
}

TWordInfo word(const std::string &spelling, const std::string &pronunciation = {},
               const std::string &meaning = {})
{
    TWordInfo w;
    w.Spelling = spelling;
    w.Pronunciation = pronunciation;
    w.Meaning = meaning;
    return w;
}

TWordMeeting meeting(const std::string &spelling, TRating rating, int bookId = 0, int row = -1)
{
    TWordMeeting m;
    m.Word = word(spelling, "p-" + spelling, Gbk("义") + spelling);
    m.BookId = bookId;
    m.BookRow = row;
    m.Rating = rating;
    m.Right = rating == TRating::Again ? 0 : 1;
    m.Missed = rating == TRating::Again ? 1 : 0;
    return m;
}

TTollGatePlay play(std::int64_t at, int bookId = 1)
{
    return {at, bookId, 1, 2, 3, 1, false};
}

std::vector<std::string> spellings(const TWordInfos &words)
{
    std::vector<std::string> out;
    for (const TWordInfo &w : words)
        out.push_back(w.Spelling);
    return out;
}

class StoreMemory : public StoreFixture {
protected:
    bool Record(const std::vector<TWordMeeting> &words, std::int64_t at = kT0, int bookId = 1)
    {
        return RecordTollGate(play(at, bookId), words, fakeReview);
    }
};

TEST_F(StoreMemory, AFileOfTodaysProgramGainsTheTablesWithBooksScoresAndRecentListIntact)
{
    const int bookId = ImportNumberedBook(Gbk("《旧词汇》"), 25);
    ASSERT_TRUE(AddGameRecord(Gbk("小明"), 1200));
    dir.WriteFile("UseRecord.txt", "lib101#@#25#@#x#@#0#@#1#@#1\r\n");
    // As today's program leaves a file: version 1, no memory tables.
    for (const char *table : {"wordmemory", "wordslip", "reviewlog", "playlog", "memoryparams"})
        db->Connection().Execute(std::string("DROP TABLE ") + table);
    db->Connection().Execute("PRAGMA user_version = 1");
    db->CloseDatabase();

    ASSERT_TRUE(db->ConnectDatabase());
    EXPECT_EQ(ReadSchemaVersion(db->Connection()), CurrentSchemaVersion());
    EXPECT_TRUE(std::filesystem::exists(SchemaBackupPath(DatabasePath())));
    EXPECT_EQ(GetBookWordNumber(bookId), 25);
    EXPECT_EQ(TableRows(GetBookTableName(bookId)).size(), 25u);
    const auto records = LoadGameRecords();
    ASSERT_EQ(records.size(), 1u);
    EXPECT_EQ(records[0].Score, 1200);
    EXPECT_EQ(dir.ReadFile("UseRecord.txt"), "lib101#@#25#@#x#@#0#@#1#@#1\r\n");
    // The new tables take a record.
    EXPECT_FALSE(Record({meeting("alpha", TRating::Good, bookId, 0)}));
    EXPECT_EQ(Scalar("SELECT count(*) FROM wordmemory"), 1);
}

TEST_F(StoreMemory, RecordingAToollGateWritesRecordsSlipsAndBothLogs)
{
    TWordMeeting slipped = meeting("Apple", TRating::Hard, 7, 3);
    slipped.Slips = {{1, 'p', 'o'}, {3, 'l', 'k'}};
    slipped.Seen = 2;
    slipped.Right = 2;
    Record({slipped, meeting("apple", TRating::Again, 7, 4)});

    // Case-sensitive: two records.
    const auto upper = ReadWordMemory("Apple");
    ASSERT_TRUE(upper);
    EXPECT_EQ(upper->FirstSeen, kT0);
    EXPECT_EQ(upper->BookId, 7);
    EXPECT_EQ(upper->BookRow, 3);
    EXPECT_EQ(upper->Seen, 2);
    EXPECT_EQ(upper->Right, 2);
    EXPECT_EQ(upper->Slips, 2);
    EXPECT_EQ(upper->RightStreak, 1);
    EXPECT_EQ(upper->Card.Due, kT0 + 2 * DayMs);
    EXPECT_EQ(upper->Card.Difficulty, 2.0);
    EXPECT_EQ(ReadWordSlips("Apple"), (std::vector<TWordSlipRecord>{{1, 'p', 'o'}, {3, 'l', 'k'}}));
    const auto lower = ReadWordMemory("apple");
    ASSERT_TRUE(lower);
    EXPECT_EQ(lower->Missed, 1);
    EXPECT_EQ(lower->Card.Lapses, 1);

    EXPECT_EQ(Scalar("SELECT count(*) FROM reviewlog"), 2);
    EXPECT_EQ(Scalar("SELECT rating FROM reviewlog WHERE spelling = 'apple'"), 1);
    EXPECT_EQ(Scalar("SELECT count(*) FROM playlog WHERE bookid = 1 AND tollgate = 1 AND "
                     "level = 2 AND rightcount = 3 AND errorcount = 1 AND review = 0"),
              1);

    // A later meeting adds to the counts, keeps the first time, moves the place.
    Record({meeting("Apple", TRating::Good, 9, 11)}, kT0 + DayMs);
    const auto again = ReadWordMemory("Apple");
    EXPECT_EQ(again->FirstSeen, kT0);
    EXPECT_EQ(again->LastSeen, kT0 + DayMs);
    EXPECT_EQ(again->Seen, 3);
    EXPECT_EQ(again->BookId, 9);
    EXPECT_EQ(again->BookRow, 11);
    EXPECT_EQ(again->Card.Reps, 2);
    EXPECT_EQ(again->RightStreak, 2);
    // Met where the place is not a book row (a review game): the place stays.
    Record({meeting("Apple", TRating::Good)}, kT0 + 2 * DayMs, 0);
    EXPECT_EQ(ReadWordMemory("Apple")->BookId, 9);
}

TEST_F(StoreMemory, DueWordsComeMostOverdueFirstAcrossBooks)
{
    Record({meeting("good", TRating::Good, 1, 0)}, kT0);              // due kT0 + 4d
    Record({meeting("missed", TRating::Again, 2, 5)}, kT0);           // due kT0 + 1d
    Record({meeting("hard", TRating::Hard, 3, 1)}, kT0 - 2 * DayMs);  // due kT0
    EXPECT_EQ(CountDueWords(kT0), 0);
    EXPECT_EQ(CountDueWords(kT0 + 1), 1);
    EXPECT_EQ(CountDueWords(kT0 + 3 * DayMs), 2);
    const auto due = DueWords(kT0 + 5 * DayMs, 100);
    ASSERT_EQ(due.size(), 3u);
    EXPECT_EQ(due[0].Spelling, "hard");
    EXPECT_EQ(due[1].Spelling, "missed");
    EXPECT_EQ(due[2].Spelling, "good");
    EXPECT_EQ(DueWords(kT0 + 5 * DayMs, 2).size(), 2u);
}

TEST_F(StoreMemory, ABookRowIsReadAsItsTollGateReadsIt)
{
    const int bookId = ImportNumberedBook(Gbk("《书》"), 5);
    const auto word = LoadBookRow(bookId, 2);
    ASSERT_TRUE(word);
    EXPECT_EQ(word->Spelling, "w3");
    EXPECT_EQ(word->Meaning, "m3");
    EXPECT_FALSE(LoadBookRow(bookId, 5));
    EXPECT_FALSE(LoadBookRow(bookId + 50, 0));

    // Found by its exact spelling, scrambled or not.
    EXPECT_EQ(FindBookWord(bookId, "w4")->Meaning, "m4");
    EXPECT_FALSE(FindBookWord(bookId, "W4"));
    WriteConfig(1);
    const int scrambled = ImportNumberedBook(Gbk("《密》"), 3);
    EXPECT_EQ(FindBookWord(scrambled, "w2")->Meaning, "m2");
    EXPECT_FALSE(FindBookWord(scrambled, "w9"));
}

TEST_F(StoreMemory, TheFirstMissedWordMakesTheNewWordsBookAndThreeRightsInARowEmptyIt)
{
    EXPECT_EQ(NewWordsBookId(), -1);
    EXPECT_FALSE(Record({meeting("cat", TRating::Good)}));
    EXPECT_EQ(NewWordsBookId(), -1);

    EXPECT_TRUE(Record({meeting("card", TRating::Again), meeting("cart", TRating::Again)}));
    const int id = NewWordsBookId();
    ASSERT_GT(id, 0);
    EXPECT_EQ(GetBookName(id), Gbk("《我的生词本》"));
    EXPECT_EQ(GetBookClass(id), 8);
    EXPECT_EQ(GetBookTableName(id), LibraryTableName(id));
    EXPECT_EQ(Scalar("SELECT isdefault FROM bookinfo WHERE id = " + std::to_string(id)), 1);
    EXPECT_EQ(GetBookWordNumber(id), 2);
    EXPECT_TRUE(IsNewWordsBookTable(LibraryTableName(id)));
    const TWordInfos words = NewWordsBookWords();
    EXPECT_EQ(spellings(words), (std::vector<std::string>{"card", "cart"}));
    EXPECT_EQ(words[0].Meaning, Gbk("义card"));

    // Missed again: added once only.
    EXPECT_FALSE(Record({meeting("card", TRating::Again)}, kT0 + 1));
    EXPECT_EQ(GetBookWordNumber(id), 2);

    // Right twice, then a miss, starts the count again; three in a row graduate.
    Record({meeting("card", TRating::Good)}, kT0 + 2);
    Record({meeting("card", TRating::Hard)}, kT0 + 3);
    Record({meeting("card", TRating::Again)}, kT0 + 4);
    Record({meeting("card", TRating::Good)}, kT0 + 5);
    Record({meeting("card", TRating::Good)}, kT0 + 6);
    EXPECT_EQ(spellings(NewWordsBookWords()), (std::vector<std::string>{"card", "cart"}));
    EXPECT_TRUE(Record({meeting("card", TRating::Good)}, kT0 + 7));
    EXPECT_EQ(spellings(NewWordsBookWords()), (std::vector<std::string>{"cart"}));
    EXPECT_EQ(GetBookWordNumber(id), 1);
    // Its table is loaded by toll gates as any book's.
    TGamePara para;
    para.StoreTableName = LibraryTableName(id);
    TWordInfos gate;
    EXPECT_TRUE(LoadTollGateWords(para, 1, gate));
    EXPECT_EQ(spellings(gate), (std::vector<std::string>{"cart"}));
}

TEST_F(StoreMemory, TheNewWordsBooksShuffledCopyIsRebuiltWhenItsContentChanges)
{
    Record({meeting("one", TRating::Again), meeting("two", TRating::Again)});
    const int id = NewWordsBookId();
    TQuietProgress progress(false);
    const int copyId = BuildShuffledBook(id, NewWordsBookName(), progress);
    ASSERT_GT(copyId, 0);
    EXPECT_TRUE(IsNewWordsBookTable(ShuffledTableName(id)));

    Record({meeting("three", TRating::Again)}, kT0 + 1);
    EXPECT_EQ(GetBookWordNumber(copyId), 3);
    auto copy = spellings(TableRows(ShuffledTableName(id)));
    std::sort(copy.begin(), copy.end());
    EXPECT_EQ(copy, (std::vector<std::string>{"one", "three", "two"}));
    // Still the same book and copy in the catalogue.
    EXPECT_EQ(GetBookId(NewWordsBookName(), kBookTypeShuffled), copyId);
    EXPECT_EQ(NewWordsBookId(), id);
}

TEST_F(StoreMemory, WordsAddedByHandOrKnownAndTheBooksMostDueFirstOrder)
{
    const TWordInfo ship = word("ship", "", Gbk("船"));
    EXPECT_TRUE(AddToNewWordsBook(ship));
    EXPECT_TRUE(AddToNewWordsBook(ship));
    EXPECT_EQ(spellings(NewWordsBookWords()), (std::vector<std::string>{"ship"}));
    EXPECT_FALSE(ReadWordMemory("ship"));

    Record({meeting("late", TRating::Good), meeting("soon", TRating::Hard)});
    Record({meeting("late", TRating::Again), meeting("soon", TRating::Again)}, kT0 + 10);
    Record({meeting("late", TRating::Good)}, kT0 + 20);  // due kT0 + 20 + 4d
    Record({meeting("soon", TRating::Hard)}, kT0 + 20);  // due kT0 + 20 + 2d
    EXPECT_EQ(spellings(NewWordsBookWords()), (std::vector<std::string>{"ship", "late", "soon"}));
    // Most due first; a word never reviewed first of all.
    EXPECT_TRUE(OrderNewWordsBook());
    EXPECT_EQ(spellings(NewWordsBookWords()), (std::vector<std::string>{"ship", "soon", "late"}));
    EXPECT_EQ(spellings(TableRows(GetBookTableName(NewWordsBookId()))),
              (std::vector<std::string>{"ship", "soon", "late"}));

    // Known: leaves the book, not due for 180 days, a record made if none.
    EXPECT_TRUE(MarkWordKnown(ship, kT0));
    EXPECT_TRUE(MarkWordKnown(word("soon"), kT0));
    EXPECT_EQ(spellings(NewWordsBookWords()), (std::vector<std::string>{"late"}));
    ASSERT_TRUE(ReadWordMemory("ship"));
    EXPECT_EQ(ReadWordMemory("ship")->Card.Due, kT0 + 180 * DayMs);
    EXPECT_EQ(ReadWordMemory("soon")->Card.Due, kT0 + 180 * DayMs);
    EXPECT_EQ(CountDueWords(kT0 + 179 * DayMs), 1);  // "late" only
}

TEST_F(StoreMemory, AFailedRecordingWritesNothing)
{
    Record({meeting("kept", TRating::Good)});
    db->Connection().Execute("DROP TABLE playlog");
    EXPECT_THROW(
        Record({meeting("kept", TRating::Again), meeting("lost", TRating::Again)}, kT0 + 1),
        EDatabaseError);
    EXPECT_FALSE(ReadWordMemory("lost"));
    EXPECT_EQ(ReadWordMemory("kept")->Seen, 1);
    EXPECT_EQ(NewWordsBookId(), -1);
}

}  // namespace

namespace {

bool sameCard(const TMemoryCard &a, const TMemoryCard &b)
{
    return a.Stability == b.Stability && a.Difficulty == b.Difficulty && a.Due == b.Due
           && a.LastReview == b.LastReview && a.Reps == b.Reps && a.Lapses == b.Lapses
           && a.ScheduledDays == b.ScheduledDays && a.State == b.State;
}

// A season of play with the real scheduler: every day the words due come back
// with a few new ones, rated by a fixed sequence; two words are marked known.
class StoreReplay : public StoreMemory {
protected:
    void PlaySeason()
    {
        std::uint32_t seed = 12345;
        const auto next = [&seed] {
            seed = seed * 1664525u + 1013904223u;
            return seed >> 8;
        };
        int newWords = 0;
        for (int day = 0; day < 120; ++day) {
            const std::int64_t at =
                kT0 + day * DayMs + static_cast<std::int64_t>(next() % 3600) * 1000;
            std::vector<TWordMeeting> words;
            for (const TWordMemory &m : DueWords(at + DayMs / 2, 100))
                words.push_back(meeting(m.Spelling, TRating::Good));
            for (int k = 0; k < 4 && newWords < 300; ++k)
                words.push_back(meeting("w" + std::to_string(newWords++), TRating::Good));
            for (TWordMeeting &w : words) {
                const std::uint32_t r = next() % 100;
                w.Rating = r < 15   ? TRating::Again
                           : r < 30 ? TRating::Hard
                           : r < 85 ? TRating::Good
                                    : TRating::Easy;
            }
            RecordTollGate(play(at), words, ReviewCard);
            if (day == 50) {
                EXPECT_TRUE(MarkWordKnown(word("w3"), at + 1000));
                EXPECT_TRUE(MarkWordKnown(word("w7"), at + 1000));
            }
        }
        // A word whose log is gone (or never was) keeps what it has.
        db->Connection().Execute(
            "INSERT INTO wordmemory(spelling, stability, difficulty, due, lastreview, reps, "
            "state) VALUES('unlogged', 3.5, 6.25, ?, ?, 2, 2)",
            {kT0 + 9 * DayMs, kT0});
    }
};

TEST_F(StoreReplay, ReplayingTheLogReproducesTheStoredCardsExactly)
{
    PlaySeason();
    const std::vector<TWordMemory> stored = AllWordMemories();
    ASSERT_EQ(stored.size(), 301u);
    EXPECT_GT(Scalar("SELECT count(*) FROM reviewlog"), 2000);

    EXPECT_EQ(ReplayWordMemory(ReviewCard), static_cast<int>(stored.size()) - 1);
    const std::vector<TWordMemory> replayed = AllWordMemories();
    ASSERT_EQ(replayed.size(), stored.size());
    for (size_t i = 0; i < stored.size(); ++i) {
        EXPECT_EQ(replayed[i].Spelling, stored[i].Spelling);
        EXPECT_TRUE(sameCard(replayed[i].Card, stored[i].Card)) << stored[i].Spelling;
        EXPECT_EQ(replayed[i].Seen, stored[i].Seen);
        EXPECT_EQ(replayed[i].RightStreak, stored[i].RightStreak);
    }
    // The known marks came through the replay.
    EXPECT_GT(ReadWordMemory("w3")->Card.Due, kT0 + 230 * DayMs);
    EXPECT_GT(ReadWordMemory("w7")->Card.Due, kT0 + 230 * DayMs);
}

TEST_F(StoreReplay, OtherParametersRescheduleEveryLoggedWordAndTheDefaultsBringThemBack)
{
    PlaySeason();
    const std::vector<TWordMemory> stored = AllWordMemories();
    TFsrsParameters keen;
    keen.Retention = 0.97;
    const TCardReview keenReview = [&keen](const TMemoryCard &c, TRating r, std::int64_t at) {
        return ReviewCardWith(c, r, at, keen);
    };
    ReplayWordMemory(keenReview);
    const std::vector<TWordMemory> sooner = AllWordMemories();
    int earlier = 0;
    int later = 0;
    for (size_t i = 0; i < stored.size(); ++i) {
        EXPECT_EQ(sooner[i].Card.LastReview, stored[i].Card.LastReview);
        EXPECT_EQ(sooner[i].Card.Reps, stored[i].Card.Reps);
        earlier += sooner[i].Card.Due < stored[i].Card.Due ? 1 : 0;
        later += sooner[i].Card.Due > stored[i].Card.Due ? 1 : 0;
    }
    // A higher retention brings words back sooner, never later.
    EXPECT_GT(earlier, 250);
    EXPECT_EQ(later, 0);
    const auto unlogged = std::find_if(stored.begin(), stored.end(), [](const TWordMemory &m) {
        return m.Spelling == "unlogged";
    });
    ASSERT_NE(unlogged, stored.end());
    EXPECT_TRUE(sameCard(ReadWordMemory("unlogged")->Card, unlogged->Card));

    ReplayWordMemory(ReviewCard);
    const std::vector<TWordMemory> back = AllWordMemories();
    for (size_t i = 0; i < stored.size(); ++i)
        EXPECT_TRUE(sameCard(back[i].Card, stored[i].Card)) << stored[i].Spelling;

    // A failure part of the way through changes nothing.
    db->Connection().Execute("CREATE TRIGGER refuse BEFORE UPDATE ON wordmemory "
                             "WHEN NEW.spelling = 'w5' BEGIN SELECT RAISE(ABORT, 'refused'); END");
    EXPECT_THROW(ReplayWordMemory(keenReview), EDatabaseError);
    const std::vector<TWordMemory> after = AllWordMemories();
    ASSERT_EQ(after.size(), stored.size());
    for (size_t i = 0; i < stored.size(); ++i)
        EXPECT_TRUE(sameCard(after[i].Card, stored[i].Card)) << stored[i].Spelling;
}

}  // namespace

namespace {

TEST_F(StoreReplay, AParameterChangeIsLoggedWithItsTimeAndReschedulesAtOnce)
{
    EXPECT_EQ(ReadMemoryParameters(), TFsrsParameters{});
    EXPECT_TRUE(MemoryParameterChanges().empty());
    PlaySeason();
    const std::vector<TWordMemory> stored = AllWordMemories();

    TFsrsParameters chosen;
    chosen.Retention = 0.83;
    chosen.Weights[8] = 1.0 / 3.0;  // not short in decimals: must read back exactly
    chosen.Weights[20] = 0.4321987654321;
    ChangeMemoryParameters(chosen, kT0 + 200 * DayMs);
    EXPECT_EQ(ReadMemoryParameters(), chosen);
    ASSERT_EQ(MemoryParameterChanges().size(), 1u);
    EXPECT_EQ(MemoryParameterChanges()[0].At, kT0 + 200 * DayMs);

    // The cards are what a replay with the new parameters makes.
    const std::vector<TWordMemory> changed = AllWordMemories();
    ReplayWordMemory([&chosen](const TMemoryCard &c, TRating r, std::int64_t at) {
        return ReviewCardWith(c, r, at, chosen);
    });
    const std::vector<TWordMemory> replayed = AllWordMemories();
    int moved = 0;
    for (size_t i = 0; i < stored.size(); ++i) {
        EXPECT_TRUE(sameCard(changed[i].Card, replayed[i].Card)) << stored[i].Spelling;
        moved += changed[i].Card.Due != stored[i].Card.Due ? 1 : 0;
    }
    EXPECT_GT(moved, 250);

    // The latest change is in force; one that does not read is left out.
    TFsrsParameters later;
    later.Retention = 0.95;
    std::string weightsOfOnes = "1";  // 21 weights, a retention out of range
    for (int i = 1; i < 21; ++i)
        weightsOfOnes += " 1";
    ChangeMemoryParameters(later, kT0 + 201 * DayMs);
    db->Connection().Execute(
        "INSERT INTO memoryparams(at, retention, weights) VALUES(?, 0.9, '1 2 3')",
        {kT0 + 202 * DayMs});
    db->Connection().Execute("INSERT INTO memoryparams(at, retention, weights) VALUES(?, 0.5, ?)",
                             {kT0 + 203 * DayMs, weightsOfOnes});
    EXPECT_EQ(ReadMemoryParameters(), later);
    EXPECT_EQ(MemoryParameterChanges().size(), 2u);
}

}  // namespace
