// Festival and the speech tools, linked statically into a module of their
// own whose only exports are the two functions below: the speech tools
// define some of Flite's function names too (val_string, val_int, ...), and
// in one symbol scope Flite would call theirs.
#include <algorithm>
#include <string>

#include <festival/festival.h>

#include "FestivalModule.h"

namespace {

// Festival's interpreter keeps global state: one start per process, every
// call from one thread.
bool selectVoice(const char *voice)
{
    static const bool started = [] {
        // 210000 cells is Festival's own default heap.
        festival_initialize(1, 210000);
        return true;
    }();
    static std::string current;
    if (!started)
        return false;
    if (current == voice)
        return true;
    if (festival_eval_command(EST_String(("(voice_" + std::string(voice) + ")").c_str())) == 0)
        return false;
    current = voice;
    return true;
}

}  // namespace

extern "C" {

KIVRO_FESTIVAL_EXPORT int kivro_festival_load(const char *voice)
{
    return selectVoice(voice) ? 1 : 0;
}

KIVRO_FESTIVAL_EXPORT int kivro_festival_say(const char *voice, const char *utf8Text,
                                             double durationStretch, TFestivalSink sink,
                                             void *context)
{
    if (!selectVoice(voice))
        return 0;
    festival_eval_command(EST_String(
        ("(Parameter.set 'Duration_Stretch " + std::to_string(durationStretch) + ")").c_str()));
    EST_Wave wave;
    if (festival_text_to_wave(EST_String(utf8Text), wave) == 0)
        return 0;
    // Festival makes the whole utterance before any of it can play.
    sink(context, wave.values().memory(), wave.num_samples(), wave.sample_rate());
    return 1;
}
}
