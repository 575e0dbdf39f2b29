// The real engine layer: the primary engine offers those of the five known
// voices that are installed, Flite's under "NeoSpeak引擎" and espeak-ng's under
// "微软引擎"; the secondary engine speaks with espeak-ng's default English
// voice at a fixed speed. Both speak through the speech thread and the
// program's sound output.
#include <vector>

#include "SpeechService.h"
#include "EspeakLibrary.h"
#include "EspeakVoices.h"
#include "FliteVoices.h"
#include "SpeechEngine.h"

namespace {

struct TOfferedVoice {
    std::string Description;
    std::string Voice;
    TSynth Synth = TSynth::Espeak;
};

class TRealSpeechVoice final : public TSpeechVoice {
public:
    TRealSpeechVoice() : m_owner(TSpeechService::Instance().NewOwner()) {}
    ~TRealSpeechVoice() override { TSpeechService::Instance().Purge(m_owner); }

    void Initialise() override
    {
        TSpeechService &service = TSpeechService::Instance();
        m_voices.clear();
        // A Flite voice is offered when its library is installed, an
        // espeak-ng one when espeak-ng's library and the voice's data are:
        // each engine is loaded when one of its voices is first chosen or
        // speaks, so a session on a Flite voice never loads espeak-ng.
        for (const TFliteVoice &voice : kFliteVoices) {
            if (FliteVoiceFound(std::string(voice.Voice)))
                m_voices.push_back(
                    {std::string(voice.Description), std::string(voice.Voice), TSynth::Flite});
        }
        // Without a Flite voice espeak-ng is the engine, and it must start
        // now: the player is told at start if it cannot.
        const bool espeakNow = m_voices.empty();
        if (espeakNow && !service.Initialise())
            throw ESpeechError("espeak-ng cannot start: its library or data files are missing");
        service.OpenOutput();
        for (const TEspeakVoice &voice : kEspeakVoices) {
            const std::string name(voice.Voice);
            if (espeakNow ? service.VoiceLoads(name) : EspeakVoiceFound(name))
                m_voices.push_back({std::string(voice.Description), name, TSynth::Espeak});
        }
        if (m_voices.empty())
            throw ESpeechError("no voice of Flite or espeak-ng is installed");
        m_initialised = true;
    }

    std::vector<std::string> VoiceDescriptions() override
    {
        requireEngine();
        std::vector<std::string> descriptions;
        for (const TOfferedVoice &voice : m_voices)
            descriptions.push_back(voice.Description);
        return descriptions;
    }

    void SelectVoice(int index) override
    {
        requireEngine();
        if (index < 0 || index >= static_cast<int>(m_voices.size()))
            throw ESpeechError("no voice at position " + std::to_string(index));
        m_selected = index;
        // Loaded on the speech thread now rather than by its first word.
        const TOfferedVoice &voice = m_voices[static_cast<size_t>(index)];
        TSpeechService::Instance().Prepare(voice.Voice, voice.Synth);
    }

    void Speak(const std::string &text) override
    {
        requireEngine();
        // Until a voice is chosen the engine speaks with espeak-ng's default one.
        const TOfferedVoice voice = m_selected >= 0
                                        ? m_voices[static_cast<size_t>(m_selected)]
                                        : TOfferedVoice{{}, std::string(kVoiceTextVoice)};
        TSpeechService::Instance().Enqueue(
            {m_owner, text, voice.Voice, EspeakWordsPerMinute(m_rate), m_volume, voice.Synth});
    }

    bool IsSpeaking() override { return TSpeechService::Instance().IsBusy(m_owner); }

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
    std::vector<TOfferedVoice> m_voices;
    int m_selected = -1;
    int m_rate = 0;
    int m_volume = 100;
};

class TEspeakVoiceText final : public TVoiceTextEngine {
public:
    TEspeakVoiceText() : m_owner(TSpeechService::Instance().NewOwner()) {}
    ~TEspeakVoiceText() override { TSpeechService::Instance().Purge(m_owner); }

    void SetSpeed(int wordsPerMinute) override { m_speed = wordsPerMinute; }
    bool IsSpeaking() override { return TSpeechService::Instance().IsBusy(m_owner); }
    void Speak(const std::string &text) override
    {
        TSpeechService::Instance().Enqueue(
            {m_owner, text, std::string(kVoiceTextVoice), m_speed, 100});
    }

private:
    int m_owner;
    int m_speed = 175;
};

class TRealSpeechEngineLayer final : public TSpeechEngineLayer {
public:
    std::unique_ptr<TSpeechVoice> CreateVoice() override
    {
        return std::make_unique<TRealSpeechVoice>();
    }

    std::unique_ptr<TVoiceTextEngine> CreateVoiceText() override
    {
        TSpeechService &service = TSpeechService::Instance();
        if (!service.Initialise() || !service.VoiceLoads(std::string(kVoiceTextVoice)))
            throw ESpeechError("espeak-ng has no English voice");
        return std::make_unique<TEspeakVoiceText>();
    }
};

}  // namespace

TSpeechEngineLayer &RealSpeechEngineLayer()
{
    static TRealSpeechEngineLayer layer;
    return layer;
}
