#pragma once
// A speech engine layer with chosen voice descriptions, failures on demand,
// and a record of everything spoken with the settings it was spoken with.

#include <memory>
#include <string>
#include <vector>

#include "SpeechEngine.h"

struct FakeSpeechState {
    std::vector<std::string> descriptions;
    // Failures on demand.
    bool createVoiceFails = false;
    bool initialiseFails = false;
    bool enumerateFails = false;
    bool selectFails = false;
    bool speakFails = false;
    bool voiceTextMissing = false;

    // The primary engine as it is now.
    int selected = -1;
    int rate = 0;
    int volume = 100;
    struct Spoken {
        std::string text;
        int voice;
        int rate;
        int volume;
    };
    std::vector<Spoken> spoken;
    bool speaking = false;  // what IsSpeaking answers

    // The secondary engine.
    bool voiceTextCreated = false;
    int voiceTextSpeed = 0;
    bool voiceTextSpeaking = false;
    std::vector<std::string> voiceTextSpoken;
};

class FakeSpeechLayer final : public TSpeechEngineLayer {
public:
    explicit FakeSpeechLayer(std::vector<std::string> descriptions = {})
    {
        state.descriptions = std::move(descriptions);
    }

    std::unique_ptr<TSpeechVoice> CreateVoice() override
    {
        if (state.createVoiceFails)
            throw ESpeechError("no voice object");
        return std::make_unique<Voice>(state);
    }
    std::unique_ptr<TVoiceTextEngine> CreateVoiceText() override
    {
        if (state.voiceTextMissing)
            throw ESpeechError("no secondary engine");
        state.voiceTextCreated = true;
        return std::make_unique<VoiceText>(state);
    }

    FakeSpeechState state;

private:
    class Voice final : public TSpeechVoice {
    public:
        explicit Voice(FakeSpeechState &s) : m_s(s) {}
        void Initialise() override
        {
            if (m_s.initialiseFails)
                throw ESpeechError("engine missing");
        }
        std::vector<std::string> VoiceDescriptions() override
        {
            if (m_s.enumerateFails)
                throw ESpeechError("cannot enumerate");
            return m_s.descriptions;
        }
        void SelectVoice(int index) override
        {
            if (m_s.selectFails || index < 0 || index >= static_cast<int>(m_s.descriptions.size()))
                throw ESpeechError("cannot select");
            m_s.selected = index;
        }
        void Speak(const std::string &text) override
        {
            if (m_s.speakFails)
                throw ESpeechError("cannot speak");
            m_s.spoken.push_back({text, m_s.selected, m_s.rate, m_s.volume});
        }
        bool IsSpeaking() override { return m_s.speaking; }
        void SetRate(int rate) override
        {
            if (rate < -10 || rate > 10)
                throw ESpeechError("rate out of range");
            m_s.rate = rate;
        }
        int GetRate() override { return m_s.rate; }
        void SetVolume(int volume) override
        {
            if (volume < 0 || volume > 100)
                throw ESpeechError("volume out of range");
            m_s.volume = volume;
        }
        int GetVolume() override { return m_s.volume; }

    private:
        FakeSpeechState &m_s;
    };

    class VoiceText final : public TVoiceTextEngine {
    public:
        explicit VoiceText(FakeSpeechState &s) : m_s(s) {}
        void SetSpeed(int wordsPerMinute) override { m_s.voiceTextSpeed = wordsPerMinute; }
        bool IsSpeaking() override { return m_s.voiceTextSpeaking; }
        void Speak(const std::string &text) override
        {
            m_s.voiceTextSpoken.push_back(text);
            m_s.voiceTextSpeaking = true;
        }

    private:
        FakeSpeechState &m_s;
    };
};
