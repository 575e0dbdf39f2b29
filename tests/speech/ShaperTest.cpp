// Shaping engine samples into output frames, and the rate scale.
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "EspeakVoices.h"
#include "UtteranceShaper.h"

namespace {

std::vector<std::int16_t> silence(int n)
{
    return std::vector<std::int16_t>(static_cast<size_t>(n), 0);
}

std::vector<std::int16_t> tone(int n)
{
    std::vector<std::int16_t> s(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        s[static_cast<size_t>(i)] = static_cast<std::int16_t>(
            8000 * std::sin(2 * M_PI * 300 * i / 22050.0) + (i % 2 ? 4000 : -4000));
    return s;
}

std::vector<float> shape(const std::vector<std::vector<std::int16_t>> &pieces)
{
    TUtteranceShaper shaper(22050);
    std::vector<float> out;
    for (const auto &piece : pieces)
        shaper.Feed(piece.data(), static_cast<int>(piece.size()), out);
    shaper.Finish(out);
    return out;
}

TEST(SpeechShaper, DropsTheEnginesPaddingButKeepsShortMargins)
{
    // 200 ms of silence, 100 ms of sound, 300 ms of silence at 22 050 Hz.
    const std::vector<float> out = shape({silence(4410), tone(2205), silence(6615)});
    const double ms = static_cast<double>(out.size()) / 2 / 44.1;
    // 5 ms before, the sound, 10 ms after.
    EXPECT_NEAR(ms, 115.0, 1.0);
    // Stereo: both channels the same.
    for (size_t i = 0; i < out.size(); i += 2)
        ASSERT_EQ(out[i], out[i + 1]);
}

TEST(SpeechShaper, KeepsPausesInsideAnUtteranceWhicheverWayItArrives)
{
    std::vector<std::int16_t> all = tone(1000);
    const std::vector<std::int16_t> pause = silence(2205);
    all.insert(all.end(), pause.begin(), pause.end());
    const std::vector<std::int16_t> more = tone(1000);
    all.insert(all.end(), more.begin(), more.end());
    auto piece = [&](size_t from, size_t to) {
        return std::vector<std::int16_t>(all.begin() + from, all.begin() + to);
    };

    const std::vector<float> whole = shape({all});
    const std::vector<float> pieces =
        shape({piece(0, 400), piece(400, 1500), piece(1500, 2800), piece(2800, all.size())});
    EXPECT_EQ(whole, pieces);
    EXPECT_NEAR(static_cast<double>(whole.size()) / 2, 2.0 * (2000 + 2205), 4.0);
}

TEST(SpeechShaper, AnUtteranceWithoutSoundGivesNothing)
{
    EXPECT_TRUE(shape({silence(5000)}).empty());
    EXPECT_TRUE(shape({}).empty());
}

TEST(SpeechShaper, UpsamplingKeepsTheSignal)
{
    const std::vector<std::int16_t> in = tone(2205);
    const std::vector<float> out = shape({in});
    // Every second output frame is an input sample (one frame late), the
    // frames between lie halfway.
    for (size_t i = 10; i < 1000; ++i) {
        ASSERT_NEAR(out[4 * i + 4], in[i] / 32768.0f, 1e-6f);
        ASSERT_NEAR(out[4 * i + 6], (in[i] + in[i + 1]) / 65536.0f, 1e-6f);
    }
}

TEST(SpeechRate, ZeroIsNormalSpeedAndTheEndsStayInTheEnginesRange)
{
    EXPECT_EQ(EspeakWordsPerMinute(0), 175);
    EXPECT_EQ(EspeakWordsPerMinute(-10), 80);
    EXPECT_EQ(EspeakWordsPerMinute(10), 450);
    for (int rate = -10; rate < 10; ++rate)
        EXPECT_LE(EspeakWordsPerMinute(rate), EspeakWordsPerMinute(rate + 1));
    EXPECT_LT(EspeakWordsPerMinute(-1), 175);
    EXPECT_GT(EspeakWordsPerMinute(1), 175);
}

}  // namespace
