#include "StudyProgressQueries.h"

#include <algorithm>
#include <map>
#include <optional>

#include <QDate>
#include <QDateTime>

#include "GbkText.h"
#include "Settings.h"
#include "StudyHabit.h"
#include "StoreLog.h"
#include "UBookType.h"
#include "UDataInterface.h"
#include "WordMemory.h"
#include "WordTables.h"

namespace {

struct TBookRow {
    std::string Name;  // GBK
    int WordCount = 0;
};

std::map<int, TBookRow> ReadBooks()
{
    std::map<int, TBookRow> Books;
    TSqlQuery Rows = DataInterface().Query("SELECT id, bookname, wordnumber FROM bookinfo");
    while (Rows.Next())
        Books[int(Rows.Integer(0))] = {Utf8ToGbk(Rows.Text(1)), int(Rows.Integer(2))};
    return Books;
}

// Words and toll gates outlive a deleted book; they are shown under this name.
std::string BookName(const std::map<int, TBookRow> &Books, int Id)
{
    const auto It = Books.find(Id);
    return It == Books.end() ? Gbk("（已删除的课本）") : It->second.Name;
}

// A book and its shuffled copy share a name and show as one book.
TBookProgress &BookFor(std::vector<TBookProgress> &Progress, const std::map<int, TBookRow> &Books,
                       int Id)
{
    const auto It = Books.find(Id);
    const std::string Name = BookName(Books, Id);
    auto Found = std::find_if(Progress.begin(), Progress.end(),
                              [&](const TBookProgress &Book) { return Book.BookName == Name; });
    if (Found == Progress.end()) {
        Progress.push_back({});
        Found = std::prev(Progress.end());
        Found->BookName = Name;
    }
    if (std::find(Found->BookIds.begin(), Found->BookIds.end(), Id) == Found->BookIds.end())
        Found->BookIds.push_back(Id);
    if (It != Books.end())
        Found->WordCount = std::max(Found->WordCount, It->second.WordCount);
    return *Found;
}

void ReadBookFigures(TStudyProgress &Progress, const std::map<int, TBookRow> &Books,
                     std::int64_t NowMs)
{
    // "+bookid" here and "+spelling" below: one pass over the table and a
    // sort of the few groups beat walking an index with a row lookup each.
    TSqlQuery Words = DataInterface().Query(
        "SELECT bookid, COUNT(*), SUM(stability >= ?), SUM(due > 0 AND due < ?) "
        "FROM wordmemory GROUP BY +bookid ORDER BY bookid",
        {LearntStabilityDays, NextLocalMidnightMs(NowMs)});
    while (Words.Next()) {
        TBookProgress &Book = BookFor(Progress.Books, Books, int(Words.Integer(0)));
        Book.Met += int(Words.Integer(1));
        Book.Learnt += int(Words.Integer(2));
        Book.Due += int(Words.Integer(3));
    }
    // Review games (book 0) are counted in their words' books, not here.
    TSqlQuery Gates = DataInterface().Query(
        "SELECT bookid, tollgate, COUNT(*), SUM(rightcount), SUM(errorcount) FROM playlog "
        "WHERE bookid > 0 GROUP BY bookid, tollgate ORDER BY bookid, tollgate");
    while (Gates.Next()) {
        const int Id = int(Gates.Integer(0));
        TTollGateAccuracy Gate;
        Gate.BookName = BookName(Books, Id);
        Gate.TollGate = int(Gates.Integer(1));
        Gate.Plays = int(Gates.Integer(2));
        Gate.Right = int(Gates.Integer(3));
        Gate.Errors = int(Gates.Integer(4));
        TBookProgress &Book = BookFor(Progress.Books, Books, Id);
        // A toll gate of the book and the same one of its shuffled copy are one.
        const auto Same = std::find_if(
            Progress.TollGates.begin(), Progress.TollGates.end(), [&](const TTollGateAccuracy &G) {
                return G.BookName == Gate.BookName && G.TollGate == Gate.TollGate;
            });
        if (Same == Progress.TollGates.end()) {
            ++Book.TollGatesPlayed;
            Progress.TollGates.push_back(Gate);
        } else {
            Same->Plays += Gate.Plays;
            Same->Right += Gate.Right;
            Same->Errors += Gate.Errors;
        }
        Book.Right += Gate.Right;
        Book.Errors += Gate.Errors;
    }
    // A shuffled copy's toll gates join its book's, in toll-gate order.
    const auto BookIndex = [&](const std::string &Name) {
        return std::find_if(Progress.Books.begin(), Progress.Books.end(),
                            [&](const TBookProgress &Book) { return Book.BookName == Name; })
               - Progress.Books.begin();
    };
    std::stable_sort(Progress.TollGates.begin(), Progress.TollGates.end(),
                     [&](const TTollGateAccuracy &A, const TTollGateAccuracy &B) {
                         return std::pair(BookIndex(A.BookName), A.TollGate)
                                < std::pair(BookIndex(B.BookName), B.TollGate);
                     });
}

// Each word counts from the day its stability first reached the learnt mark.
void ReadLearntOverTime(TStudyProgress &progress, const TStudyLog &log)
{
    int total = 0;
    std::int64_t dayEnd = 0;
    for (const std::int64_t at : log.FirstReached(LearntStabilityDays)) {
        ++total;
        // One local-time conversion per day, not per word.
        if (at < dayEnd) {
            progress.LearntOverTime.back().Learnt = total;
            continue;
        }
        dayEnd = NextLocalMidnightMs(at);
        const QDate day = QDateTime::fromMSecsSinceEpoch(at).date();
        progress.LearntOverTime.push_back({day.startOfDay().toMSecsSinceEpoch(), total});
    }
}

void ReadMistakes(TStudyProgress &Progress)
{
    TSqlQuery Missed =
        DataInterface().Query("SELECT spelling, missed, slips FROM wordmemory WHERE missed > 0 "
                              "ORDER BY missed DESC, slips DESC, spelling LIMIT ?",
                              {std::int64_t{MostMissedCount}});
    while (Missed.Next())
        Progress.MostMissed.push_back(
            {Utf8ToGbk(Missed.Text(0)), int(Missed.Integer(1)), int(Missed.Integer(2))});

    TSqlQuery Slips = DataInterface().Query(
        "SELECT expected, typed, COUNT(*) FROM wordslip GROUP BY expected, typed");
    std::map<unsigned char, TLetterSlips> Letters;
    std::map<unsigned char, int> MostTypedCount;
    while (Slips.Next()) {
        const auto Expected = static_cast<unsigned char>(Slips.Integer(0));
        const auto Typed = static_cast<unsigned char>(Slips.Integer(1));
        const int Count = int(Slips.Integer(2));
        TLetterSlips &Letter = Letters[Expected];
        Letter.Expected = Expected;
        Letter.Count += Count;
        if (Count > MostTypedCount[Expected]) {
            MostTypedCount[Expected] = Count;
            Letter.MostTyped = Typed;
        }
    }
    for (const auto &[Expected, Letter] : Letters)
        Progress.WeakLetters.push_back(Letter);
    std::stable_sort(
        Progress.WeakLetters.begin(), Progress.WeakLetters.end(),
        [](const TLetterSlips &A, const TLetterSlips &B) { return A.Count > B.Count; });
    if (Progress.WeakLetters.size() > std::size_t(WeakLetterCount))
        Progress.WeakLetters.resize(WeakLetterCount);
}

// Every row of a book's word table, in the order toll gates read them.
TWordInfos ReadBookWords(int BookId)
{
    TWordInfos Words;
    const std::string Table = GetBookTableName(BookId);
    if (Table.empty() || !TableExists(Table))
        return Words;
    const bool Scrambled = IsScrambleOn();
    TSqlQuery Rows = DataInterface().Query("SELECT spelling, pronunciation, meaning FROM "
                                           + QuoteIdentifier(GbkToUtf8(Table)) + " ORDER BY id");
    while (Rows.Next())
        Words.push_back(WordFromStoredRow(Rows, Scrambled));
    return Words;
}

}  // namespace

TStudyProgress ReadStudyProgress(std::int64_t NowMs)
{
    TStudyProgress progress = ReadBookProgress(NowMs, TStudyLog::Read());
    ReadMistakes(progress);
    return progress;
}

TStudyProgress ReadBookProgress(std::int64_t nowMs, const TStudyLog &log)
{
    TStudyProgress progress;
    const std::map<int, TBookRow> books = ReadBooks();
    ReadBookFigures(progress, books, nowMs);
    ReadLearntOverTime(progress, log);
    return progress;
}

void ReadStudyMistakes(TStudyProgress &progress)
{
    progress.MostMissed.clear();
    progress.WeakLetters.clear();
    ReadMistakes(progress);
}

std::vector<TStudyRecordRow> ReadStudyRecords()
{
    const std::map<int, TBookRow> Books = ReadBooks();
    std::map<int, TWordInfos> BookWords;  // read once per book, not once per word
    std::vector<TStudyRecordRow> Records;
    for (TWordMemory &Word : AllWordMemories()) {
        TStudyRecordRow Row;
        Row.BookName = BookName(Books, Word.BookId);
        auto Words = BookWords.find(Word.BookId);
        if (Words == BookWords.end())
            Words = BookWords.emplace(Word.BookId, ReadBookWords(Word.BookId)).first;
        // The row may have moved since; the meaning is shown only if it is still this word's.
        if (Word.BookRow >= 0 && Word.BookRow < int(Words->second.size())
            && Words->second[std::size_t(Word.BookRow)].Spelling == Word.Spelling)
            Row.Meaning = Words->second[std::size_t(Word.BookRow)].Meaning;
        Row.Spelling = std::move(Word.Spelling);
        Row.FirstSeen = Word.FirstSeen;
        Row.LastSeen = Word.LastSeen;
        Row.Seen = Word.Seen;
        Row.Right = Word.Right;
        Row.Missed = Word.Missed;
        Row.Slips = Word.Slips;
        Row.Card = Word.Card;
        Records.push_back(std::move(Row));
    }
    return Records;
}

TWordInfos WeakSpellingWords(int Limit)
{
    TWordInfos Words;
    TSqlQuery Rows =
        DataInterface().Query("SELECT spelling, bookid, bookrow FROM wordmemory WHERE slips > 0 "
                              "ORDER BY slips DESC, spelling LIMIT ?",
                              {std::int64_t{Limit}});
    while (Rows.Next()) {
        TWordInfo Word;
        Word.Spelling = Utf8ToGbk(Rows.Text(0));
        if (const std::optional<TWordInfo> Stored =
                LoadBookRow(int(Rows.Integer(1)), int(Rows.Integer(2)));
            Stored && Stored->Spelling == Word.Spelling)
            Word = *Stored;
        Words.push_back(std::move(Word));
    }
    return Words;
}

bool ClearStudyRecords()
{
    try {
        TSqlTransaction Transaction(DataInterface().Connection());
        for (const char *Table : {"wordslip", "reviewlog", "playlog", "wordmemory"})
            Transaction.Execute(std::string("DELETE FROM ") + Table);
        Transaction.Commit();
        return true;
    } catch (const EDatabaseError &Error) {
        qCWarning(lcStore) << "clearing the learning memory failed:" << Error.what();
        return false;
    }
}
