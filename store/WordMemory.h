#pragma once
// The learning memory: what the game remembers of every word a learner
// meets, kept in the word database beside the books, and the new-words book
// (生词本) that fills itself from it.
//
// Tables (schema version 4, see SchemaVersion.cpp):
//   wordmemory  one row per spelling as stored (case-sensitive, like the
//               matching): first and last time seen, the book id and row of
//               the last meeting (to show the meaning), counts, rights in a
//               row, and the scheduler's card
//   wordslip    one row per slip: spelling, time, letter position (from 0),
//               letter expected and letter typed (GBK bytes as integers)
//   reviewlog   one row per word per toll gate: time, rating (or
//               kKnownMark for a word marked as known), the card after,
//               and how it was typed: the level, the play mode, the
//               milliseconds from its box wholly on view to its first correct
//               key and to its last key, its letters per second (NULL where
//               unknown: rows from before they were kept, a word never keyed)
//               its share of the word's counts (seen, right, missed) and
//               the book and row it was met in (version 4 on)
//   playlog     one row per toll gate: time, book, toll gate, level, right,
//               errors, and whether it was a review game
// Every log row carries its global id (origin, originseq: ComputerIdentity.h).
// Times are Unix milliseconds (UTC). Spellings are GBK here, UTF-8 on disk.
//
// Everything a toll gate brings is written by RecordTollGate in one short
// transaction; the reads below never write.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FsrsOptimizer.h"
#include "FsrsScheduler.h"
#include "Records.h"

// A right word in a row this often, anywhere, leaves the new-words book.
inline constexpr int kGraduationStreak = 3;
// A word marked as known is not due for this many days.
inline constexpr int kKnownWordDays = 180;
// The review log's rating of a word marked as known: no review, a due date.
inline constexpr int kKnownMark = 0;

struct TWordSlipRecord {
    int Position = 0;  // the letter's byte position in the spelling, from 0
    unsigned char Expected = 0;
    unsigned char Typed = 0;
    bool operator==(const TWordSlipRecord &) const = default;
};

// How a word was typed, timed from its box being wholly on view.
struct TTypingTimes {
    std::int64_t FirstKeyMs = -1;  // to its first correct key; -1: none
    std::int64_t LastKeyMs = -1;   // to its last correct key; -1: none
    // Its letters over the time from the first key of the run that completed
    // it to the last; 0 when not typed right or typed in one key.
    double LettersPerSecond = 0;
    bool operator==(const TTypingTimes &) const = default;
};

// One word as a toll gate met it (the flow joins the meetings of a word that
// came twice in one toll gate into one).
struct TWordMeeting {
    TWordInfo Word;    // GBK; Spelling keys the record
    int BookId = 0;    // where it was met; BookRow -1 keeps the stored place
    int BookRow = -1;  // row position in the book's word table, from 0
    int Seen = 1;
    int Right = 0;
    int Missed = 0;
    std::vector<TWordSlipRecord> Slips;
    TRating Rating = TRating::Good;
    TTypingTimes Typing;
    int PlayMode = 0;  // the flow's TPlayMode
};

struct TTollGatePlay {
    std::int64_t At = 0;
    int BookId = 0;  // 0 for a review game
    int TollGate = 0;
    int Level = 0;
    int Right = 0;
    int Errors = 0;
    bool Review = false;
};

// The scheduler step RecordTollGate applies to each word's card.
using TCardReview = std::function<TMemoryCard(const TMemoryCard &, TRating, std::int64_t)>;

// Writes one toll gate: each word's record (created on the first meeting),
// its slips and its review-log row, the play-log row, and the new-words
// book's changes (a missed word is added, creating the book on the first;
// a word right kGraduationStreak times in a row leaves it; its shuffled copy
// is rebuilt when its content changed). One transaction: on an engine
// failure it throws EDatabaseError and nothing is written. True when the
// new-words book changed.
bool RecordTollGate(const TTollGatePlay &Play, const std::vector<TWordMeeting> &Words,
                    const TCardReview &Review);

// Rebuilds every card that has review-log rows from them alone, in time
// order, with the stored ratings: a card is a pure function of its log and
// the scheduler, so this follows a change of the scheduler's parameters.
// Words without log rows keep their cards. One transaction; throws
// EDatabaseError with nothing changed. Returns the number of cards rebuilt.
int ReplayWordMemory(const TCardReview &review);
// The review log's order for a replay: each word's rows by time, rows of the
// same millisecond by the computer that wrote them and its sequence, so that
// every computer holding the same rows replays them alike.
inline constexpr std::string_view kReplayOrder = "spelling, at, origin, originseq, id";
// The same inside a transaction of the caller's.
class TSqlTransaction;
int ReplayWordMemory(TSqlTransaction &transaction, const TCardReview &review);

// One word's share of the review and slip rows merged from another computer.
struct TMergedWordShare {
    std::string Spelling;  // GBK
    int Seen = 0;
    int Right = 0;
    int Missed = 0;
    int Slips = 0;
    std::int64_t FirstAt = -1;  // the earliest merged row; -1: only slips
    std::int64_t LastAt = -1;   // the latest merged meeting (no mark as known); -1: none
};

// After another computer's rows were added to the logs, inside the caller's
// transaction: each word's record takes its share (created when the word is
// new here), its book row from its latest logged meeting, its rights in a
// row from its whole log; every card is replayed (ReplayWordMemory); and the
// new-words book is made again from the whole review log in its order, as
// RecordTollGate and MarkWordKnown change it, so that any two computers
// holding the same rows hold the same book. Words that are in a book but in
// no log (added by hand, here or in senderWords: the other computer's book)
// stay, after the others, by spelling. The words' meanings come from the two
// books, else from their record's book row. True when the book changed.
bool RebuildMergedWords(TSqlTransaction &transaction, const std::vector<TMergedWordShare> &shares,
                        const TCardReview &review, const TWordInfos &senderWords);

struct TWordMemory {
    std::string Spelling;  // GBK
    std::int64_t FirstSeen = 0;
    std::int64_t LastSeen = 0;
    int BookId = 0;
    int BookRow = -1;
    int Seen = 0;
    int Right = 0;
    int Missed = 0;
    int Slips = 0;
    int RightStreak = 0;
    TMemoryCard Card;
};

// Throw EDatabaseError on an engine error.
std::optional<TWordMemory> ReadWordMemory(const std::string &Spelling);
// The letters per second of the last limit words typed right at that level
// in that play mode, newest first.
std::vector<double> RecentTypingSpeeds(int level, int playMode, int limit);
std::vector<TWordSlipRecord> ReadWordSlips(const std::string &Spelling);
// Every word's reviews in the log, each word's in time order (marks as known
// are no reviews), for fitting the scheduler's weights to them.
std::vector<TWordReviews> LoggedReviews();
// How many reviews the log holds.
std::int64_t CountLoggedReviews();
// Words whose card is due before the instant (never-reviewed cards are not due).
std::int64_t CountDueWords(std::int64_t Before);
// The same words, most overdue first, at most Limit of them.
std::vector<TWordMemory> DueWords(std::int64_t Before, int Limit);
// Every word of the memory, by spelling.
std::vector<TWordMemory> AllWordMemories();
// The word at row position Row (from 0) of book BookId, read as toll gates
// read it; none when the book or the row is gone.
std::optional<TWordInfo> LoadBookRow(int BookId, int Row);

// The first word of book BookId spelt exactly so, as toll gates read it;
// none when the book has no such word.
std::optional<TWordInfo> FindBookWord(int BookId, const std::string &Spelling);

// The new-words book: "《我的生词本》" (GBK), class 8, listed in the book
// tree, word table "lib" + its id; made on the first word that goes in.
std::string NewWordsBookName();
// Its id, -1 while there is none.
int NewWordsBookId();
// True for its word table or its shuffled copy's.
bool IsNewWordsBookTable(const std::string &TableName);
// Its words in their order.
TWordInfos NewWordsBookWords();
// Adds a word by hand (nothing when it is in already). False on an engine
// failure.
bool AddToNewWordsBook(const TWordInfo &Word);
// "已掌握": the word leaves the new-words book and is not due for
// kKnownWordDays from NowMs. False on an engine failure.
bool MarkWordKnown(const TWordInfo &Word, std::int64_t NowMs);
// Puts the new-words book in its own order, most due first (words never
// reviewed first of all), rewriting it only when the order changes. False on
// an engine failure.
bool OrderNewWordsBook();
