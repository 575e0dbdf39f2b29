#include "Scramble.h"
#include "CommonLog.h"

#include <utility>

namespace {

constexpr std::string_view kKey = "#TROV@MKDpaqL%";
constexpr size_t kKeyHexLength = 2 * kKey.size();

// The characters from position `at` to the end, then the first `at` ones.
std::string rotate(const std::string &s, size_t at)
{
    return s.substr(at) + s.substr(0, at);
}

void swapPairs(std::string &s, size_t pairs)
{
    for (size_t k = 0; k < pairs && 2 * k + 1 < s.size(); ++k)
        std::swap(s[2 * k], s[2 * k + 1]);
}

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

}  // namespace

std::string GetScrambleKey()
{
    return std::string(kKey);
}

std::string TextToHex(std::string_view text)
{
    static constexpr char digits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size() * 2);
    for (const char ch : text) {
        const auto b = static_cast<unsigned char>(ch);
        out.push_back(digits[b >> 4]);
        out.push_back(digits[b & 0x0F]);
    }
    return out;
}

std::string HexToText(std::string_view hex)
{
    std::string out;
    out.reserve(hex.size() / 2 + 1);
    for (size_t p = 0; p < hex.size(); p += 2) {
        const int high = hexDigit(hex[p]);
        if (p + 1 == hex.size()) {
            // A last single digit is a number on its own.
            if (high < 0)
                throw EHexConvertError("not a hexadecimal number");
            out.push_back(static_cast<char>(high));
            break;
        }
        const int low = hexDigit(hex[p + 1]);
        if (high < 0 || low < 0)
            throw EHexConvertError("not a hexadecimal number");
        out.push_back(static_cast<char>(high * 16 + low));
    }
    return out;
}

std::string ScrambleText(std::string_view text)
{
    try {
        if (text.empty())
            return {};
        std::string s = TextToHex(text) + TextToHex(kKey);
        const size_t half = s.size() / 2;
        s = rotate(s, half);
        swapPairs(s, half);
        return rotate(s, half);
    } catch (const std::exception &e) {
        // Only memory can run out here.
        qCWarning(lcCommon) << "scrambling failed:" << e.what();
        return {};
    }
}

std::string UnscrambleText(std::string_view scrambled)
{
    try {
        if (scrambled.empty())
            return {};
        std::string s(scrambled);
        const size_t half = s.size() / 2;
        s = rotate(s, half);
        swapPairs(s, half);
        s = rotate(s, half);
        if (s.size() >= kKeyHexLength)
            s.resize(s.size() - kKeyHexLength);
        return HexToText(s);
    } catch (const EHexConvertError &e) {
        qCWarning(lcCommon) << "unscrambling failed:" << e.what();
        return {};
    } catch (const std::exception &e) {
        // Memory.
        qCWarning(lcCommon) << "unscrambling failed:" << e.what();
        return {};
    }
}

std::string ConvertPhoneticDigits(std::string_view text)
{
    std::string out(text);
    for (char &c : out) {
        switch (c) {
        case '0':
            c = '6';
            break;
        case '1':
            c = '1';
            break;
        case '2':
            c = '3';
            break;
        case '3':
            c = '4';
            break;
        case '4':
            c = '0';
            break;
        case '5':
            c = '8';
            break;
        case '6':
            c = '7';
            break;
        case '7':
            c = '=';
            break;
        case '8':
            c = '9';
            break;
        case '9':
            c = '5';
            break;
        case '=':
            c = '4';
            break;
        default:
            break;
        }
    }
    return out;
}
