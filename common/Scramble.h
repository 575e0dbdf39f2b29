#pragma once
// Word texts may be stored scrambled as upper-case hexadecimal digits
// (settings key "encrypt" = 1). These functions keep no state.

#include <stdexcept>
#include <string>
#include <string_view>

// A pair of characters that is not a hexadecimal number.
class EHexConvertError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::string GetScrambleKey();
std::string TextToHex(std::string_view text);
// Throws EHexConvertError on a pair that is not hexadecimal.
std::string HexToText(std::string_view hex);
// 2 × (n + 14) hexadecimal digits; empty for empty text; never throws.
std::string ScrambleText(std::string_view text);
// The inverse; empty for anything that is not a scrambled text; never throws.
std::string UnscrambleText(std::string_view scrambled);
// The import's pronunciation digit codes, each character replaced once.
std::string ConvertPhoneticDigits(std::string_view text);
