#include <vector>

#include <gtest/gtest.h>

#include "PcmQueue.h"

namespace {

// Frames whose left and right samples are both the frame's value.
std::vector<float> Frames(float from, int count)
{
    std::vector<float> out;
    for (int i = 0; i < count; ++i) {
        out.push_back(from + static_cast<float>(i));
        out.push_back(from + static_cast<float>(i));
    }
    return out;
}

std::vector<float> Mix(TPcmQueue &queue, int frames)
{
    std::vector<float> mix(static_cast<size_t>(frames) * 2, 0.0f);
    queue.MixInto(mix.data(), frames);
    return mix;
}

TEST(AudioPcmQueue, AnOwnerSpeakingOnAndOnPlaysInOrderAndPlayedSoundIsFreed)
{
    TPcmQueue queue;
    const std::vector<float> first = Frames(1, 100);
    queue.Append(7, first.data(), 100);
    // Playing starts, then the same owner speaks again, and again, each time
    // before the earlier sound has been played to its end.
    std::vector<float> heard = Mix(queue, 60);
    float next = 101;
    for (int round = 0; round < 20; ++round) {
        const std::vector<float> more = Frames(next, 100);
        queue.Append(7, more.data(), 100);
        next += 100;
        const std::vector<float> mix = Mix(queue, 100);
        heard.insert(heard.end(), mix.begin(), mix.end());
        // What has been played is not kept: no more than the two newest runs.
        EXPECT_LE(queue.HeldFrames(), 200) << "round " << round;
        EXPECT_EQ(queue.Pending(7), 40);
    }
    const std::vector<float> rest = Mix(queue, 50);
    heard.insert(heard.end(), rest.begin(), rest.begin() + 80);
    ASSERT_EQ(heard.size(), static_cast<size_t>(2 * 2100));
    for (size_t i = 0; i < heard.size(); ++i) {
        const size_t frame = i / 2;
        ASSERT_EQ(heard[i], static_cast<float>(frame + 1)) << "sample " << i;
    }
    EXPECT_EQ(queue.PendingTotal(), 0);
    EXPECT_EQ(queue.HeldFrames(), 0);
}

TEST(AudioPcmQueue, OwnersPlayInOrderOfArrivalAndAPurgeDropsOnlyTheOwnersSound)
{
    TPcmQueue queue;
    const std::vector<float> a = Frames(1, 10);
    const std::vector<float> b = Frames(100, 10);
    queue.Append(1, a.data(), 10);
    queue.Append(2, b.data(), 10);
    queue.Append(1, a.data(), 10);
    EXPECT_EQ(queue.Pending(1), 20);
    EXPECT_EQ(queue.Pending(2), 10);
    queue.Purge(1);
    EXPECT_EQ(queue.Pending(1), 0);
    const std::vector<float> mix = Mix(queue, 12);
    EXPECT_EQ(mix[0], 100.0f);
    EXPECT_EQ(mix[19], 109.0f);
    EXPECT_EQ(mix[20], 0.0f);  // nothing after it: silence
    EXPECT_EQ(queue.HeldFrames(), 0);
}

}  // namespace
