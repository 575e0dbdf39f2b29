#include "USpeechEx.h"

#include <algorithm>
#include <array>

#include "EspeakVoices.h"
#include "FliteVoices.h"
#include "GbkText.h"
#include "SpeechLog.h"

namespace {

const std::string &microsoftLabel()
{
    static const std::string label = Gbk("微软引擎");
    return label;
}

const std::string &neoSpeakLabel()
{
    static const std::string label = Gbk("NeoSpeak引擎");
    return label;
}

const std::string kKate = "VW Kate";
const std::string kPaul = "VW Paul";
const std::string kMary = "Microsoft Mary";
const std::string kMike = "Microsoft Mike";
const std::string kSam = "Microsoft Sam";

// The default voice is the first installed one in this order.
const std::array<const std::string *, 5> kFemaleFirst{&kKate, &kMary, &kPaul, &kSam, &kMike};
const std::array<const std::string *, 5> kMaleFirst{&kPaul, &kSam, &kMike, &kKate, &kMary};

}  // namespace

std::string EngineLabelOf(const std::string &description)
{
    if (description == kKate || description == kPaul)
        return neoSpeakLabel();
    if (description == kMary || description == kMike || description == kSam)
        return microsoftLabel();
    return {};
}

TAccent VoiceAccentOf(const std::string &description)
{
    for (const TFliteVoice &voice : kFliteVoices)
        if (voice.Description == description)
            return TAccent::American;
    for (const TEspeakVoice &voice : kEspeakVoices)
        if (voice.Description == description)
            return voice.Voice.substr(0, 5) == "en-us" ? TAccent::American : TAccent::British;
    return TAccent::British;
}

TSpeechEx::TSpeechEx(TSpeechEngineLayer &layer) : m_layer(layer)
{
    try {
        m_spVoice = m_layer.CreateVoice();
    } catch (const ESpeechError &e) {
        qCWarning(lcSpeech) << __func__ << "failed:" << e.what();
        m_spVoice.reset();
    }
}

TSpeechEx::~TSpeechEx() = default;

bool TSpeechEx::installed(const std::string &description) const
{
    return std::find(m_voiceList.begin(), m_voiceList.end(), description) != m_voiceList.end();
}

TSpeechVoice &TSpeechEx::voice() const
{
    if (!m_spVoice)
        throw ESpeechError("语音引擎不可用");
    return *m_spVoice;
}

void TSpeechEx::chooseVoice(const std::string &description)
{
    m_engineKind = 1;
    // Two voices with one description: the first is used.
    const auto index =
        std::find(m_voiceList.begin(), m_voiceList.end(), description) - m_voiceList.begin();
    voice().SelectVoice(static_cast<int>(index));
    m_speakName = description;
}

bool TSpeechEx::InitEngine()
{
    try {
        if (m_spVoice) {
            m_spVoice->Initialise();
            for (const std::string &description : m_spVoice->VoiceDescriptions())
                m_voiceList.push_back(description);
            for (const std::string *probe : m_speakSex == 0 ? kFemaleFirst : kMaleFirst) {
                if (installed(*probe)) {
                    chooseVoice(*probe);
                    m_engineName = EngineLabelOf(*probe);
                    break;
                }
            }
            if (m_engineKind == 1) {
                try {
                    m_spVoice->Speak(".");
                } catch (const ESpeechError &e) {
                    qCWarning(lcSpeech) << __func__ << "failed:" << e.what();
                    m_engineKind = 0;
                }
            }
        }
        if (m_engineKind == 0) {
            m_voiceText = m_layer.CreateVoiceText();
            m_voiceText->SetSpeed(150);
            m_engineName.clear();
        }
        return true;
    } catch (const ESpeechError &e) {
        qCWarning(lcSpeech) << __func__ << "failed:" << e.what();
        return false;
    }
}

void TSpeechEx::ApplySpeechSet(const TSpeechSet &set)
{
    if (m_engineKind != 1)
        return;
    try {
        SetSpeaker(set.EngineName, set.SpeakSex, set.SpeakName);
        SetVolume(set.Volume);
        SetRate(set.Rate);
    } catch (const ESpeechError &e) {
        qCWarning(lcSpeech) << __func__ << "failed:" << e.what();
    }
}

void TSpeechEx::Speak(const std::string &text)
{
    try {
        qCInfo(lcSpeech).noquote() << "speak" << GbkToQString(text);
        if (m_engineKind == 0) {
            if (m_voiceText && !m_voiceText->IsSpeaking())
                m_voiceText->Speak(text);
            else
                qCInfo(lcSpeech).noquote() << "dropped" << GbkToQString(text) << "(still speaking)";
        } else if (m_spVoice) {
            m_spVoice->Speak(text);
        }
    } catch (const std::exception &e) {
        // A speaker never throws (Speaker.h): an engine error and running out
        // of memory alike end here.
        qCWarning(lcSpeech) << __func__ << "failed:" << e.what();
    }
}

bool TSpeechEx::IsSpeaking() const
{
    try {
        if (m_engineKind == 0)
            return m_voiceText && m_voiceText->IsSpeaking();
        return m_spVoice && m_spVoice->IsSpeaking();
    } catch (const ESpeechError &e) {
        qCWarning(lcSpeech) << __func__ << "failed:" << e.what();
        return false;
    }
}

void TSpeechEx::GetEngineList(TStringList &list) const
{
    if (installed(kMike) || installed(kSam) || installed(kMary))
        list.push_back(microsoftLabel());
    if (installed(kKate) || installed(kPaul))
        list.push_back(neoSpeakLabel());
}

void TSpeechEx::GetSpeakerList(const std::string &engineName, int sex, TStringList &list) const
{
    auto offer = [&](const std::string &description) {
        if (installed(description))
            list.push_back(description);
    };
    if (engineName == microsoftLabel()) {
        if (sex != 0) {
            offer(kMike);
            offer(kSam);
        } else {
            offer(kMary);
        }
    } else if (engineName == neoSpeakLabel()) {
        offer(sex != 0 ? kPaul : kKate);
    }
}

bool TSpeechEx::SetSpeaker(const std::string &engineName, int sex, const std::string &speakName)
{
    if (!installed(speakName))
        return false;
    m_speakSex = sex;
    chooseVoice(speakName);
    // Stored as given, without a check against the voice.
    m_engineName = engineName;
    return true;
}

void TSpeechEx::SetRate(int rate)
{
    m_rate = rate;
    voice().SetRate(rate);
}

int TSpeechEx::GetRate()
{
    m_rate = voice().GetRate();
    return m_rate;
}

void TSpeechEx::SetVolume(int volume)
{
    m_volume = volume;
    voice().SetVolume(volume);
}

int TSpeechEx::GetVolume()
{
    m_volume = voice().GetVolume();
    return m_volume;
}
