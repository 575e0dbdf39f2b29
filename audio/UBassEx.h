#pragma once
// The background-music player: a list of named looping MP3 streams on the
// program's one sound output, and the function that (re)starts the music from
// the settings.

#include <cstdint>
#include <string>
#include <vector>

#include "AudioLayer.h"
#include "AudioOutput.h"
#include "MusicFolder.h"

struct TPlayStream {
    std::string Name;          // the caller's name for the stream
    std::uint32_t Handle = 0;  // 0 when the file could not be opened
};

// In insertion order; names need not be unique.
using TPlayStreams = std::vector<TPlayStream>;

// The name under which the program plays its background music.
inline constexpr const char *kMainPlay = "mainplay";

class TBassEx {
public:
    // Create: opens the sound output. Without a usable output the player is
    // disabled and every operation (except RemoveStream) does nothing.
    // The window handle is kept for callers; the output needs none.
    explicit TBassEx(std::uintptr_t ownerWindow, TAudioLayer &layer = SdlAudioLayer());
    // Destroy: frees every stream (the output itself stays open).
    ~TBassEx();
    TBassEx(const TBassEx &) = delete;
    TBassEx &operator=(const TBassEx &) = delete;

    // Appends an entry for the file (UTF-8 path) under the name, with handle
    // 0 when the file cannot be decoded.
    void AddStream(const std::string &fileName, const std::string &streamName);
    // Frees (and so silences) every stream of the name, even when disabled.
    void RemoveStream(const std::string &streamName);
    // Position of the first entry of the name (case-sensitive), else -1.
    int IndexOfStream(const std::string &streamName) const;
    // Plays the first stream of the name; a paused stream resumes, a new one
    // starts at its beginning.
    void Play(const std::string &streamName);
    // Percent 0..100, linear: 50 is half the amplitude.
    void SetVolume(int percent, const std::string &streamName);
    // The first stream's volume in percent, rounded half to even; 0 when the
    // name has no stream or its volume cannot be read.
    int GetVolume(const std::string &streamName) const;
    // Whether a stream of the name plays through an open output: false without
    // a sound device, without such a stream, or when its file could not be decoded.
    bool HasOpenStream(const std::string &streamName) const;

    bool Enabled() const { return m_enabled; }
    std::uintptr_t OwnerWindow() const { return m_ownerWindow; }
    const TPlayStreams &Streams() const { return m_streams; }

private:
    TAudioLayer &m_layer;
    std::uintptr_t m_ownerWindow;
    bool m_enabled = true;
    TPlayStreams m_streams;
};

// The main window calls this at start-up, when the player ticks or unticks
// "背景音乐", and after the music settings dialog was confirmed. Reads the
// settings Mp3, Mp3Voice and PlayMp3 and, when the music file exists,
// replaces the "mainplay" stream with a new one from its beginning, sets its
// volume and plays it only when PlayMp3 is 1 (so unticking stops the music).
// A missing file changes nothing. Never throws.
void StartBackgroundMusic(TBassEx &bassEx);
