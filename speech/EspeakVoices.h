#pragma once
// How the "微软引擎" voices are made with espeak-ng: an English voice and a
// variant each, female ones with an "f" variant, male ones with an "m"
// variant. A description is offered only when its voice and its variant both
// load. The "NeoSpeak引擎" voices are Flite's (FliteVoices.h).

#include <array>
#include <string_view>

struct TEspeakVoice {
    std::string_view Description;  // as the settings store it
    std::string_view Voice;        // espeak-ng voice name with its variant
};

// In the order the voices are enumerated.
inline constexpr std::array<TEspeakVoice, 3> kEspeakVoices{{
    {"Microsoft Mary", "en+f2"},     // British English, female
    {"Microsoft Mike", "en-us+m1"},  // American English, male
    {"Microsoft Sam", "en+m7"},      // British English, male
}};

// The secondary engine's one voice.
inline constexpr std::string_view kVoiceTextVoice = "en";

// Rate -10 .. 10 as words per minute: 0 is espeak-ng's normal 175, each step
// a tenth of a tripling (so ±10 is three times faster or slower, as the
// rate scale the settings use), held to the 80 .. 450 espeak-ng speaks.
int EspeakWordsPerMinute(int rate);
