#pragma once
// The program's one sound output. Music streams and speech are sources mixed
// into it, a mix of our own in SDL2's device callback; it is opened once per
// process and stays open until the process ends. Without a usable sound device it stays closed and every
// source is simply not heard.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

// Something that adds sound to the mix. Called on the audio thread only.
class TAudioSource {
public:
    virtual ~TAudioSource() = default;
    // Adds `frames` interleaved stereo frames (floats, full scale ±1) to `mix`.
    virtual void MixInto(float *mix, int frames) = 0;
};

class TAudioOutput {
public:
    static constexpr int kSampleRate = 44100;
    static constexpr int kChannels = 2;
    // Frames per device buffer: about 23 ms, short enough for speech to start
    // promptly, long enough not to starve on a busy machine.
    static constexpr int kBufferFrames = 1024;

    // The process-wide output.
    static TAudioOutput &Shared();

    TAudioOutput() = default;
    ~TAudioOutput();
    TAudioOutput(const TAudioOutput &) = delete;
    TAudioOutput &operator=(const TAudioOutput &) = delete;

    // Opens the device on the first call; later calls return the first
    // result, so a missing device costs its failed attempt only once.
    bool Open();
    bool IsOpen() const { return m_open.load(); }
    // The usable audio layer is SDL 2.x; any other linked major version is
    // refused.
    static bool LayerVersionSupported();

    void AddSource(std::shared_ptr<TAudioSource> source);
    // After this returns the source is never called again.
    void RemoveSource(const TAudioSource *source);

    // Frames handed to the device since it was opened: the position of the
    // next frame in the output stream.
    std::int64_t FramesMixed() const { return m_framesMixed.load(); }

    // Sees every mixed buffer (16-bit interleaved stereo) right after it was
    // made, with the stream position of its first frame. For measurements.
    using TMonitor =
        std::function<void(const std::int16_t *samples, int frames, std::int64_t firstFrame)>;
    void SetMonitor(TMonitor monitor);

private:
    static void MixCallback(void *self, std::uint8_t *stream, int bytes);
    void Mix(std::int16_t *out, int frames);
    void Close();

    std::once_flag m_openOnce;
    std::atomic<bool> m_open{false};
    std::uint32_t m_device = 0;  // SDL_AudioDeviceID; 0 while closed
    std::atomic<std::int64_t> m_framesMixed{0};
    std::mutex m_mutex;  // guards the sources, the monitor and the mix buffer
    std::vector<std::shared_ptr<TAudioSource>> m_sources;
    std::vector<float> m_mix;
    TMonitor m_monitor;
};
