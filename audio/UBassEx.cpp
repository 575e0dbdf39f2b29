#include "UBassEx.h"

#include "AudioLog.h"
#include "Settings.h"
#include "TextUtils.h"

TBassEx::TBassEx(std::uintptr_t ownerWindow, TAudioLayer &layer)
    : m_layer(layer), m_ownerWindow(ownerWindow)
{
    try {
        if (!m_layer.VersionSupported())
            m_enabled = false;
        // Opened even after a refused version: the output is shared with
        // speech, which does not depend on the music player's opinion.
        if (!m_layer.Init())
            m_enabled = false;
        // The layer reports by its results; what can still come is the
        // standard library's (memory, a thread, a file name), as everywhere
        // in this file.
    } catch (const std::exception &e) {
        qCWarning(lcAudio) << __func__ << "failed:" << e.what();
        m_enabled = false;
    }
}

TBassEx::~TBassEx()
{
    for (const TPlayStream &stream : m_streams) {
        try {
            m_layer.StreamFree(stream.Handle);
        } catch (const std::exception &e) {
            qCWarning(lcAudio) << __func__ << "failed:" << e.what();
        }
    }
}

void TBassEx::AddStream(const std::string &fileName, const std::string &streamName)
{
    if (!m_enabled)
        return;
    std::uint32_t handle = 0;
    try {
        handle = m_layer.StreamCreateFile(fileName);
    } catch (const std::exception &e) {
        qCWarning(lcAudio) << __func__ << "failed:" << e.what();
        handle = 0;
    }
    m_streams.push_back({streamName, handle});
}

void TBassEx::RemoveStream(const std::string &streamName)
{
    TPlayStreams kept;
    for (const TPlayStream &stream : m_streams) {
        if (stream.Name != streamName) {
            kept.push_back(stream);
            continue;
        }
        try {
            m_layer.StreamFree(stream.Handle);
        } catch (const std::exception &e) {
            qCWarning(lcAudio) << __func__ << "failed:" << e.what();
        }
    }
    m_streams = std::move(kept);
}

int TBassEx::IndexOfStream(const std::string &streamName) const
{
    for (size_t i = 0; i < m_streams.size(); ++i) {
        if (m_streams[i].Name == streamName)
            return static_cast<int>(i);
    }
    return -1;
}

void TBassEx::Play(const std::string &streamName)
{
    const int index = IndexOfStream(streamName);
    if (!m_enabled || index < 0)
        return;
    try {
        m_layer.ChannelPlay(m_streams[static_cast<size_t>(index)].Handle, false);
    } catch (const std::exception &e) {
        qCWarning(lcAudio) << __func__ << "failed:" << e.what();
    }
}

void TBassEx::SetVolume(int percent, const std::string &streamName)
{
    const int index = IndexOfStream(streamName);
    if (!m_enabled || index < 0)
        return;
    try {
        m_layer.ChannelSetVolume(m_streams[static_cast<size_t>(index)].Handle,
                                 static_cast<float>(percent) / 100.0f);
    } catch (const std::exception &e) {
        qCWarning(lcAudio) << __func__ << "failed:" << e.what();
    }
}

int TBassEx::GetVolume(const std::string &streamName) const
{
    const int index = IndexOfStream(streamName);
    if (!m_enabled || index < 0)
        return 0;
    try {
        float volume = 0.0f;
        if (!m_layer.ChannelGetVolume(m_streams[static_cast<size_t>(index)].Handle, volume))
            return 0;
        // The float that was set is within a millionth of percent / 100, so
        // rounding gives back exactly the percent that was set.
        return static_cast<int>(RoundHalfEven(static_cast<double>(volume) * 100.0));
    } catch (const std::exception &e) {
        qCWarning(lcAudio) << __func__ << "failed:" << e.what();
        return 0;
    }
}

bool TBassEx::HasOpenStream(const std::string &streamName) const
{
    const int index = IndexOfStream(streamName);
    return m_enabled && index >= 0 && m_streams[static_cast<size_t>(index)].Handle != 0;
}

void StartBackgroundMusic(TBassEx &bassEx)
{
    try {
        const std::string path = ResolveMusicFile(ReadSysString(Setting::Mp3));
        if (path.empty())
            return;  // no such file: whatever plays goes on
        bassEx.RemoveStream(kMainPlay);
        bassEx.AddStream(path, kMainPlay);
        bassEx.SetVolume(ReadSysInteger(Setting::Mp3Voice), kMainPlay);
        if (ReadSysInteger(Setting::PlayMp3) == 1)
            bassEx.Play(kMainPlay);
    } catch (const std::exception &e) {
        qCWarning(lcAudio) << __func__ << "failed:" << e.what();
    }
}
