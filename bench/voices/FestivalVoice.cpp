#include "FestivalVoice.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include <festival/festival.h>

namespace {

// Festival's interpreter keeps global state: one start per process, and
// every call from the speech thread (both functions below run there).
bool started()
{
    // 210000 cells is Festival's own default heap.
    static const bool ok = [] {
        festival_initialize(1, 210000);
        return true;
    }();
    return ok;
}

bool selectVoice(const std::string &voice)
{
    static std::string current;
    if (!started())
        return false;
    if (voice == current)
        return true;
    if (festival_eval_command(EST_String(("(voice_" + voice + ")").c_str())) == 0)
        return false;
    current = voice;
    return true;
}

bool synthesise(const std::string &voice, const std::string &utf8Text, int wordsPerMinute,
                int volume, const TSampleSink &sink)
{
    if (!selectVoice(voice))
        return false;
    // The same speed scale as the program's engines: 1 at 175 words a minute.
    const double stretch = 175.0 / std::max(wordsPerMinute, 1);
    festival_eval_command(
        EST_String(("(Parameter.set 'Duration_Stretch " + std::to_string(stretch) + ")").c_str()));
    EST_Wave wave;
    if (festival_text_to_wave(EST_String(utf8Text.c_str()), wave) == 0)
        return false;
    // Festival makes the whole utterance before any of it can play.
    const double gain = std::clamp(volume, 0, 100) / 100.0;
    std::vector<std::int16_t> samples(static_cast<size_t>(std::max(wave.num_samples(), 0)));
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = static_cast<std::int16_t>(std::lround(wave.a(static_cast<int>(i)) * gain));
    sink(samples.data(), static_cast<int>(samples.size()), wave.sample_rate());
    return true;
}

}  // namespace

TOtherSynth FestivalSynth()
{
    return {&selectVoice, &synthesise};
}
