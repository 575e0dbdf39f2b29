#pragma once
// The C interface of the Festival module (FestivalModule.cpp), looked up by
// name with dlsym.

#define KIVRO_FESTIVAL_EXPORT __attribute__((visibility("default")))

extern "C" {
// Mono samples at the rate, the whole utterance at once.
using TFestivalSink = void (*)(void *context, const short *samples, int count, int sampleRate);
// 1 when Festival starts and the voice (a Festival voice name) is selected.
KIVRO_FESTIVAL_EXPORT int kivro_festival_load(const char *voice);
// 1 when the text was spoken into the sink; 1.0 is the voice's own speed.
KIVRO_FESTIVAL_EXPORT int kivro_festival_say(const char *voice, const char *utf8Text,
                                             double durationStretch, TFestivalSink sink,
                                             void *context);
}

using TFestivalLoad = decltype(&kivro_festival_load);
using TFestivalSay = decltype(&kivro_festival_say);
