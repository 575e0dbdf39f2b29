// Looks into a program folder from the outside, for the end-to-end test.
//
//   e2e-check words DIR GATE   prints the spellings of toll gate GATE of the
//                              book the settings name, lower case, one a line
//   e2e-check verify DIR NAME  checks what a game of toll gate 1 left behind:
//                              a leaderboard record of NAME above 0 points,
//                              the settings at toll gate 2, and toll gates 1
//                              and 2 of the book in UseRecord.txt
//
// DIR is the program folder. Exit status 0 when all is well; every finding is
// printed, so a failed run says what it saw.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "GbkText.h"
#include "Records.h"
#include "Settings.h"
#include "TextUtils.h"
#include "UBookType.h"
#include "UDataInterface.h"

namespace {

int usage()
{
    std::fprintf(stderr, "usage: e2e-check words DIR GATE | e2e-check verify DIR NAME\n");
    return 2;
}

std::string lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
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
        std::printf("%s\n", lower(word.Spelling).c_str());
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
    std::printf(ok ? "all checks passed\n" : "checks failed\n");
    return ok ? 0 : 1;
}

} // namespace

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
        if (command == "verify")
            return verify(argv[3]);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "error: %s\n", e.what());
        return 1;
    }
    return usage();
}
