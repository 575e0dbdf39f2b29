#include "EspeakVoices.h"

#include <algorithm>
#include <cmath>

int EspeakWordsPerMinute(int rate)
{
    const double wpm = 175.0 * std::pow(3.0, rate / 10.0);
    return std::clamp(static_cast<int>(std::lround(wpm)), 80, 450);
}
