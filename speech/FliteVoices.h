#pragma once
// Flite, the engine behind the "NeoSpeak引擎" voices: its voices are compiled
// into libraries of their own, opened and registered when first used. Flite keeps global
// state and is not thread-safe: FliteSynthesise and FliteVoiceLoads run on
// the speech thread only.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

struct TFliteVoice {
    std::string_view Description;  // as the settings store it
    std::string_view Voice;        // Flite voice name
};

// The voices offered, in the order they are enumerated. "VW Kate" is the
// package's only female voice; "VW Paul" is the male voice bench/voices found
// recognised best (of 300 TOEFL words: rms 60 %, awb 59 %, kal 39 %, kal16
// 24 %; slt 65 %, espeak-ng's voices 8 to 27 %).
inline constexpr std::array<TFliteVoice, 2> kFliteVoices{{
    {"VW Kate", "cmu_us_slt"},
    {"VW Paul", "cmu_us_rms"},
}};

// Every voice the package ships, for measuring them against each other.
inline constexpr std::array<std::string_view, 5> kFliteVoiceNames{
    "cmu_us_slt", "cmu_us_rms", "cmu_us_kal16", "cmu_us_kal", "cmu_us_awb"};

// A speed in words per minute (EspeakWordsPerMinute of the rate) as Flite's
// duration stretch, 1 at espeak-ng's normal 175: one rate scale speeds both
// engines up alike.
double FliteDurationStretch(int wordsPerMinute);

// Pieces of an utterance as they are made: mono samples at the voice's rate.
// False stops making the utterance.
using TFliteSink = std::function<bool(const std::int16_t *samples, int count, int sampleRate)>;

// Whether the voice is one of kFliteVoiceNames and its library is installed;
// nothing is loaded. Any thread.
bool FliteVoiceFound(const std::string &voice);
// Whether the voice is one of kFliteVoiceNames, its library opens and the
// voice registers (done once; the first call pays for the voice's data).
bool FliteVoiceLoads(const std::string &voice);
// Tests: look for the voices' libraries in dir instead (empty: beside
// Flite's own library). Set before any voice is loaded.
void SetFliteVoiceDir(const std::string &dir);
// Speaks the text (UTF-8) with the voice at the speed, its samples scaled by
// volume / 100, handing them to the sink piece by piece as they are made, so
// that playing can start before the utterance is complete. False when the
// voice does not load or synthesis fails.
bool FliteSynthesise(const std::string &voice, const std::string &utf8Text, int wordsPerMinute,
                     int volume, const TFliteSink &sink);
