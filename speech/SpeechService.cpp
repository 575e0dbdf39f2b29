#include "SpeechService.h"

#include <algorithm>
#include <chrono>

#include "AudioOutput.h"
#include "EspeakLibrary.h"
#include "FliteVoices.h"
#include "GbkText.h"
#include "SpeechLog.h"

namespace {

TSpeechService *g_service = nullptr;

int synthCallback(short *samples, int count, espeak_EVENT *)
{
    return g_service != nullptr ? g_service->OnSamples(samples, count) : 1;
}

}  // namespace

TSpeechService &TSpeechService::Instance()
{
    // The output is made first so that it outlives the speech thread.
    TAudioOutput::Shared();
    static TSpeechService service;
    return service;
}

TSpeechService::TSpeechService()
{
    g_service = this;
    m_thread = std::thread([this] { run(); });
}

TSpeechService::~TSpeechService()
{
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join();
    g_service = nullptr;
}

bool TSpeechService::nextJob(std::unique_lock<std::mutex> &lock, Job &job)
{
    for (;;) {
        if (m_stop)
            return false;
        if (!m_jobs.empty()
            && (m_jobs.front().task || m_queue->PendingTotal() < kMadeAheadFrames)) {
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
            return true;
        }
        // Words wait as text while enough sound is queued; a task does not
        // wait for them.
        const auto task = std::find_if(m_jobs.begin(), m_jobs.end(),
                                       [](const Job &queued) { return bool(queued.task); });
        if (task != m_jobs.end()) {
            job = std::move(*task);
            m_jobs.erase(task);
            return true;
        }
        if (m_jobs.empty())
            m_wake.wait(lock);
        else
            m_wake.wait_for(lock, std::chrono::milliseconds(20));
    }
}

void TSpeechService::run()
{
    for (;;) {
        Job job;
        {
            std::unique_lock lock(m_mutex);
            if (!nextJob(lock, job))
                break;
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
        m_espeak->Terminate();
}

template <typename T, typename F>
T TSpeechService::runAndWait(F task)
{
    auto done = std::make_shared<std::promise<T>>();
    std::future<T> result = done->get_future();
    {
        std::lock_guard lock(m_mutex);
        m_jobs.push_back(
            Job{[task = std::move(task), done]() mutable { done->set_value(task()); }, {}});
    }
    m_wake.notify_all();
    return result.get();
}

bool TSpeechService::startEspeak()
{
    if (!m_started) {
        m_started = true;
        m_espeak = EspeakApi();
        const std::string path = EspeakDataPath();
        const int rate = m_espeak != nullptr ? m_espeak->Initialize(
                             AUDIO_OUTPUT_SYNCHRONOUS, 20, path.c_str(), espeakINITIALIZE_DONT_EXIT)
                                             : 0;
        if (rate > 0) {
            m_sampleRate = rate;
            m_espeak->SetSynthCallback(&synthCallback);
            m_ready = true;
        } else if (m_espeak != nullptr) {
            qCWarning(lcSpeech, "espeak-ng cannot start: no data in %s", path.c_str());
        }
    }
    return m_ready;
}

bool TSpeechService::Initialise()
{
    const bool ready = runAndWait<bool>([this] { return startEspeak(); });
    if (ready)
        OpenOutput();
    return ready;
}

void TSpeechService::OpenOutput()
{
    if (TAudioOutput::Shared().Open()) {
        static std::once_flag added;
        std::call_once(added, [this] { TAudioOutput::Shared().AddSource(m_queue); });
    }
}

bool TSpeechService::VoiceLoads(const std::string &voice, TSynth synth)
{
    const std::string key = (synth == TSynth::Flite   ? "flite:"
                             : synth == TSynth::Other ? "other:"
                                                      : "espeak:")
                            + voice;
    {
        std::lock_guard lock(m_mutex);
        const auto known = m_loads.find(key);
        if (known != m_loads.end())
            return known->second;
    }
    const bool loads = runAndWait<bool>([this, voice, synth] { return loadVoice(voice, synth); });
    std::lock_guard lock(m_mutex);
    m_loads[key] = loads;
    return loads;
}

void TSpeechService::Prepare(const std::string &voice, TSynth synth)
{
    {
        std::lock_guard lock(m_mutex);
        // Without a sound output nothing is made, so nothing need be loaded.
        m_jobs.push_back(Job{[this, voice, synth] {
                                 if (TAudioOutput::Shared().IsOpen())
                                     loadVoice(voice, synth);
                             },
                             {}});
    }
    m_wake.notify_all();
}

std::vector<float> TSpeechService::Render(const TUtterance &utterance)
{
    return runAndWait<std::vector<float>>([this, utterance] {
        std::vector<float> frames;
        m_collect = &frames;
        synthesise(utterance);
        m_collect = nullptr;
        return frames;
    });
}

void TSpeechService::SetOtherSynth(TOtherSynth synth)
{
    runAndWait<bool>([this, synth = std::move(synth)]() mutable {
        m_other = std::move(synth);
        return true;
    });
    // What loaded with the engine before does not say what loads with this one.
    std::lock_guard lock(m_mutex);
    std::erase_if(m_loads, [](const auto &entry) { return entry.first.rfind("other:", 0) == 0; });
}

int TSpeechService::NewOwner()
{
    std::lock_guard lock(m_mutex);
    return ++m_lastOwner;
}

void TSpeechService::Enqueue(TUtterance utterance)
{
    {
        std::lock_guard lock(m_mutex);
        ++m_pending[utterance.Owner];
        m_jobs.push_back(Job{{}, std::move(utterance)});
    }
    m_wake.notify_one();
}

std::int64_t TSpeechService::QueuedFrames() const
{
    return m_queue->HeldFrames();
}

bool TSpeechService::IsBusy(int owner) const
{
    {
        std::lock_guard lock(m_mutex);
        if (m_pending.count(owner) != 0)
            return true;
    }
    return m_queue->Pending(owner) > 0;
}

void TSpeechService::Purge(int owner)
{
    {
        std::lock_guard lock(m_mutex);
        std::erase_if(
            m_jobs, [owner](const Job &job) { return !job.task && job.utterance.Owner == owner; });
        if (m_currentOwner == owner) {
            m_abortOwner = owner;
            m_pending[owner] = 1;  // the one being made
        } else {
            m_pending.erase(owner);
        }
    }
    m_queue->Purge(owner);
}

bool TSpeechService::loadVoice(const std::string &voice, TSynth synth)
{
    switch (synth) {
    case TSynth::Flite:
        return FliteVoiceLoads(voice);
    case TSynth::Other:
        return m_other.Loads && m_other.Loads(voice);
    case TSynth::Espeak:
        break;
    }
    return startEspeak() && selectVoice(voice);
}

bool TSpeechService::selectVoice(const std::string &voice)
{
    if (voice == m_currentVoice)
        return true;
    if (m_espeak->SetVoiceByName(voice.c_str()) != EE_OK)
        return false;
    // An unknown variant is ignored silently by espeak-ng; the loaded voice's
    // identifier names the variant only when it was found.
    const auto plus = voice.find('+');
    if (plus != std::string::npos) {
        const espeak_VOICE *current = m_espeak->GetCurrentVoice();
        const std::string variant = voice.substr(plus);
        const std::string identifier =
            current != nullptr && current->identifier != nullptr ? current->identifier : "";
        if (identifier.size() < variant.size()
            || identifier.compare(identifier.size() - variant.size(), variant.size(), variant)
                   != 0) {
            m_currentVoice.clear();
            return false;
        }
    }
    m_currentVoice = voice;
    return true;
}

void TSpeechService::speak(const TUtterance &utterance)
{
    // Without a sound output nothing would be heard: nothing is made.
    if (!TAudioOutput::Shared().IsOpen())
        return;
    synthesise(utterance);
}

void TSpeechService::synthesise(const TUtterance &utterance)
{
    const std::string text = GbkToUtf8(utterance.Text);
    if (utterance.Synth == TSynth::Flite) {
        synthesiseFrom([&](const TSampleSink &sink) {
            FliteSynthesise(utterance.Voice, text, utterance.WordsPerMinute, utterance.Volume,
                            sink);
        });
        return;
    }
    if (utterance.Synth == TSynth::Other) {
        synthesiseFrom([&](const TSampleSink &sink) {
            if (m_other.Synthesise)
                m_other.Synthesise(utterance.Voice, text, utterance.WordsPerMinute,
                                   utterance.Volume, sink);
        });
        return;
    }
    if (!startEspeak() || !selectVoice(utterance.Voice))
        return;
    m_espeak->SetParameter(espeakRATE, utterance.WordsPerMinute, 0);
    m_espeak->SetParameter(espeakVOLUME, utterance.Volume, 0);
    m_shaper = std::make_unique<TUtteranceShaper>(m_sampleRate);
    m_espeak->Synth(text.c_str(), text.size() + 1, 0, POS_CHARACTER, 0, espeakCHARS_UTF8, nullptr,
                    nullptr);
    m_frames.clear();
    m_shaper->Finish(m_frames);
    deliver(m_frames);
}

template <typename F>
void TSpeechService::synthesiseFrom(F make)
{
    m_shaper.reset();
    make([this](const std::int16_t *samples, int count, int sampleRate) {
        if (!m_shaper)
            m_shaper = std::make_unique<TUtteranceShaper>(sampleRate);
        return OnSamples(samples, count) == 0;
    });
    m_frames.clear();
    if (m_shaper)
        m_shaper->Finish(m_frames);
    deliver(m_frames);
}

void TSpeechService::deliver(const std::vector<float> &frames)
{
    if (m_collect != nullptr) {
        m_collect->insert(m_collect->end(), frames.begin(), frames.end());
        return;
    }
    // Under the lock, so that a purge in between cannot let a piece of a
    // dropped utterance through.
    std::lock_guard lock(m_mutex);
    if (m_stop || (m_abortOwner != 0 && m_abortOwner == m_currentOwner))
        return;
    m_queue->Append(m_currentOwner, frames.data(), static_cast<int>(frames.size() / 2));
}

int TSpeechService::OnSamples(const short *samples, int count)
{
    if (samples == nullptr || count <= 0 || !m_shaper)
        return 0;
    m_frames.clear();
    m_shaper->Feed(samples, count, m_frames);
    // Queued for playing as soon as it is made, so a long utterance starts
    // before it is complete.
    deliver(m_frames);
    std::lock_guard lock(m_mutex);
    return m_stop || (m_abortOwner != 0 && m_abortOwner == m_currentOwner) ? 1 : 0;
}
