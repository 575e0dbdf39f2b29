#include "AudioOutput.h"

#include <algorithm>
#include <cmath>

#include <SDL2/SDL.h>

TAudioOutput &TAudioOutput::Shared()
{
    static TAudioOutput output;
    return output;
}

TAudioOutput::~TAudioOutput()
{
    Close();
}

bool TAudioOutput::LayerVersionSupported()
{
    SDL_version linked{};
    SDL_GetVersion(&linked);
    return linked.major == 2;
}

bool TAudioOutput::Open()
{
    std::call_once(m_openOnce, [this] {
        // Qt handles the process's signals; SDL must not take them over.
        SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
            return;
        // With no changes allowed SDL converts to whatever the device wants,
        // so the mix is always 44.1 kHz 16-bit stereo and the stream
        // position is exact.
        SDL_AudioSpec wanted{};
        wanted.freq = kSampleRate;
        wanted.format = AUDIO_S16SYS;
        wanted.channels = kChannels;
        wanted.samples = kBufferFrames;
        wanted.callback = &TAudioOutput::MixCallback;
        wanted.userdata = this;
        const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &wanted, nullptr, 0);
        if (device == 0) {
            SDL_QuitSubSystem(SDL_INIT_AUDIO);
            return;
        }
        m_device = device;
        m_open = true;
        // A device opens paused.
        SDL_PauseAudioDevice(device, 0);
    });
    return m_open;
}

void TAudioOutput::Close()
{
    if (!m_open.exchange(false))
        return;
    // Returns once the callback has run for the last time.
    SDL_CloseAudioDevice(m_device);
    m_device = 0;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    std::lock_guard lock(m_mutex);
    m_sources.clear();
}

void TAudioOutput::AddSource(std::shared_ptr<TAudioSource> source)
{
    if (!source)
        return;
    std::lock_guard lock(m_mutex);
    m_sources.push_back(std::move(source));
}

void TAudioOutput::RemoveSource(const TAudioSource *source)
{
    // The released reference may be the last one; destroy it outside the lock
    // so that a source's destructor never stalls the audio thread.
    std::shared_ptr<TAudioSource> released;
    {
        std::lock_guard lock(m_mutex);
        const auto it = std::find_if(m_sources.begin(), m_sources.end(),
                                     [source](const auto &s) { return s.get() == source; });
        if (it == m_sources.end())
            return;
        released = std::move(*it);
        m_sources.erase(it);
    }
}

void TAudioOutput::SetMonitor(TMonitor monitor)
{
    std::lock_guard lock(m_mutex);
    m_monitor = std::move(monitor);
}

void TAudioOutput::MixCallback(void *self, std::uint8_t *stream, int bytes)
{
    const int frames = bytes / static_cast<int>(kChannels * sizeof(std::int16_t));
    static_cast<TAudioOutput *>(self)->Mix(reinterpret_cast<std::int16_t *>(stream), frames);
}

void TAudioOutput::Mix(std::int16_t *out, int frames)
{
    std::lock_guard lock(m_mutex);
    const size_t samples = static_cast<size_t>(frames) * kChannels;
    if (m_mix.size() < samples)
        m_mix.resize(samples);
    std::fill_n(m_mix.begin(), samples, 0.0f);
    for (const auto &source : m_sources)
        source->MixInto(m_mix.data(), frames);
    for (size_t i = 0; i < samples; ++i) {
        const float v = std::clamp(m_mix[i], -1.0f, 1.0f);
        out[i] = static_cast<std::int16_t>(std::lrint(v * 32767.0f));
    }
    const std::int64_t first = m_framesMixed.load();
    if (m_monitor)
        m_monitor(out, frames, first);
    m_framesMixed = first + frames;
}
