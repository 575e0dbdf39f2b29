#include <map>
#include <memory>

#include "AudioLayer.h"
#include "AudioOutput.h"
#include "LoopingStream.h"

namespace {

// Streams by handle. Used from the user-interface thread only; the audio
// thread reaches the streams through the output's source list.
class TSdlAudioLayer final : public TAudioLayer {
public:
    bool VersionSupported() override { return TAudioOutput::LayerVersionSupported(); }

    bool Init() override { return TAudioOutput::Shared().Open(); }

    std::uint32_t StreamCreateFile(const std::string &path) override
    {
        if (!TAudioOutput::Shared().IsOpen())
            return 0;
        auto stream = TLoopingStream::Open(path);
        if (!stream)
            return 0;
        if (++m_lastHandle == 0)
            ++m_lastHandle;
        m_streams[m_lastHandle] = stream;
        TAudioOutput::Shared().AddSource(stream);
        return m_lastHandle;
    }

    bool ChannelPlay(std::uint32_t handle, bool restart) override
    {
        TLoopingStream *stream = find(handle);
        if (stream == nullptr || restart)  // restarting is never asked for
            return false;
        stream->Play();
        return true;
    }

    bool ChannelSetVolume(std::uint32_t handle, float volume) override
    {
        TLoopingStream *stream = find(handle);
        if (stream == nullptr)
            return false;
        stream->SetVolume(volume);
        return true;
    }

    bool ChannelGetVolume(std::uint32_t handle, float &volume) override
    {
        TLoopingStream *stream = find(handle);
        if (stream == nullptr)
            return false;
        volume = stream->Volume();
        return true;
    }

    bool StreamFree(std::uint32_t handle) override
    {
        const auto it = m_streams.find(handle);
        if (it == m_streams.end())
            return false;
        TAudioOutput::Shared().RemoveSource(it->second.get());
        m_streams.erase(it);
        return true;
    }

private:
    TLoopingStream *find(std::uint32_t handle) const
    {
        const auto it = m_streams.find(handle);
        return it == m_streams.end() ? nullptr : it->second.get();
    }

    std::map<std::uint32_t, std::shared_ptr<TLoopingStream>> m_streams;
    std::uint32_t m_lastHandle = 0;
};

}  // namespace

TAudioLayer &SdlAudioLayer()
{
    static TSdlAudioLayer layer;
    return layer;
}
