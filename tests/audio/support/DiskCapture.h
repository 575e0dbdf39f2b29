#pragma once
// Reading what the sound output wrote through SDL's "disk" driver: 16-bit
// interleaved stereo at 44.1 kHz, frame n of the file being frame n of the
// output stream since it opened. The test program's environment names the
// file; each process appends its id, because CTest runs the tests of one
// program as separate processes side by side.

#include <cstdint>
#include <string>
#include <vector>

namespace DiskCapture {

// Gives this process its own file and opens the shared output. True when
// the output is open.
bool Start();
std::string FilePath();

// The output's current position in frames.
std::int64_t Now();
inline constexpr std::int64_t Ms(double ms)
{
    return static_cast<std::int64_t>(ms * 44.1);
}
// Waits (in real time) until the output has passed `frame`.
void WaitUntil(std::int64_t frame);
// Left-channel samples of frames [from, to), waiting until they are on disk.
std::vector<std::int16_t> Read(std::int64_t from, std::int64_t to);

}  // namespace DiskCapture

// Analysis of mono sample runs.
namespace Samples {

double Rms(const std::vector<std::int16_t> &s);
int Peak(const std::vector<std::int16_t> &s);
// Longest run of consecutive samples with |x| <= threshold.
std::int64_t LongestQuietRun(const std::vector<std::int16_t> &s, int threshold);
// Index of the first sample with |x| > threshold, or -1.
std::int64_t FirstAbove(const std::vector<std::int16_t> &s, int threshold, std::int64_t from = 0);
// Index of the last sample with |x| > threshold, or -1.
std::int64_t LastAbove(const std::vector<std::int16_t> &s, int threshold);
// Dominant frequency by counting rising zero crossings.
double ZeroCrossingHz(const std::vector<std::int16_t> &s);

}  // namespace Samples
