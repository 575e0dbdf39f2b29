// Decoding MP3 files, and the default piece shipped with the program.
#include <cmath>
#include <cstddef>
#include <filesystem>
#include <vector>

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "Mp3Decoder.h"
#include "TestMp3.h"

namespace {

std::vector<float> decodeAll(TMp3Decoder &decoder)
{
    std::vector<float> all;
    std::vector<float> block(size_t{2} * 4096);
    while (const int got = decoder.Read(block.data(), 4096))
        all.insert(all.end(), block.begin(), block.begin() + std::ptrdiff_t{2} * got);
    return all;
}

float peak(const std::vector<float> &stereo, size_t fromFrame, size_t toFrame)
{
    float p = 0.0f;
    for (size_t i = 2 * fromFrame; i < 2 * toFrame && i < stereo.size(); ++i)
        p = std::max(p, std::abs(stereo[i]));
    return p;
}

TEST(AudioMp3Decoder, AnyRateAndChannelCountComesOutAs44100Stereo)
{
    QTemporaryDir dir;
    const std::string path = dir.path().toStdString() + "/tone.mp3";
    MakeSineMp3(path, 1.0, 441.0, 22050, 1);
    TMp3Decoder decoder;
    ASSERT_TRUE(decoder.Open(path));
    const std::vector<float> all = decodeAll(decoder);
    const double seconds = static_cast<double>(all.size()) / 2 / 44100;
    EXPECT_NEAR(seconds, 1.0, 0.03);
    // Both channels carry the mono signal, at its pitch.
    int crossings = 0;
    for (size_t i = 2; i < all.size(); i += 2) {
        ASSERT_FLOAT_EQ(all[i], all[i + 1]);
        if (all[i - 2] < 0 && all[i] >= 0)
            ++crossings;
    }
    EXPECT_NEAR(crossings / seconds, 441.0, 5.0);
}

TEST(AudioMp3Decoder, RewindingStartsAgainFromTheFirstSample)
{
    QTemporaryDir dir;
    const std::string path = dir.path().toStdString() + "/tone.mp3";
    MakeSineMp3(path, 0.5, 300.0);
    TMp3Decoder decoder;
    ASSERT_TRUE(decoder.Open(path));
    std::vector<float> first(size_t{2} * 1000);
    std::vector<float> again(size_t{2} * 1000);
    ASSERT_EQ(decoder.Read(first.data(), 1000), 1000);
    decodeAll(decoder);
    ASSERT_TRUE(decoder.Rewind());
    ASSERT_EQ(decoder.Read(again.data(), 1000), 1000);
    float worst = 0.0f;
    for (size_t i = 0; i < first.size(); ++i)
        worst = std::max(worst, std::abs(first[i] - again[i]));
    EXPECT_LT(worst, 1e-6f);
}

TEST(AudioMp3Decoder, FilesWithoutMpegAudioDoNotOpen)
{
    QTemporaryDir dir;
    const std::string text = dir.path().toStdString() + "/text.mp3";
    const std::string empty = dir.path().toStdString() + "/empty.mp3";
    std::FILE *f = std::fopen(text.c_str(), "wb");
    for (int i = 0; i < 200; ++i)
        std::fputs("This is not music at all, only words in a file.\n", f);
    std::fclose(f);
    std::fclose(std::fopen(empty.c_str(), "wb"));
    TMp3Decoder decoder;
    EXPECT_FALSE(decoder.Open(text));
    EXPECT_FALSE(decoder.Open(empty));
    EXPECT_FALSE(decoder.Open(dir.path().toStdString() + "/missing.mp3"));
    EXPECT_EQ(decoder.Read(nullptr, 10), 0);
}

TEST(AudioDefaultMusic, ShipsALoopablePieceOfAtLeastAMinute)
{
    const std::string shipped =
        std::string(KIVRO_TEST_PROGRAM_DIR) + "/source/mp3/默认背景音乐.mp3";
    ASSERT_TRUE(std::filesystem::exists(shipped));
    TMp3Decoder decoder;
    ASSERT_TRUE(decoder.Open(shipped));
    const std::vector<float> all = decodeAll(decoder);
    const size_t frames = all.size() / 2;
    EXPECT_GE(frames, 60u * 44100u);
    // Music throughout, not a quiet file.
    EXPECT_GT(peak(all, frames / 2, frames / 2 + 44100), 0.1f);
    // Both ends of the loop are near silence, so the seam has no click.
    const size_t tenMs = 441;
    EXPECT_LT(peak(all, 0, tenMs), 0.01f);
    EXPECT_LT(peak(all, frames - tenMs, frames), 0.01f);
}

}  // namespace
