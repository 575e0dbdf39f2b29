#pragma once
// The program's text-to-speech object. It knows five voices by description,
// shown under two engine labels, speaks each word the player hit without
// waiting, and applies the saved speech settings. All calls come from the
// user-interface thread.

#include <cstdint>
#include <memory>
#include <string>

#include "Accent.h"
#include "Records.h"
#include "SpeechEngine.h"
#include "Speaker.h"
#include "TextUtils.h"

class TSpeechEx final : public TSpeaker {
public:
    // Create: makes the primary engine's voice object (a failure leaves it
    // absent) without contacting the engine yet.
    explicit TSpeechEx(TSpeechEngineLayer &layer = RealSpeechEngineLayer());
    // Destroy: frees both engines; queued speech is dropped.
    ~TSpeechEx() override;
    TSpeechEx(const TSpeechEx &) = delete;
    TSpeechEx &operator=(const TSpeechEx &) = delete;

    // Called once, right after construction. Lists the voices and chooses
    // the default one, or sets up the secondary engine when no known voice
    // can be used. False when no engine can speak: the main window then
    // tells the player "语音引擎创建失败，请安装语音引擎！". A machine without a
    // sound device is not a failure; speech is then silent.
    bool InitEngine();
    // Only while a known voice is in use: the record's speaker, then its
    // volume, then its rate; any error ends the sequence silently.
    void ApplySpeechSet(const TSpeechSet &set);
    // Speaks the text (GBK) without waiting; never throws. On the secondary
    // engine a text arriving while it still speaks is dropped.
    void Speak(const std::string &text) override;
    // Something spoken is still queued or being heard; false on any error.
    bool IsSpeaking() const;

    // Appends "微软引擎" and/or "NeoSpeak引擎" (GBK), for the voices installed.
    void GetEngineList(TStringList &list) const;
    // Appends the installed voices of the engine label and gender (0 female).
    void GetSpeakerList(const std::string &engineName, int sex, TStringList &list) const;
    // Switches to the installed voice; false (and no change) when it is not.
    bool SetSpeaker(const std::string &engineName, int sex, const std::string &speakName);

    std::string GetEngineName() const { return m_engineName; }
    std::string GetSpeakName() const { return m_speakName; }
    int GetSpeakSex() const { return m_speakSex; }

    // Rate -10 .. 10 and volume 0 .. 100 of the primary engine, whichever
    // engine speaks. Engine errors (no engine, a value out of range) throw.
    void SetRate(int rate);
    int GetRate();
    void SetVolume(int volume);
    int GetVolume();

    // 1 while a known voice speaks, 0 on the secondary engine (or none).
    int EngineKind() const { return m_engineKind; }
    const TStringList &VoiceList() const { return m_voiceList; }

private:
    bool installed(const std::string &description) const;
    void chooseVoice(const std::string &description);
    TSpeechVoice &voice() const;

    TSpeechEngineLayer &m_layer;
    std::unique_ptr<TSpeechVoice> m_spVoice;
    int m_engineKind = 0;
    int m_speakSex = 0;
    std::string m_speakName;
    TStringList m_voiceList;
    std::string m_engineName;
    int m_rate = 0;
    int m_volume = 0;
    std::unique_ptr<TVoiceTextEngine> m_voiceText;
};

// The engine label of a known voice description (GBK), or "".
std::string EngineLabelOf(const std::string &description);
// The accent a voice description speaks: Flite's voices and espeak-ng's
// "en-us" ones American, the other espeak-ng voices (and anything unknown)
// British.
TAccent VoiceAccentOf(const std::string &description);
