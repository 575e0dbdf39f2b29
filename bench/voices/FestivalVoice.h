#pragma once
// Festival with one of its HTS voices, a candidate measured beside the voices
// the speech dialog offers: it speaks through the speech thread and the
// program's sound output like them (TSpeechService::SetOtherSynth).

#include "SpeechService.h"

// Festival starts, and its voice loads, on the speech thread when first asked.
TOtherSynth FestivalSynth();
