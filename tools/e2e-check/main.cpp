// Looks into a program folder from the outside, for the end-to-end test.
//
//   e2e-check words DIR GATE   prints the spellings of toll gate GATE of the
//                              book the settings name, lower case, one a line
//   e2e-check book DIR FILE    imports the GBK word list FILE as a new book
//                              "《E2E》" and points the settings at its toll
//                              gate 1, level 1, in its own order
//   e2e-check score DIR NAME   prints the best leaderboard score of NAME
//   e2e-check due DIR N        makes the words of the saved book's first N
//                              toll gates due today, as missed two days ago
//   e2e-check examples DIR WORD prints the example sentences the reference
//                              data beside DIR hold for WORD, one a line
//   e2e-check modes DIR WORD   prints the play mode of each review-log row
//                              of WORD, oldest first, one a line
//   e2e-check verify DIR NAME  checks what a game of toll gate 1 left behind:
//                              a leaderboard record of NAME above 0 points,
//                              the settings at toll gate 2, toll gates 1
//                              and 2 of the book in UseRecord.txt, and the
//                              learning memory: a rated record of each word
//                              of toll gate 1 at its row of the book, the
//                              typing times of the words typed right, and a
//                              play-log row for the opening toll gate
//
// DIR is the program folder. Exit status 0 when all is well; every finding is
// printed, so a failed run says what it saw.
#include <cstdio>
#include <cstdlib>
#include <map>
#include <random>
#include <exception>
#include <optional>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <QDateTime>

#include "FsrsScheduler.h"
#include "GbkText.h"
#include "ReferenceData.h"
#include "Records.h"
#include "Settings.h"
#include "TextUtils.h"
#include "StoreProgress.h"
#include "UBookType.h"
#include "UDataInterface.h"
#include "UImpExpLib.h"
#include "WordMemory.h"
#include "WordTables.h"

namespace {

int usage()
{
    std::fprintf(stderr, "usage: e2e-check words DIR GATE | book DIR FILE | score DIR NAME"
                         " | due DIR N | season DIR DAYS | examples DIR WORD | modes DIR WORD"
                         " | verify DIR NAME\n");
    return 2;
}

int printWords(int gate)
{
    TGamePara para;
    LoadGamePara(para);
    para.WordsPerGate = 20;
    TWordInfos words;
    if (!LoadTollGateWords(para, gate, words) || words.empty()) {
        std::fprintf(stderr, "no words in toll gate %d of %s\n", gate, para.StoreTableName.c_str());
        return 1;
    }
    for (const TWordInfo &word : words)
        std::printf("%s\n", LowerAscii(word.Spelling).c_str());
    return 0;
}

// The file's lines; false when a line does not end in CR LF.
bool readCrLfLines(const std::string &path, std::vector<std::string> &lines, std::string &raw)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    raw = s.str();
    size_t start = 0;
    while (start < raw.size()) {
        const size_t end = raw.find("\r\n", start);
        if (end == std::string::npos)
            return false;
        lines.push_back(raw.substr(start, end - start));
        start = end + 2;
    }
    return true;
}

int importBook(const std::string &file)
{
    const int id = NextBookId();
    TQuietProgress progress(false);
    if (!ImportWordLibrary(QString::fromStdString(file), Gbk("《E2E》"), progress, 4)) {
        std::fprintf(stderr, "the word list %s was not imported\n", file.c_str());
        return 1;
    }
    TGamePara para;
    para.StoreTableName = LibraryTableName(id);
    para.BookName = Gbk("《E2E》");
    para.WordCount = GetBookWordNumber(id);
    para.TollGateIndex = 1;
    para.Level = 1;
    para.BookType = 0;
    SaveGamePara(para);
    std::printf("%s %d words\n", para.StoreTableName.c_str(), para.WordCount);
    return para.WordCount > 0 ? 0 : 1;
}

int makeDue(int gates)
{
    TGamePara para;
    LoadGamePara(para);
    para.WordsPerGate = 20;
    const int bookId = GetBookId(para.BookName, para.BookType);
    const std::int64_t at = QDateTime::currentMSecsSinceEpoch() - 2 * DayMs;
    for (int gate = 1; gate <= gates; ++gate) {
        TWordInfos words;
        LoadTollGateWords(para, gate, words);
        std::vector<TWordMeeting> meetings;
        for (size_t k = 0; k < words.size(); ++k) {
            TWordMeeting m;
            m.Word = words[k];
            m.BookId = bookId;
            m.BookRow = (gate - 1) * 20 + static_cast<int>(k);
            m.Missed = 1;
            m.Rating = TRating::Again;
            meetings.push_back(m);
        }
        RecordTollGate({at, bookId, gate, para.Level, 0, static_cast<int>(words.size()), false},
                       meetings, ReviewCard);
    }
    std::printf("%lld words due\n", static_cast<long long>(CountDueWords(
                                        NextLocalMidnightMs(QDateTime::currentMSecsSinceEpoch()))));
    return 0;
}

// DAYS days of play up to yesterday by a learner whose memory is not the
// defaults': each day a toll gate of the words due and fifteen new ones from
// the book, each recalled as that learner's memory says (a fixed seed).
int playSeason(int days)
{
    TGamePara para;
    LoadGamePara(para);
    para.WordsPerGate = 15;
    const int bookId = GetBookId(para.BookName, para.BookType);
    TFsrsParameters learner;
    learner.Weights[0] = 1.1;
    learner.Weights[2] = 6.5;
    learner.Weights[8] = 1.2;
    learner.Weights[20] = 0.45;
    std::mt19937_64 random(3);
    std::uniform_real_distribution<double> uniform(0, 1);
    struct TLearnt {
        TWordMeeting Meeting;
        TMemoryCard Truth;
    };
    std::map<std::string, TLearnt> learnt;
    const std::int64_t today = QDateTime::currentMSecsSinceEpoch();
    for (int day = 0; day < days; ++day) {
        const std::int64_t at = today - (days - day) * DayMs;
        std::vector<TWordMeeting> meetings;
        for (const TWordMemory &due : DueWords(at, 200)) {
            TLearnt &word = learnt[due.Spelling];
            const bool recalled = uniform(random) < Retrievability(word.Truth, at, learner);
            word.Meeting.Rating = recalled
                                      ? (uniform(random) < 0.15 ? TRating::Hard : TRating::Good)
                                      : TRating::Again;
            meetings.push_back(word.Meeting);
        }
        TWordInfos words;
        LoadTollGateWords(para, day + 1, words);
        for (size_t k = 0; k < words.size(); ++k) {
            if (learnt.count(words[k].Spelling) > 0)
                continue;
            TWordMeeting m;
            m.Word = words[k];
            m.BookId = bookId;
            m.BookRow = day * 15 + static_cast<int>(k);
            m.Rating = uniform(random) < 0.3 ? TRating::Again : TRating::Good;
            learnt[words[k].Spelling] = {m, {}};
            meetings.push_back(m);
        }
        int right = 0;
        for (TWordMeeting &m : meetings) {
            m.Right = m.Rating == TRating::Again ? 0 : 1;
            m.Missed = 1 - m.Right;
            right += m.Right;
            TLearnt &word = learnt[m.Word.Spelling];
            word.Truth = ReviewCardWith(word.Truth, m.Rating, at, learner);
        }
        const int missed = static_cast<int>(meetings.size()) - right;
        RecordTollGate({at, bookId, day + 1, para.Level, right, missed, false}, meetings,
                       ReviewCard);
    }
    std::printf("%lld reviews\n", static_cast<long long>(CountLoggedReviews()));
    return 0;
}

int printScore(const std::string &name)
{
    long long best = -1;
    for (const TGameRecordItem &item : LoadGameRecords())
        if (item.Name == name)
            best = std::max(best, static_cast<long long>(item.Score));
    if (best < 0) {
        std::fprintf(stderr, "no record of %s\n", name.c_str());
        return 1;
    }
    std::printf("%lld\n", best);
    return 0;
}

// Every word of toll gate 1 was met in the opening list (it holds the toll
// gate twice) and typed or missed: one record each, reviewed once, at its row.
bool verifyMemory(const TGamePara &saved)
{
    bool ok = true;
    TGamePara para = saved;
    para.WordsPerGate = 20;
    TWordInfos words;
    LoadTollGateWords(para, 1, words);
    const int bookId = GetBookId(para.BookName, para.BookType);
    std::printf("learning memory of toll gate 1 (book %d):\n", bookId);
    int timed = 0;
    for (size_t row = 0; row < words.size(); ++row) {
        const std::optional<TWordMemory> m = ReadWordMemory(words[row].Spelling);
        if (!m) {
            std::printf("FAIL: no memory of %s\n", words[row].Spelling.c_str());
            ok = false;
            continue;
        }
        std::printf(
            "  %s seen %d right %d missed %d slips %d book %d row %d reps %d due in %.1f days\n",
            m->Spelling.c_str(), m->Seen, m->Right, m->Missed, m->Slips, m->BookId, m->BookRow,
            m->Card.Reps,
            static_cast<double>(m->Card.Due - m->LastSeen) / static_cast<double>(DayMs));
        if (m->Card.Reps != 1 || m->Card.Due <= m->LastSeen || m->Right + m->Missed != 2
            || m->BookId != bookId || m->BookRow != static_cast<int>(row)) {
            std::printf("FAIL: %s is not one rated meeting of two at row %zu\n",
                        m->Spelling.c_str(), row);
            ok = false;
        }
        if (m->Right == 0)
            continue;
        // A word typed right has its speed; its key times need its box shown
        // whole first, which a quick typist may not wait for.
        TSqlQuery typing = DataInterface().Query(
            "SELECT firstkeyms IS NOT NULL AND lastkeyms IS NOT NULL, letterspersec > 0, "
            "firstkeyms, lastkeyms, letterspersec FROM reviewlog WHERE spelling = ?",
            {GbkToUtf8(words[row].Spelling)});
        if (!typing.Next() || typing.Integer(1) != 1) {
            std::printf("FAIL: %s was typed right but has no letters per second\n",
                        m->Spelling.c_str());
            ok = false;
            continue;
        }
        timed += typing.Integer(0) == 1 ? 1 : 0;
        std::printf("    first key %lld ms, last key %lld ms, %.1f letters a second\n",
                    static_cast<long long>(typing.Integer(2)),
                    static_cast<long long>(typing.Integer(3)), typing.Real(4));
    }
    if (timed == 0) {
        std::printf("FAIL: no word of toll gate 1 has its key times\n");
        ok = false;
    }
    TSqlQuery plays = DataInterface().Query(
        "SELECT count(*) FROM playlog WHERE bookid = ? AND tollgate = 1 AND review = 0 "
        "AND rightcount + errorcount = 40",
        {std::int64_t{bookId}});
    if (!plays.Next() || plays.Integer(0) != 1) {
        std::printf("FAIL: no play-log row for the opening toll gate of 40 words\n");
        ok = false;
    }
    return ok;
}

int verify(const std::string &name)
{
    bool ok = true;

    std::printf("leaderboard:\n");
    bool recorded = false;
    for (const TGameRecordItem &item : LoadGameRecords()) {
        std::printf("  %d. %s %lld\n", item.Rank, GbkToUtf8(item.Name).c_str(),
                    static_cast<long long>(item.Score));
        recorded = recorded || (item.Name == name && item.Score > 0);
    }
    if (!recorded) {
        std::printf("FAIL: no record of %s with a score above 0\n", name.c_str());
        ok = false;
    }

    TGamePara para;
    LoadGamePara(para);
    std::printf("settings: %s %s toll gate %d level %d book type %d\n", para.StoreTableName.c_str(),
                GbkToUtf8(para.BookName).c_str(), para.TollGateIndex, para.Level, para.BookType);
    if (para.TollGateIndex != 2) {
        std::printf("FAIL: the settings say toll gate %d, not 2\n", para.TollGateIndex);
        ok = false;
    }

    std::vector<std::string> lines;
    std::string raw;
    const bool crlf = readCrLfLines(ProgramPath("UseRecord.txt"), lines, raw);
    std::printf("UseRecord.txt (%zu bytes):\n", raw.size());
    bool gate1 = false, gate2 = false;
    for (const std::string &line : lines) {
        std::printf("  %s\n", GbkToUtf8(line).c_str());
        TStringList fields;
        SplitText(line, "#@#", fields);
        if (fields.size() != 6 || fields[0] != para.StoreTableName || fields[2] != para.BookName)
            continue;
        gate1 = gate1 || fields[4] == "1";
        gate2 = gate2 || fields[4] == "2";
    }
    if (!crlf) {
        std::printf("FAIL: UseRecord.txt has a line without CR LF\n");
        ok = false;
    }
    if (!gate1 || !gate2) {
        std::printf("FAIL: UseRecord.txt lacks toll gate%s%s of %s\n", gate1 ? "" : " 1",
                    gate2 ? "" : " 2", para.StoreTableName.c_str());
        ok = false;
    }
    ok = verifyMemory(para) && ok;
    std::printf(ok ? "all checks passed\n" : "checks failed\n");
    return ok ? 0 : 1;
}

int printExamples(const std::string &word)
{
    for (const TExample &example : ProgramReferenceData().Examples(word))
        std::printf("%s\n", example.Sentence.c_str());
    return 0;
}

int printModes(const std::string &word)
{
    TSqlQuery q = DataInterface().Query(
        "SELECT playmode FROM reviewlog WHERE spelling = ? ORDER BY at, rowid", {word});
    while (q.Next())
        std::printf("%lld\n", static_cast<long long>(q.Integer(0)));
    return 0;
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc != 4)
        return usage();
    const std::string command = argv[1];
    std::string dir = argv[2];
    if (dir.empty() || dir.back() != '/')
        dir += '/';
    SetProgramDir(dir);

    try {
        TDataInterface db;
        if (!db.ConnectDatabase()) {
            std::fprintf(stderr, "cannot open %s\n", DatabaseFilePath().c_str());
            return 1;
        }
        SetDataInterface(&db);
        if (command == "words")
            return printWords(std::atoi(argv[3]));
        if (command == "book")
            return importBook(argv[3]);
        if (command == "due")
            return makeDue(std::atoi(argv[3]));
        if (command == "season")
            return playSeason(std::atoi(argv[3]));
        if (command == "score")
            return printScore(argv[3]);
        if (command == "examples")
            return printExamples(argv[3]);
        if (command == "modes")
            return printModes(argv[3]);
        if (command == "verify")
            return verify(argv[3]);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "error: %s\n", e.what());
        return 1;
    }
    return usage();
}
