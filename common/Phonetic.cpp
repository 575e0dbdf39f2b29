#include "Phonetic.h"

#include <algorithm>
#include <cstring>

#include "GbkText.h"

namespace {

struct TSymbol {
    char Ascii;
    char16_t Ipa;
};

// The notation's symbols that are not themselves. R and X, the r-coloured
// vowels, occur only in American pronunciations.
constexpr TSymbol kSymbols[] = {
    {'@', u'ə'}, {'&', u'æ'}, {'\'', u'ˈ'}, {':', u'ː'}, {'O', u'ɔ'}, {'S', u'ʃ'},
    {'Z', u'ʒ'}, {'V', u'ʌ'}, {'A', u'ɑ'},  {'N', u'ŋ'}, {'T', u'θ'}, {'D', u'ð'},
    {'E', u'ɛ'}, {'U', u'ʊ'}, {'I', u'ɪ'},  {'.', u'ˌ'}, {'R', u'ɚ'}, {'X', u'ɝ'},
};

// Lower-case letters stand for themselves, and so do the marks that join
// variants and optional sounds.
bool isItself(char c)
{
    return (c >= 'a' && c <= 'z') || std::strchr(" ,;-()", c) != nullptr;
}

const TSymbol *symbolOf(char c)
{
    const auto it = std::find_if(std::begin(kSymbols), std::end(kSymbols),
                                 [c](const TSymbol &s) { return s.Ascii == c; });
    return it != std::end(kSymbols) ? it : nullptr;
}

}  // namespace

bool PronunciationConverts(const std::string &pronunciation)
{
    return std::all_of(pronunciation.begin(), pronunciation.end(),
                       [](char c) { return c != '\0' && (isItself(c) || symbolOf(c) != nullptr); });
}

QString PronunciationToIpa(const std::string &pronunciation)
{
    if (!PronunciationConverts(pronunciation))
        return GbkToQString(pronunciation);
    QString ipa;
    ipa.reserve(static_cast<qsizetype>(pronunciation.size()));
    for (size_t i = 0; i < pronunciation.size(); ++i) {
        const char c = pronunciation[i];
        const bool separator =
            c == '.' && i + 1 < pronunciation.size() && pronunciation[i + 1] == ' ';
        if (isItself(c) || separator)
            ipa += QChar::fromLatin1(c);
        else
            ipa += QChar(symbolOf(c)->Ipa);
    }
    return ipa;
}
