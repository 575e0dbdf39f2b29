#pragma once
// Turns an engine's samples for one utterance into output frames: mono
// 16-bit at the engine's rate in, 44.1 kHz interleaved stereo floats out.
// The engine pads every utterance with silence; the shaper drops the silence
// before the first audible sample (keeping 5 ms) and after the last (keeping
// 10 ms), so a word starts promptly and queued words follow closely.
// Pauses inside an utterance are kept. Works on pieces as they arrive.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <vector>

class TUtteranceShaper {
public:
    explicit TUtteranceShaper(int inputRate);

    // Appends the frames ready so far to `out`.
    void Feed(const std::int16_t *samples, int count, std::vector<float> &out);
    // The utterance is complete: appends what is left to keep.
    void Finish(std::vector<float> &out);

    // |sample| above this counts as audible: 1 % of full scale.
    static constexpr int kAudible = 328;

private:
    void put(std::int16_t sample, std::vector<float> &out);

    double m_step;          // input samples per output frame
    double m_position = 0;  // of the next output frame after m_previous
    float m_previous = 0;
    bool m_started = false;
    std::size_t m_preRoll;            // input samples kept before the first audible one
    std::size_t m_tail;               // input samples kept after the last audible one
    std::deque<std::int16_t> m_held;  // quiet samples not yet known to be kept
};
