#pragma once
// MP3 files made at test time: a sine tone encoded with lame.

#include <string>

// Writes `seconds` of a sine of `hz` at half full scale to `path` (UTF-8),
// at the given sample rate and channel count. Throws when lame fails.
void MakeSineMp3(const std::string &path, double seconds, double hz, int rate = 44100,
                 int channels = 1);
