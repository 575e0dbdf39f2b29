#include "EspeakService.h"

#include <espeak-ng/speak_lib.h>

#include "AudioOutput.h"
#include "GbkText.h"

namespace {

TEspeakService *g_service = nullptr;

int synthCallback(short *samples, int count, espeak_EVENT *)
{
    return g_service != nullptr ? g_service->OnSamples(samples, count) : 1;
}

} // namespace

TEspeakService &TEspeakService::Instance()
{
    // The output is made first so that it outlives the speech thread.
    TAudioOutput::Shared();
    static TEspeakService service;
    return service;
}

TEspeakService::TEspeakService()
{
    g_service = this;
    m_thread = std::thread([this] { run(); });
}

TEspeakService::~TEspeakService()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join();
    g_service = nullptr;
}

void TEspeakService::run()
{
    for (;;) {
        Job job;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stop || !m_jobs.empty(); });
            if (m_stop)
                break;
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
            if (!job.task)
                m_currentOwner = job.utterance.Owner;
        }
        if (job.task) {
            job.task();
            continue;
        }
        speak(job.utterance);
        {
            std::lock_guard lock(m_mutex);
            if (--m_pending[job.utterance.Owner] <= 0)
                m_pending.erase(job.utterance.Owner);
            m_currentOwner = 0;
            if (m_abortOwner == job.utterance.Owner)
                m_abortOwner = 0;
        }
    }
    if (m_ready)
        espeak_Terminate();
}

bool TEspeakService::Initialise()
{
    auto done = std::make_shared<std::promise<bool>>();
    std::future<bool> result = done->get_future();
    {
        std::lock_guard lock(m_mutex);
        m_jobs.push_back(Job{[this, done] {
            if (!m_started) {
                m_started = true;
                const int rate = espeak_Initialize(AUDIO_OUTPUT_SYNCHRONOUS, 20, nullptr,
                                                   espeakINITIALIZE_DONT_EXIT);
                if (rate > 0) {
                    m_sampleRate = rate;
                    espeak_SetSynthCallback(&synthCallback);
                    m_ready = true;
                }
            }
            done->set_value(m_ready);
        }, {}});
    }
    m_wake.notify_all();
    const bool ready = result.get();
    if (ready && TAudioOutput::Shared().Open()) {
        static std::once_flag added;
        std::call_once(added, [this] { TAudioOutput::Shared().AddSource(m_queue); });
    }
    return ready;
}

bool TEspeakService::VoiceLoads(const std::string &voice)
{
    {
        std::lock_guard lock(m_mutex);
        const auto known = m_loads.find(voice);
        if (known != m_loads.end())
            return known->second;
    }
    auto done = std::make_shared<std::promise<bool>>();
    std::future<bool> result = done->get_future();
    {
        std::lock_guard lock(m_mutex);
        m_jobs.push_back(Job{[this, voice, done] { done->set_value(m_ready && selectVoice(voice)); }, {}});
    }
    m_wake.notify_all();
    const bool loads = result.get();
    std::lock_guard lock(m_mutex);
    m_loads[voice] = loads;
    return loads;
}

int TEspeakService::NewOwner()
{
    std::lock_guard lock(m_mutex);
    return ++m_lastOwner;
}

void TEspeakService::Enqueue(TUtterance utterance)
{
    {
        std::lock_guard lock(m_mutex);
        ++m_pending[utterance.Owner];
        m_jobs.push_back(Job{{}, std::move(utterance)});
    }
    m_wake.notify_one();
}

bool TEspeakService::IsBusy(int owner) const
{
    {
        std::lock_guard lock(m_mutex);
        if (m_pending.count(owner) != 0)
            return true;
    }
    return m_queue->Pending(owner) > 0;
}

void TEspeakService::Purge(int owner)
{
    {
        std::lock_guard lock(m_mutex);
        std::erase_if(m_jobs, [owner](const Job &job) { return !job.task && job.utterance.Owner == owner; });
        if (m_currentOwner == owner) {
            m_abortOwner = owner;
            m_pending[owner] = 1;  // the one being made
        } else {
            m_pending.erase(owner);
        }
    }
    m_queue->Purge(owner);
}

bool TEspeakService::selectVoice(const std::string &voice)
{
    if (voice == m_currentVoice)
        return true;
    if (espeak_SetVoiceByName(voice.c_str()) != EE_OK)
        return false;
    // An unknown variant is ignored silently by espeak-ng; the loaded voice's
    // identifier names the variant only when it was found.
    const auto plus = voice.find('+');
    if (plus != std::string::npos) {
        const espeak_VOICE *current = espeak_GetCurrentVoice();
        const std::string variant = voice.substr(plus);
        const std::string identifier = current != nullptr && current->identifier != nullptr ? current->identifier : "";
        if (identifier.size() < variant.size()
            || identifier.compare(identifier.size() - variant.size(), variant.size(), variant) != 0) {
            m_currentVoice.clear();
            return false;
        }
    }
    m_currentVoice = voice;
    return true;
}

void TEspeakService::speak(const TUtterance &utterance)
{
    // Without a sound output nothing would be heard: nothing is made.
    if (!m_ready || !TAudioOutput::Shared().IsOpen())
        return;
    if (!selectVoice(utterance.Voice))
        return;
    espeak_SetParameter(espeakRATE, utterance.WordsPerMinute, 0);
    espeak_SetParameter(espeakVOLUME, utterance.Volume, 0);
    const std::string text = GbkToUtf8(utterance.Text);
    m_shaper = std::make_unique<TUtteranceShaper>(m_sampleRate);
    espeak_Synth(text.c_str(), text.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr, nullptr);
    m_frames.clear();
    m_shaper->Finish(m_frames);
    std::lock_guard lock(m_mutex);
    if (m_abortOwner != utterance.Owner)
        m_queue->Append(utterance.Owner, m_frames.data(), static_cast<int>(m_frames.size() / 2));
}

int TEspeakService::OnSamples(const short *samples, int count)
{
    if (samples == nullptr || count <= 0 || !m_shaper)
        return 0;
    m_frames.clear();
    m_shaper->Feed(samples, count, m_frames);
    // Queued for playing as soon as it is made, so a long utterance starts
    // before it is complete. Under the lock, so that a purge in between
    // cannot let a piece of a dropped utterance through.
    std::lock_guard lock(m_mutex);
    if (m_stop || (m_abortOwner != 0 && m_abortOwner == m_currentOwner))
        return 1;
    m_queue->Append(m_currentOwner, m_frames.data(), static_cast<int>(m_frames.size() / 2));
    return 0;
}
