// Stored word texts come from database files the program did not write
// (an older or imported database): unscrambling any bytes must not fail, and
// scrambling must round-trip every byte string.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "Scramble.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string_view input(reinterpret_cast<const char *>(data), size);

    const std::string plain = UnscrambleText(input);
    // Whatever unscrambles scrambles back to a text that unscrambles alike.
    if (!plain.empty() && UnscrambleText(ScrambleText(plain)) != plain)
        std::abort();

    const std::string scrambled = ScrambleText(input);
    if (scrambled.size() != (input.empty() ? 0 : 2 * (input.size() + 14)))
        std::abort();
    if (UnscrambleText(scrambled) != input)
        std::abort();
    return 0;
}
