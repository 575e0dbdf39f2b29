#pragma once
// The last word hit, whole, as the title bar's second line shows it: the
// spelling, the pronunciations, the meaning and the word's other spelling.

#include <string>

#include <QString>

#include "Accent.h"
#include "Records.h"

// What the reference data know of a word beyond its book.
struct TWordVariants {
    std::string UsPronunciation;  // the books' notation; empty: none known
    std::string OtherSpelling;    // its spelling in the other accent; empty: none
    TAccent OtherSpellingAccent = TAccent::American;
};

// "colour  英 [ˈkʌlə]  美 [ˈkʌlɚ]  n. 颜色  美式拼写：color": both
// pronunciations, the chosen accent's first, only where they differ (one
// alone is shown unmarked as the book's, or marked 美 when the book has
// none); the other spelling only while both spellings are accepted.
QString LastWordLine(const TWordInfo &word, const TWordVariants &variants, TAccent accent,
                     bool bothSpellings);
