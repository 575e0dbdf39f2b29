#pragma once
// Sound made elsewhere (speech) waiting to be played: a first-in first-out
// queue of 44.1 kHz stereo frames, each run of frames tagged with the owner
// that made it, so an owner can ask whether its sound is still playing and
// queued sound of different owners plays strictly in order of arrival.

#include <cstdint>
#include <deque>
#include <mutex>
#include <vector>

#include "AudioOutput.h"

class TPcmQueue final : public TAudioSource {
public:
    // Interleaved stereo frames, full scale ±1.
    void Append(int owner, const float *frames, int count);
    // Frames of the owner not yet handed to the output.
    std::int64_t Pending(int owner) const;
    std::int64_t PendingTotal() const;
    // Frames held in memory, played ones included: played sound is freed
    // once its run has been played to the end.
    std::int64_t HeldFrames() const;
    // Drops the owner's frames not yet played.
    void Purge(int owner);

    void MixInto(float *mix, int frames) override;

private:
    struct Run {
        int owner = 0;
        std::vector<float> samples;
        size_t position = 0;  // next sample to play
    };
    mutable std::mutex m_mutex;
    std::deque<Run> m_runs;
};
