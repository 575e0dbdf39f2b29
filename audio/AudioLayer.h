#pragma once
// What the music player needs of an audio library: looping MP3 streams
// addressed by a 32-bit handle (0 = none), played without restarting, with a
// linear volume, freed to stop them. The program uses the SDL layer; tests
// may put a fake in its place.

#include <cstdint>
#include <string>

class TAudioLayer {
public:
    virtual ~TAudioLayer() = default;

    // Whether the linked library is one this program works with.
    virtual bool VersionSupported() = 0;
    // Opens the sound output; false when there is none.
    virtual bool Init() = 0;
    // A looping stream over the file (UTF-8 path); 0 when it cannot be decoded.
    virtual std::uint32_t StreamCreateFile(const std::string &path) = 0;
    // Starts or resumes; with restart, from the beginning.
    virtual bool ChannelPlay(std::uint32_t handle, bool restart) = 0;
    virtual bool ChannelSetVolume(std::uint32_t handle, float volume) = 0;
    virtual bool ChannelGetVolume(std::uint32_t handle, float &volume) = 0;
    // Stops the stream at once and forgets the handle.
    virtual bool StreamFree(std::uint32_t handle) = 0;
};

// The real layer over the shared output.
TAudioLayer &SdlAudioLayer();
