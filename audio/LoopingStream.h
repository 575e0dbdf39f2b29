#pragma once
// One music stream of the output: an MP3 file decoded as it plays, looping
// for ever, with its own volume. Volume and play state are set from the
// user-interface thread and read by the audio thread, hence atomics; the
// decoder itself is touched by the audio thread only.

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "AudioOutput.h"
#include "Mp3Decoder.h"

class TLoopingStream final : public TAudioSource {
public:
    // nullptr when the file cannot be decoded.
    static std::shared_ptr<TLoopingStream> Open(const std::string &path);

    void Play() { m_playing = true; }
    bool IsPlaying() const { return m_playing; }
    // Linear, 1.0 = as decoded.
    void SetVolume(float volume) { m_volume = volume; }
    float Volume() const { return m_volume; }

    void MixInto(float *mix, int frames) override;

private:
    TLoopingStream() = default;

    TMp3Decoder m_decoder;
    std::vector<float> m_buffer;
    std::atomic<bool> m_playing{false};
    std::atomic<float> m_volume{1.0f};
};
