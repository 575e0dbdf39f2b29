#include "WordMemory.h"

#include <algorithm>
#include <map>
#include <set>

#include "ComputerIdentity.h"
#include "GbkText.h"
#include "Settings.h"
#include "StoreLog.h"
#include "TextUtils.h"
#include "UBookType.h"
#include "UDataInterface.h"
#include "WordTables.h"

namespace {

constexpr int kNewWordsClass = 8;

constexpr std::string_view kMemoryColumns =
    "spelling, firstseen, lastseen, bookid, bookrow, seen, rightcount, missed, slips, "
    "rightstreak, stability, difficulty, due, lastreview, reps, lapses, scheduleddays, state";

int toInt(std::int64_t value)
{
    return static_cast<int>(std::clamp<std::int64_t>(value, INT32_MIN, INT32_MAX));
}

// A row selected with kMemoryColumns.
TWordMemory memoryFromRow(const TSqlQuery &row)
{
    TWordMemory m;
    m.Spelling = Utf8ToGbk(row.Text(0));
    m.FirstSeen = row.Integer(1);
    m.LastSeen = row.Integer(2);
    m.BookId = toInt(row.Integer(3));
    m.BookRow = toInt(row.Integer(4));
    m.Seen = toInt(row.Integer(5));
    m.Right = toInt(row.Integer(6));
    m.Missed = toInt(row.Integer(7));
    m.Slips = toInt(row.Integer(8));
    m.RightStreak = toInt(row.Integer(9));
    m.Card.Stability = row.Real(10);
    m.Card.Difficulty = row.Real(11);
    m.Card.Due = row.Integer(12);
    m.Card.LastReview = row.Integer(13);
    m.Card.Reps = toInt(row.Integer(14));
    m.Card.Lapses = toInt(row.Integer(15));
    m.Card.ScheduledDays = toInt(row.Integer(16));
    m.Card.State = static_cast<TCardState>(std::clamp(toInt(row.Integer(17)), 0, 3));
    return m;
}

std::optional<TWordMemory> readMemory(TSqlConnection &connection, const std::string &utf8Spelling)
{
    TSqlQuery row = connection.Query("SELECT " + std::string(kMemoryColumns)
                                         + " FROM wordmemory WHERE spelling = ?",
                                     {utf8Spelling});
    if (!row.Next())
        return std::nullopt;
    return memoryFromRow(row);
}

std::vector<TSqlValue> cardValues(const TMemoryCard &card)
{
    return {card.Stability,
            card.Difficulty,
            card.Due,
            card.LastReview,
            std::int64_t{card.Reps},
            std::int64_t{card.Lapses},
            std::int64_t{card.ScheduledDays},
            std::int64_t{static_cast<int>(card.State)}};
}

// Writes a word's record as it now stands (inserted when new).
void writeMemory(TSqlTransaction &transaction, const TWordMemory &m, bool exists)
{
    std::vector<TSqlValue> values = {
        std::int64_t{m.FirstSeen}, std::int64_t{m.LastSeen}, std::int64_t{m.BookId},
        std::int64_t{m.BookRow},   std::int64_t{m.Seen},     std::int64_t{m.Right},
        std::int64_t{m.Missed},    std::int64_t{m.Slips},    std::int64_t{m.RightStreak}};
    for (TSqlValue &v : cardValues(m.Card))
        values.push_back(std::move(v));
    values.emplace_back(GbkToUtf8(m.Spelling));
    if (exists) {
        transaction.Execute(
            "UPDATE wordmemory SET firstseen = ?, lastseen = ?, bookid = ?, bookrow = ?, "
            "seen = ?, rightcount = ?, missed = ?, slips = ?, rightstreak = ?, stability = ?, "
            "difficulty = ?, due = ?, lastreview = ?, reps = ?, lapses = ?, scheduleddays = ?, "
            "state = ? WHERE spelling = ?",
            values);
    } else {
        transaction.Execute(
            "INSERT INTO wordmemory(firstseen, lastseen, bookid, bookrow, seen, rightcount, "
            "missed, slips, rightstreak, stability, difficulty, due, lastreview, reps, lapses, "
            "scheduleddays, state, spelling) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, "
            "?, ?, ?)",
            values);
    }
}

std::optional<TSqlQuery> newWordsBookRow()
{
    TSqlQuery row = DataInterface().Query(
        "SELECT id, storetablename FROM bookinfo WHERE bookclass = ? AND booktype = ? "
        "AND bookname = ? ORDER BY id LIMIT 1",
        {std::int64_t{kNewWordsClass}, std::int64_t{kBookTypeLetter},
         GbkToUtf8(NewWordsBookName())});
    if (!row.Next())
        return std::nullopt;
    return row;
}

bool containsSpelling(const TWordInfos &words, const std::string &spelling)
{
    return std::any_of(words.begin(), words.end(),
                       [&](const TWordInfo &w) { return w.Spelling == spelling; });
}

void insertWords(TSqlTransaction &transaction, const std::string &table, const TWordInfos &words,
                 const TColumnLimits &limits, bool scramble)
{
    transaction.Execute("DROP TABLE IF EXISTS " + QuoteIdentifier(GbkToUtf8(table)));
    transaction.Execute(WordTableSql(table, limits));
    const std::string insert = InsertWordSql(table);
    for (const TWordInfo &w : words)
        transaction.Execute(insert, {StoredWordText(w.Spelling, scramble),
                                     StoredWordText(w.Pronunciation, scramble),
                                     StoredWordText(w.Meaning, scramble)});
}

// Writes the new-words book with exactly these words in this order, made on
// the first call, and rebuilds its shuffled copy if it has one. The tables
// are made anew, so their ids run 1 … n as every word table's do.
void writeNewWordsBook(TSqlTransaction &transaction, int &bookId, const TWordInfos &words)
{
    TDataInterface &db = DataInterface();
    const bool scramble = IsScrambleOn();
    if (bookId < 0) {
        bookId = NextBookId();
        // A table left over from elsewhere keeps its name and its rows.
        while (TableExists(LibraryTableName(bookId)))
            ++bookId;
        transaction.Execute(
            "INSERT INTO bookinfo(id, bookname, wordnumber, storetablename, booktype, bookclass, "
            "isdefault) VALUES(?, ?, 0, ?, ?, ?, 1)",
            {std::int64_t{bookId}, GbkToUtf8(NewWordsBookName()),
             GbkToUtf8(LibraryTableName(bookId)), std::int64_t{kBookTypeLetter},
             std::int64_t{kNewWordsClass}});
    }
    const std::string table = GetBookTableName(bookId);
    insertWords(transaction, table, words, kLibraryLimits, scramble);
    transaction.Execute("UPDATE bookinfo SET wordnumber = ? WHERE id = ?",
                        {static_cast<std::int64_t>(words.size()), std::int64_t{bookId}});

    const std::string copy = ShuffledTableName(bookId);
    std::int64_t copyId = -1;
    {
        // Closed before the table is dropped: a statement in use locks it.
        TSqlQuery copyRow = db.Query(
            "SELECT id FROM bookinfo WHERE booktype = ? AND storetablename = ? COLLATE NOCASE",
            {std::int64_t{kBookTypeShuffled}, GbkToUtf8(copy)});
        if (!copyRow.Next())
            return;
        copyId = copyRow.Integer(0);
    }
    TIntAry order(words.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<std::int32_t>(i);
    ShuffleIntAry(order);
    TWordInfos shuffled;
    shuffled.reserve(words.size());
    for (const std::int32_t i : order)
        shuffled.push_back(words[static_cast<size_t>(i)]);
    insertWords(transaction, copy, shuffled, kShuffledLimits, scramble);
    transaction.Execute("UPDATE bookinfo SET wordnumber = ? WHERE id = ?",
                        {static_cast<std::int64_t>(words.size()), copyId});
}

template <typename Change>
bool changeNewWordsBook(const char *what, Change change)
{
    try {
        TSqlTransaction transaction(DataInterface().Connection());
        int bookId = NewWordsBookId();
        TWordInfos words = bookId >= 0 ? NewWordsBookWords() : TWordInfos{};
        if (change(transaction, words))
            writeNewWordsBook(transaction, bookId, words);
        transaction.Commit();
        return true;
    } catch (const EDatabaseError &e) {
        qCWarning(lcStore) << what << "failed:" << e.what();
        return false;
    }
}

}  // namespace

bool RecordTollGate(const TTollGatePlay &Play, const std::vector<TWordMeeting> &Words,
                    const TCardReview &Review)
{
    TSqlConnection &connection = DataInterface().Connection();
    TSqlTransaction transaction(connection);
    int bookId = NewWordsBookId();
    TWordInfos newWords = bookId >= 0 ? NewWordsBookWords() : TWordInfos{};
    bool changed = false;
    // A global id for each review-log and slip row and the play-log row.
    std::int64_t logRows = 1;
    for (const TWordMeeting &meeting : Words)
        logRows += 1 + static_cast<std::int64_t>(meeting.Slips.size());
    const TGlobalIdRange ids = ReserveGlobalIds(transaction, logRows);
    std::int64_t sequence = ids.First;

    for (const TWordMeeting &meeting : Words) {
        const std::string utf8 = GbkToUtf8(meeting.Word.Spelling);
        if (utf8.empty())
            continue;
        const std::optional<TWordMemory> stored = readMemory(connection, utf8);
        TWordMemory m = stored.value_or(TWordMemory{});
        if (!stored) {
            m.Spelling = meeting.Word.Spelling;
            m.FirstSeen = Play.At;
        }
        m.LastSeen = Play.At;
        if (meeting.BookRow >= 0) {
            m.BookId = meeting.BookId;
            m.BookRow = meeting.BookRow;
        }
        m.Seen += meeting.Seen;
        m.Right += meeting.Right;
        m.Missed += meeting.Missed;
        m.Slips += static_cast<int>(meeting.Slips.size());
        m.RightStreak = meeting.Rating == TRating::Again ? 0 : m.RightStreak + 1;
        m.Card = Review(m.Card, meeting.Rating, Play.At);
        writeMemory(transaction, m, stored.has_value());

        for (const TWordSlipRecord &slip : meeting.Slips)
            transaction.Execute(
                "INSERT INTO wordslip(spelling, at, position, expected, typed, origin, originseq) "
                "VALUES(?, ?, ?, ?, ?, ?, ?)",
                {utf8, Play.At, std::int64_t{slip.Position}, std::int64_t{slip.Expected},
                 std::int64_t{slip.Typed}, ids.Computer, sequence++});
        const TTypingTimes &typing = meeting.Typing;
        std::vector<TSqlValue> log = {
            utf8,
            Play.At,
            std::int64_t{static_cast<int>(meeting.Rating)},
            m.Card.Stability,
            m.Card.Difficulty,
            m.Card.Due,
            std::int64_t{static_cast<int>(m.Card.State)},
            std::int64_t{Play.Level},
            std::int64_t{meeting.PlayMode},
            typing.FirstKeyMs >= 0 ? TSqlValue{typing.FirstKeyMs} : TSqlValue{},
            typing.LastKeyMs >= 0 ? TSqlValue{typing.LastKeyMs} : TSqlValue{},
            typing.LettersPerSecond > 0 ? TSqlValue{typing.LettersPerSecond} : TSqlValue{},
            std::int64_t{meeting.Seen},
            std::int64_t{meeting.Right},
            std::int64_t{meeting.Missed},
            meeting.BookRow >= 0 ? TSqlValue{std::int64_t{meeting.BookId}} : TSqlValue{},
            meeting.BookRow >= 0 ? TSqlValue{std::int64_t{meeting.BookRow}} : TSqlValue{},
            ids.Computer,
            sequence++};
        transaction.Execute(
            "INSERT INTO reviewlog(spelling, at, rating, stability, difficulty, due, state, "
            "level, playmode, firstkeyms, lastkeyms, letterspersec, seen, rightcount, missed, "
            "bookid, bookrow, origin, originseq) "
            "VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
            log);

        const bool inBook = containsSpelling(newWords, meeting.Word.Spelling);
        if (meeting.Rating == TRating::Again && !inBook) {
            newWords.push_back(meeting.Word);
            changed = true;
        } else if (inBook && m.RightStreak >= kGraduationStreak) {
            std::erase_if(newWords,
                          [&](const TWordInfo &w) { return w.Spelling == meeting.Word.Spelling; });
            changed = true;
        }
    }

    transaction.Execute(
        "INSERT INTO playlog(at, bookid, tollgate, level, rightcount, errorcount, review, origin, "
        "originseq) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?)",
        {Play.At, std::int64_t{Play.BookId}, std::int64_t{Play.TollGate}, std::int64_t{Play.Level},
         std::int64_t{Play.Right}, std::int64_t{Play.Errors}, std::int64_t{Play.Review ? 1 : 0},
         ids.Computer, sequence});
    if (changed)
        writeNewWordsBook(transaction, bookId, newWords);
    transaction.Commit();
    return changed;
}

namespace {

void writeCard(TSqlTransaction &transaction, const std::string &utf8Spelling,
               const TMemoryCard &card)
{
    std::vector<TSqlValue> values = cardValues(card);
    values.emplace_back(utf8Spelling);
    transaction.Execute("UPDATE wordmemory SET stability = ?, difficulty = ?, due = ?, "
                        "lastreview = ?, reps = ?, lapses = ?, scheduleddays = ?, state = ? "
                        "WHERE spelling = ?",
                        values);
}

}  // namespace

int ReplayWordMemory(const TCardReview &review)
{
    TSqlTransaction transaction(DataInterface().Connection());
    const int rebuilt = ReplayWordMemory(transaction, review);
    transaction.Commit();
    return rebuilt;
}

int ReplayWordMemory(TSqlTransaction &transaction, const TCardReview &review)
{
    TSqlConnection &connection = DataInterface().Connection();
    int rebuilt = 0;
    std::string spelling;
    TMemoryCard card;
    bool any = false;
    {
        // The log is read whole first: a statement in use would see its own updates.
        struct TRow {
            std::string Spelling;
            std::int64_t At;
            int Rating;
        };
        std::vector<TRow> rows;
        TSqlQuery log = connection.Query("SELECT spelling, at, rating FROM reviewlog ORDER BY "
                                         + std::string(kReplayOrder));
        while (log.Next())
            rows.push_back({log.Text(0), log.Integer(1), toInt(log.Integer(2))});
        for (const TRow &row : rows) {
            if (!any || row.Spelling != spelling) {
                if (any) {
                    writeCard(transaction, spelling, card);
                    ++rebuilt;
                }
                spelling = row.Spelling;
                card = TMemoryCard{};
                any = true;
            }
            if (row.Rating == kKnownMark)
                card.Due = row.At + kKnownWordDays * DayMs;
            else if (row.Rating >= static_cast<int>(TRating::Again)
                     && row.Rating <= static_cast<int>(TRating::Easy))
                card = review(card, static_cast<TRating>(row.Rating), row.At);
        }
    }
    if (any) {
        writeCard(transaction, spelling, card);
        ++rebuilt;
    }
    return rebuilt;
}

bool RebuildMergedWords(TSqlTransaction &transaction, const std::vector<TMergedWordShare> &shares,
                        const TCardReview &review, const TWordInfos &senderWords)
{
    TSqlConnection &connection = DataInterface().Connection();
    std::set<std::string> touched;  // UTF-8
    for (const TMergedWordShare &share : shares) {
        const std::string utf8 = GbkToUtf8(share.Spelling);
        if (utf8.empty())
            continue;
        touched.insert(utf8);
        const std::optional<TWordMemory> stored = readMemory(connection, utf8);
        TWordMemory m = stored.value_or(TWordMemory{});
        if (!stored) {
            m.Spelling = share.Spelling;
            m.FirstSeen = share.FirstAt >= 0 ? share.FirstAt : share.LastAt;
            m.LastSeen = m.FirstSeen;
        } else if (share.FirstAt >= 0) {
            m.FirstSeen = std::min(m.FirstSeen, share.FirstAt);
        }
        m.LastSeen = std::max(m.LastSeen, share.LastAt);
        m.Seen += share.Seen;
        m.Right += share.Right;
        m.Missed += share.Missed;
        m.Slips += share.Slips;
        {
            TSqlQuery place = transaction.Query(
                "SELECT bookid, bookrow FROM reviewlog WHERE spelling = ? AND bookrow >= 0 "
                "ORDER BY at DESC, origin DESC, originseq DESC, id DESC LIMIT 1",
                {utf8});
            if (place.Next()) {
                m.BookId = toInt(place.Integer(0));
                m.BookRow = toInt(place.Integer(1));
            }
        }
        writeMemory(transaction, m, stored.has_value());
    }
    ReplayWordMemory(transaction, review);

    // The book and every word's rights in a row, as the log made them, in
    // the order every computer replays it.
    struct TLogged {
        std::string Spelling;  // UTF-8
        int Rating;
    };
    std::vector<TLogged> log;
    {
        TSqlQuery rows = transaction.Query(
            "SELECT spelling, rating FROM reviewlog ORDER BY at, origin, originseq, id");
        while (rows.Next())
            log.push_back({rows.Text(0), toInt(rows.Integer(1))});
    }
    std::map<std::string, int> streaks;
    std::vector<std::string> inBook;
    for (const TLogged &row : log) {
        int &streak = streaks[row.Spelling];
        const auto place = std::find(inBook.begin(), inBook.end(), row.Spelling);
        if (row.Rating == kKnownMark) {
            streak = std::max(streak, kGraduationStreak);
            if (place != inBook.end())
                inBook.erase(place);
            continue;
        }
        streak = row.Rating == static_cast<int>(TRating::Again) ? 0 : streak + 1;
        if (row.Rating == static_cast<int>(TRating::Again) && place == inBook.end())
            inBook.push_back(row.Spelling);
        else if (place != inBook.end() && streak >= kGraduationStreak)
            inBook.erase(place);
    }
    for (const std::string &utf8 : touched) {
        const auto streak = streaks.find(utf8);
        if (streak != streaks.end())
            transaction.Execute("UPDATE wordmemory SET rightstreak = ? WHERE spelling = ?",
                                {std::int64_t{streak->second}, utf8});
    }

    int bookId = NewWordsBookId();
    const TWordInfos current = bookId >= 0 ? NewWordsBookWords() : TWordInfos{};
    std::map<std::string, TWordInfo> known;  // by UTF-8 spelling
    for (const TWordInfos *words : {&senderWords, &current})
        for (const TWordInfo &w : *words)
            known[GbkToUtf8(w.Spelling)] = w;
    TWordInfos rebuilt;
    for (const std::string &utf8 : inBook) {
        if (const auto it = known.find(utf8); it != known.end()) {
            rebuilt.push_back(it->second);
            continue;
        }
        TWordInfo word;
        word.Spelling = Utf8ToGbk(utf8);
        if (const std::optional<TWordMemory> m = readMemory(connection, utf8))
            if (const std::optional<TWordInfo> row = LoadBookRow(m->BookId, m->BookRow);
                row && row->Spelling == word.Spelling)
                word = *row;
        rebuilt.push_back(word);
    }
    for (const auto &[utf8, word] : known)  // by spelling
        if (streaks.count(utf8) == 0)
            rebuilt.push_back(word);
    if (rebuilt == current || (bookId < 0 && rebuilt.empty()))
        return false;
    writeNewWordsBook(transaction, bookId, rebuilt);
    return true;
}

std::optional<TWordMemory> ReadWordMemory(const std::string &Spelling)
{
    return readMemory(DataInterface().Connection(), GbkToUtf8(Spelling));
}

std::vector<double> RecentTypingSpeeds(int level, int playMode, int limit)
{
    std::vector<double> speeds;
    TSqlQuery rows = DataInterface().Query(
        "SELECT letterspersec FROM reviewlog WHERE level = ? AND playmode = ? "
        "AND letterspersec IS NOT NULL ORDER BY at DESC, id DESC LIMIT ?",
        {std::int64_t{level}, std::int64_t{playMode}, std::int64_t{limit}});
    while (rows.Next())
        speeds.push_back(rows.Real(0));
    return speeds;
}

std::vector<TWordSlipRecord> ReadWordSlips(const std::string &Spelling)
{
    std::vector<TWordSlipRecord> slips;
    TSqlQuery rows = DataInterface().Query(
        "SELECT position, expected, typed FROM wordslip WHERE spelling = ? ORDER BY id",
        {GbkToUtf8(Spelling)});
    while (rows.Next())
        slips.push_back({toInt(rows.Integer(0)), static_cast<unsigned char>(rows.Integer(1)),
                         static_cast<unsigned char>(rows.Integer(2))});
    return slips;
}

std::vector<TWordReviews> LoggedReviews()
{
    std::vector<TWordReviews> words;
    TSqlQuery rows = DataInterface().Query(
        "SELECT spelling, at, rating FROM reviewlog WHERE rating BETWEEN 1 AND 4 "
        "ORDER BY spelling, at, id");
    std::string spelling;
    while (rows.Next()) {
        std::string next = rows.Text(0);
        if (words.empty() || next != spelling) {
            words.emplace_back();
            spelling = std::move(next);
        }
        words.back().push_back({rows.Integer(1), static_cast<TRating>(rows.Integer(2))});
    }
    return words;
}

std::int64_t CountLoggedReviews()
{
    TSqlQuery row =
        DataInterface().Query("SELECT count(*) FROM reviewlog WHERE rating BETWEEN 1 AND 4");
    return row.Next() ? row.Integer(0) : 0;
}

std::int64_t CountDueWords(std::int64_t Before)
{
    TSqlQuery row = DataInterface().Query(
        "SELECT count(*) FROM wordmemory WHERE due > 0 AND due < ?", {Before});
    return row.Next() ? row.Integer(0) : 0;
}

std::vector<TWordMemory> DueWords(std::int64_t Before, int Limit)
{
    std::vector<TWordMemory> words;
    TSqlQuery rows = DataInterface().Query(
        "SELECT " + std::string(kMemoryColumns)
            + " FROM wordmemory WHERE due > 0 AND due < ? ORDER BY due, spelling LIMIT ?",
        {Before, std::int64_t{Limit}});
    while (rows.Next())
        words.push_back(memoryFromRow(rows));
    return words;
}

std::vector<TWordMemory> AllWordMemories()
{
    std::vector<TWordMemory> words;
    TSqlQuery rows = DataInterface().Query("SELECT " + std::string(kMemoryColumns)
                                           + " FROM wordmemory ORDER BY spelling");
    while (rows.Next())
        words.push_back(memoryFromRow(rows));
    return words;
}

std::optional<TWordInfo> LoadBookRow(int BookId, int Row)
{
    if (Row < 0)
        return std::nullopt;
    const std::string table = GetBookTableName(BookId);
    if (table.empty() || !TableExists(table))
        return std::nullopt;
    TSqlQuery rows = DataInterface().Query("SELECT spelling, pronunciation, meaning FROM "
                                               + QuoteIdentifier(GbkToUtf8(table))
                                               + " ORDER BY id LIMIT 1 OFFSET ?",
                                           {std::int64_t{Row}});
    if (!rows.Next())
        return std::nullopt;
    return WordFromStoredRow(rows, IsScrambleOn());
}

std::optional<TWordInfo> FindBookWord(int BookId, const std::string &Spelling)
{
    const std::string table = GetBookTableName(BookId);
    if (table.empty() || !TableExists(table))
        return std::nullopt;
    const bool scrambled = IsScrambleOn();
    const std::string quoted = QuoteIdentifier(GbkToUtf8(table));
    if (!scrambled) {
        TSqlQuery row =
            DataInterface().Query("SELECT spelling, pronunciation, meaning FROM " + quoted
                                      + " WHERE spelling = ? ORDER BY id LIMIT 1",
                                  {GbkToUtf8(Spelling)});
        if (!row.Next())
            return std::nullopt;
        return WordFromStoredRow(row, false);
    }
    // Scrambled text differs from one storing to the next: read every word.
    TSqlQuery rows = DataInterface().Query("SELECT spelling, pronunciation, meaning FROM " + quoted
                                           + " ORDER BY id");
    while (rows.Next()) {
        TWordInfo word = WordFromStoredRow(rows, true);
        if (word.Spelling == Spelling)
            return word;
    }
    return std::nullopt;
}

std::string NewWordsBookName()
{
    return Gbk("《我的生词本》");
}

int NewWordsBookId()
{
    const std::optional<TSqlQuery> row = newWordsBookRow();
    return row ? toInt(row->Integer(0)) : -1;
}

bool IsNewWordsBookTable(const std::string &TableName)
{
    const int id = NewWordsBookId();
    if (id < 0)
        return false;
    const QString name = GbkToQString(TableName);
    return name.compare(GbkToQString(GetBookTableName(id)), Qt::CaseInsensitive) == 0
           || name.compare(GbkToQString(ShuffledTableName(id)), Qt::CaseInsensitive) == 0;
}

TWordInfos NewWordsBookWords()
{
    TWordInfos words;
    const int id = NewWordsBookId();
    if (id < 0)
        return words;
    TSqlQuery rows =
        DataInterface().Query("SELECT spelling, pronunciation, meaning FROM "
                              + QuoteIdentifier(GbkToUtf8(GetBookTableName(id))) + " ORDER BY id");
    const bool scrambled = IsScrambleOn();
    while (rows.Next())
        words.push_back(WordFromStoredRow(rows, scrambled));
    return words;
}

bool AddToNewWordsBook(const TWordInfo &Word)
{
    if (Word.Spelling.empty())
        return false;
    return changeNewWordsBook(__func__, [&](TSqlTransaction &, TWordInfos &words) {
        if (containsSpelling(words, Word.Spelling))
            return false;
        words.push_back(Word);
        return true;
    });
}

bool MarkWordKnown(const TWordInfo &Word, std::int64_t NowMs)
{
    if (Word.Spelling.empty())
        return false;
    return changeNewWordsBook(__func__, [&](TSqlTransaction &transaction, TWordInfos &words) {
        TSqlConnection &connection = DataInterface().Connection();
        const std::optional<TWordMemory> stored = readMemory(connection, GbkToUtf8(Word.Spelling));
        TWordMemory m = stored.value_or(TWordMemory{});
        if (!stored) {
            m.Spelling = Word.Spelling;
            m.FirstSeen = NowMs;
            m.LastSeen = NowMs;
        }
        m.Card.Due = NowMs + kKnownWordDays * DayMs;
        m.RightStreak = std::max(m.RightStreak, kGraduationStreak);
        writeMemory(transaction, m, stored.has_value());
        // Logged, so that a card rebuilt from its log keeps the mark.
        const TGlobalIdRange id = ReserveGlobalIds(transaction, 1);
        transaction.Execute(
            "INSERT INTO reviewlog(spelling, at, rating, stability, difficulty, due, state, "
            "seen, rightcount, missed, origin, originseq) VALUES(?, ?, ?, ?, ?, ?, ?, 0, 0, 0, "
            "?, ?)",
            {GbkToUtf8(Word.Spelling), NowMs, std::int64_t{kKnownMark}, m.Card.Stability,
             m.Card.Difficulty, m.Card.Due, std::int64_t{static_cast<int>(m.Card.State)},
             id.Computer, id.First});
        const auto before = words.size();
        std::erase_if(words, [&](const TWordInfo &w) { return w.Spelling == Word.Spelling; });
        return words.size() != before;
    });
}

bool OrderNewWordsBook()
{
    return changeNewWordsBook(__func__, [](TSqlTransaction &, TWordInfos &words) {
        if (words.size() < 2)
            return false;
        std::map<std::string, std::int64_t> due;
        for (const TWordInfo &w : words)
            if (const std::optional<TWordMemory> m = ReadWordMemory(w.Spelling))
                due[w.Spelling] = m->Card.Due;
        const auto dueOf = [&](const TWordInfo &w) {
            const auto it = due.find(w.Spelling);
            return it == due.end() ? 0 : it->second;
        };
        TWordInfos ordered = words;
        std::stable_sort(
            ordered.begin(), ordered.end(),
            [&](const TWordInfo &a, const TWordInfo &b) { return dueOf(a) < dueOf(b); });
        if (ordered == words)
            return false;
        words = std::move(ordered);
        return true;
    });
}
