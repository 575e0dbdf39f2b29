#pragma once
// Game parameters for the tests, and the shipped book most of them play.

#include <string>

#include "GbkText.h"
#include "Records.h"

inline const std::string kToefl = Gbk("《最新TOEFL词汇》");  // lib109, 3480 words: 174 toll gates

inline TGamePara Para(const std::string &table, int wordCount, const std::string &book,
                      int bookType, int tollGate, int level)
{
    TGamePara p;
    p.StoreTableName = table;
    p.WordCount = wordCount;
    p.BookName = book;
    p.BookType = bookType;
    p.TollGateIndex = tollGate;
    p.Level = level;
    p.WordsPerGate = 20;
    return p;
}

inline TGamePara Toefl(int tollGate, int level = 1, int bookType = 0)
{
    return Para("lib109", 3480, kToefl, bookType, tollGate, level);
}
