#pragma once
// espeak-ng, the engine behind the "微软引擎" voices and the secondary
// engine, opened (dlopen) when one of them is first needed rather than at
// start: a session that keeps to a Flite voice never maps it. Not
// thread-safe: EspeakApi runs on the speech thread only.

#include <string>
#include <string_view>

#include <espeak-ng/speak_lib.h>

// The calls the program makes, resolved from the opened library.
struct TEspeakApi {
    decltype(&espeak_Initialize) Initialize = nullptr;
    decltype(&espeak_SetSynthCallback) SetSynthCallback = nullptr;
    decltype(&espeak_SetVoiceByName) SetVoiceByName = nullptr;
    decltype(&espeak_GetCurrentVoice) GetCurrentVoice = nullptr;
    decltype(&espeak_SetParameter) SetParameter = nullptr;
    decltype(&espeak_Synth) Synth = nullptr;
    decltype(&espeak_Terminate) Terminate = nullptr;
};

// Whether the library and the data of the variant (as in "en+f2"; none for
// a plain voice name) are installed; nothing is loaded. Any thread.
bool EspeakVoiceFound(std::string_view voice);
// The folder that holds espeak-ng-data, as espeak_Initialize takes it: the
// one checked by EspeakVoiceFound.
std::string EspeakDataPath();
// The library opened and every call resolved (done once; a failure is
// logged once), or null.
const TEspeakApi *EspeakApi();
// Tests: open this file instead of the installed library, its data looked
// for beside it. Set before espeak-ng is first needed.
void SetEspeakLibrary(const std::string &path);
