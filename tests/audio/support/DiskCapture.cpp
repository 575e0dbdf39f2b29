#include "DiskCapture.h"

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <thread>
#include <unistd.h>

#include "AudioOutput.h"

namespace DiskCapture {

namespace {

std::string &processFile()
{
    static std::string path;
    return path;
}

void removeProcessFile()
{
    if (!processFile().empty())
        std::remove(processFile().c_str());
}

}  // namespace

bool Start()
{
    if (processFile().empty()) {
        const char *base = std::getenv("SDL_DISKAUDIOFILE");
        if (base == nullptr)
            throw std::runtime_error("SDL_DISKAUDIOFILE is not set for this test program");
        processFile() = std::string(base) + "." + std::to_string(::getpid());
        ::setenv("SDL_DISKAUDIOFILE", processFile().c_str(), 1);
        std::atexit(removeProcessFile);
    }
    return TAudioOutput::Shared().Open();
}

std::string FilePath()
{
    return processFile();
}

std::int64_t Now()
{
    return TAudioOutput::Shared().FramesMixed();
}

void WaitUntil(std::int64_t frame)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (Now() < frame) {
        if (std::chrono::steady_clock::now() > deadline)
            throw std::runtime_error("the sound output stopped advancing");
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

std::vector<std::int16_t> Read(std::int64_t from, std::int64_t to)
{
    constexpr std::int64_t frameBytes = 4;
    WaitUntil(to);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    std::vector<std::int16_t> stereo(static_cast<size_t>((to - from) * 2));
    for (;;) {
        std::ifstream in(processFile(), std::ios::binary | std::ios::ate);
        if (in && in.tellg() >= to * frameBytes) {
            in.seekg(from * frameBytes);
            in.read(reinterpret_cast<char *>(stereo.data()),
                    static_cast<std::streamsize>(stereo.size() * sizeof(std::int16_t)));
            if (in)
                break;
        }
        if (std::chrono::steady_clock::now() > deadline)
            throw std::runtime_error("the disk output file is shorter than the output position");
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    std::vector<std::int16_t> left(stereo.size() / 2);
    for (size_t i = 0; i < left.size(); ++i)
        left[i] = stereo[2 * i];
    return left;
}

}  // namespace DiskCapture

namespace Samples {

double Rms(const std::vector<std::int16_t> &s)
{
    if (s.empty())
        return 0.0;
    double sum = 0.0;
    for (const std::int16_t v : s)
        sum += static_cast<double>(v) * v;
    return std::sqrt(sum / static_cast<double>(s.size()));
}

int Peak(const std::vector<std::int16_t> &s)
{
    int peak = 0;
    for (const std::int16_t v : s)
        peak = std::max(peak, std::abs(static_cast<int>(v)));
    return peak;
}

std::int64_t LongestQuietRun(const std::vector<std::int16_t> &s, int threshold)
{
    std::int64_t run = 0;
    std::int64_t longest = 0;
    for (const std::int16_t v : s) {
        run = std::abs(static_cast<int>(v)) <= threshold ? run + 1 : 0;
        longest = std::max(longest, run);
    }
    return longest;
}

std::int64_t FirstAbove(const std::vector<std::int16_t> &s, int threshold, std::int64_t from)
{
    for (size_t i = static_cast<size_t>(std::max<std::int64_t>(from, 0)); i < s.size(); ++i) {
        if (std::abs(static_cast<int>(s[i])) > threshold)
            return static_cast<std::int64_t>(i);
    }
    return -1;
}

std::int64_t LastAbove(const std::vector<std::int16_t> &s, int threshold)
{
    for (size_t i = s.size(); i-- > 0;) {
        if (std::abs(static_cast<int>(s[i])) > threshold)
            return static_cast<std::int64_t>(i);
    }
    return -1;
}

double ZeroCrossingHz(const std::vector<std::int16_t> &s)
{
    if (s.size() < 2)
        return 0.0;
    int crossings = 0;
    for (size_t i = 1; i < s.size(); ++i) {
        if (s[i - 1] < 0 && s[i] >= 0)
            ++crossings;
    }
    return crossings * 44100.0 / static_cast<double>(s.size());
}

}  // namespace Samples
