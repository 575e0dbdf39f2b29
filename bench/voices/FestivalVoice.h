#pragma once
// Festival with one of its HTS voices, a candidate measured beside the voices
// the speech dialog offers: it speaks through the speech thread and the
// program's sound output like them (TSpeechService::SetOtherSynth). Festival
// itself is in a module of its own (FestivalModule.cpp), opened on first use.

#include "SpeechService.h"

TOtherSynth FestivalSynth();
