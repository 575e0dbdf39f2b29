#pragma once
// An audio layer that remembers what was asked of it.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "AudioLayer.h"

class FakeAudioLayer final : public TAudioLayer {
public:
    struct Stream {
        std::string path;
        float volume = 1.0f;
        bool playing = false;
    };

    bool versionOk = true;
    bool initOk = true;
    int initCalls = 0;
    // Paths that fail to open (handle 0).
    std::vector<std::string> undecodable;
    std::map<std::uint32_t, Stream> streams;  // live streams
    std::vector<std::uint32_t> freed;
    std::vector<std::string> created;  // every path asked for, in order

    bool VersionSupported() override { return versionOk; }
    bool Init() override
    {
        ++initCalls;
        return initOk;
    }
    std::uint32_t StreamCreateFile(const std::string &path) override
    {
        created.push_back(path);
        for (const auto &bad : undecodable) {
            if (bad == path)
                return 0;
        }
        streams[++m_last] = Stream{path};
        return m_last;
    }
    bool ChannelPlay(std::uint32_t handle, bool) override
    {
        auto it = streams.find(handle);
        if (it == streams.end())
            return false;
        it->second.playing = true;
        return true;
    }
    bool ChannelSetVolume(std::uint32_t handle, float volume) override
    {
        auto it = streams.find(handle);
        if (it == streams.end())
            return false;
        it->second.volume = volume;
        return true;
    }
    bool ChannelGetVolume(std::uint32_t handle, float &volume) override
    {
        auto it = streams.find(handle);
        if (it == streams.end())
            return false;
        volume = it->second.volume;
        return true;
    }
    bool StreamFree(std::uint32_t handle) override
    {
        freed.push_back(handle);
        return streams.erase(handle) > 0;
    }

    // The one live stream that is playing, or nullptr.
    const Stream *Playing() const
    {
        for (const auto &[handle, stream] : streams) {
            if (stream.playing)
                return &stream;
        }
        return nullptr;
    }

private:
    std::uint32_t m_last = 0;
};
