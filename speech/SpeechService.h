#pragma once
// The speech engines for the whole process: espeak-ng and Flite, each loaded
// when first needed. Both keep
// global state and are not thread-safe, so one speech thread makes every
// call into them: callers post work and return at once. Utterances of either
// engine are made in order of arrival, each when the sound before it is
// nearly played, and their sound is queued on the program's sound output as
// it is made, so queued words play one after another.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <future>
#include <utility>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "PcmQueue.h"
#include "UtteranceShaper.h"

struct TEspeakApi;

// Other: an engine the program does not ship (SetOtherSynth).
enum class TSynth { Espeak, Flite, Other };

// Pieces of an utterance as an engine makes them: mono samples at its rate.
// False stops making the utterance.
using TSampleSink = std::function<bool(const std::int16_t *samples, int count, int sampleRate)>;

// An engine outside the program's two, spoken through the same thread,
// shaping and output, so that a candidate voice is measured exactly as the
// player would hear it (bench/voices). Both run on the speech thread.
struct TOtherSynth {
    std::function<bool(const std::string &voice)> Loads;
    std::function<bool(const std::string &voice, const std::string &utf8Text, int wordsPerMinute,
                       int volume, const TSampleSink &sink)>
        Synthesise;
};

struct TUtterance {
    int Owner = 0;
    std::string Text;   // GBK
    std::string Voice;  // espeak-ng voice name with variant, or Flite voice name
    int WordsPerMinute = 175;
    int Volume = 100;  // 0 .. 100
    TSynth Synth = TSynth::Espeak;
};

class TSpeechService {
public:
    static TSpeechService &Instance();
    ~TSpeechService();
    TSpeechService(const TSpeechService &) = delete;
    TSpeechService &operator=(const TSpeechService &) = delete;

    // Starts espeak-ng on the speech thread (loading its library) the first
    // time; false when it cannot start (no library, no data files). Then
    // opens the sound output as OpenOutput does.
    bool Initialise();
    // Opens the sound output without starting espeak-ng, which then starts
    // when an utterance or a voice check first needs it. Without an output
    // speech is made silently, which is not a failure.
    void OpenOutput();
    // Whether the voice (with its variant) loads. Cached per name.
    bool VoiceLoads(const std::string &voice, TSynth synth = TSynth::Espeak);
    // Loads the voice (and its engine) on the speech thread, without waiting,
    // when the sound output is open; a failure is logged there, and the
    // voice's words are then silent.
    void Prepare(const std::string &voice, TSynth synth);
    // The utterance's sound as the output would play it (44.1 kHz stereo),
    // made in turn with the queued ones but not played. For measurements.
    std::vector<float> Render(const TUtterance &utterance);

    // Installs the engine that TSynth::Other utterances are made with.
    void SetOtherSynth(TOtherSynth synth);

    // An id for a new speaker of utterances.
    int NewOwner();
    void Enqueue(TUtterance utterance);
    // The owner has utterances queued, being made, or still playing.
    bool IsBusy(int owner) const;
    // Drops the owner's queued utterances and the sound not yet played.
    void Purge(int owner);
    // Frames of made sound held for playing. For measurements.
    std::int64_t QueuedFrames() const;

    // Sound made ahead of what is played: enough to go from word to word
    // without a gap, little enough that words typed faster than they are
    // spoken wait as text, not as sound (a second of it is 350 kB).
    static constexpr std::int64_t kMadeAheadFrames = 44100 / 2;

    // The engine's samples as they are made (speech thread only). Non-zero
    // stops making the current utterance.
    int OnSamples(const short *samples, int count);

private:
    TSpeechService();

    struct Job {
        std::function<void()> task;  // either a task
        TUtterance utterance;        // or an utterance (when task is empty)
    };

    void run();
    // Waits for the next job to run: a task at once, an utterance once less
    // than kMadeAheadFrames are queued. False when the service stops.
    bool nextJob(std::unique_lock<std::mutex> &lock, Job &job);
    void speak(const TUtterance &utterance);
    // Makes the utterance; its frames go to m_collect when set, else to the queue.
    void synthesise(const TUtterance &utterance);
    void deliver(const std::vector<float> &frames);
    // Runs the task on the speech thread and waits for its result.
    template <typename T, typename F>
    T runAndWait(F task);
    // espeak-ng loaded and started (tried once); speech thread only.
    bool startEspeak();
    bool loadVoice(const std::string &voice, TSynth synth);
    bool selectVoice(const std::string &voice);
    // Makes an utterance with an engine that hands over its samples itself.
    template <typename F>
    void synthesiseFrom(F make);

    std::shared_ptr<TPcmQueue> m_queue = std::make_shared<TPcmQueue>();
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Job> m_jobs;
    std::map<int, int> m_pending;  // utterances per owner not yet fully queued for playing
    std::map<std::string, bool> m_loads;
    int m_lastOwner = 0;
    int m_abortOwner = 0;  // the utterance being made belongs to a purged owner
    bool m_stop = false;
    std::thread m_thread;

    // Speech thread only.
    bool m_started = false;
    bool m_ready = false;
    const TEspeakApi *m_espeak = nullptr;
    int m_sampleRate = 22050;
    std::string m_currentVoice;
    int m_currentOwner = 0;
    TOtherSynth m_other;
    std::unique_ptr<TUtteranceShaper> m_shaper;
    std::vector<float> m_frames;
    std::vector<float> *m_collect = nullptr;
};
