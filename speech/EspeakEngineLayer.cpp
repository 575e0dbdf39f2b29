// The engine layer over espeak-ng: the primary engine offers those of the
// five known voices that load; the secondary engine speaks with espeak-ng's
// default English voice at a fixed speed. Both speak through the speech
// thread and the program's sound output.
#include <vector>

#include "EspeakService.h"
#include "EspeakVoices.h"
#include "SpeechEngine.h"

namespace {

class TEspeakSpeechVoice final : public TSpeechVoice {
public:
    TEspeakSpeechVoice() : m_owner(TEspeakService::Instance().NewOwner()) {}
    ~TEspeakSpeechVoice() override { TEspeakService::Instance().Purge(m_owner); }

    void Initialise() override
    {
        if (!TEspeakService::Instance().Initialise())
            throw ESpeechError("espeak-ng cannot start: its data files are missing");
        m_initialised = true;
        m_voices.clear();
        for (const TEspeakVoice &voice : kEspeakVoices) {
            if (TEspeakService::Instance().VoiceLoads(std::string(voice.Voice)))
                m_voices.push_back(&voice);
        }
    }

    std::vector<std::string> VoiceDescriptions() override
    {
        requireEngine();
        std::vector<std::string> descriptions;
        for (const TEspeakVoice *voice : m_voices)
            descriptions.emplace_back(voice->Description);
        return descriptions;
    }

    void SelectVoice(int index) override
    {
        requireEngine();
        if (index < 0 || index >= static_cast<int>(m_voices.size()))
            throw ESpeechError("no voice at position " + std::to_string(index));
        m_selected = index;
    }

    void Speak(const std::string &text) override
    {
        requireEngine();
        // Until a voice is chosen the engine speaks with its default one.
        const std::string voice = m_selected >= 0 ? std::string(m_voices[static_cast<size_t>(m_selected)]->Voice)
                                                  : std::string(kVoiceTextVoice);
        TEspeakService::Instance().Enqueue({m_owner, text, voice, EspeakWordsPerMinute(m_rate), m_volume});
    }

    void SetRate(int rate) override
    {
        if (rate < -10 || rate > 10)
            throw ESpeechError("speaking rate out of range: " + std::to_string(rate));
        m_rate = rate;
    }
    int GetRate() override { return m_rate; }

    void SetVolume(int volume) override
    {
        if (volume < 0 || volume > 100)
            throw ESpeechError("speech volume out of range: " + std::to_string(volume));
        m_volume = volume;
    }
    int GetVolume() override { return m_volume; }

private:
    void requireEngine() const
    {
        if (!m_initialised)
            throw ESpeechError("the speech engine is not initialised");
    }

    int m_owner;
    bool m_initialised = false;
    std::vector<const TEspeakVoice *> m_voices;
    int m_selected = -1;
    int m_rate = 0;
    int m_volume = 100;
};

class TEspeakVoiceText final : public TVoiceTextEngine {
public:
    TEspeakVoiceText() : m_owner(TEspeakService::Instance().NewOwner()) {}
    ~TEspeakVoiceText() override { TEspeakService::Instance().Purge(m_owner); }

    void SetSpeed(int wordsPerMinute) override { m_speed = wordsPerMinute; }
    bool IsSpeaking() override { return TEspeakService::Instance().IsBusy(m_owner); }
    void Speak(const std::string &text) override
    {
        TEspeakService::Instance().Enqueue({m_owner, text, std::string(kVoiceTextVoice), m_speed, 100});
    }

private:
    int m_owner;
    int m_speed = 175;
};

class TEspeakEngineLayer final : public TSpeechEngineLayer {
public:
    std::unique_ptr<TSpeechVoice> CreateVoice() override { return std::make_unique<TEspeakSpeechVoice>(); }

    std::unique_ptr<TVoiceTextEngine> CreateVoiceText() override
    {
        TEspeakService &service = TEspeakService::Instance();
        if (!service.Initialise() || !service.VoiceLoads(std::string(kVoiceTextVoice)))
            throw ESpeechError("espeak-ng has no English voice");
        return std::make_unique<TEspeakVoiceText>();
    }
};

} // namespace

TSpeechEngineLayer &EspeakEngineLayer()
{
    static TEspeakEngineLayer layer;
    return layer;
}
