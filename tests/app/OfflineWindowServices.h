#pragma once
// The main window as the window tests build it: ticks by hand, speech and
// sound going into the given fakes, its own online flag and no network check.

#include "InternetCheck.h"
#include "UFrmType.h"

inline TFrmTypeServices OfflineWindowServices(TSpeechEngineLayer &speech, TAudioLayer &audio)
{
    TFrmTypeServices services;
    services.Ticks = TTickSource::Manual;
    services.Speech = &speech;
    services.Audio = &audio;
    services.Online = NewOnlineFlag();
    services.StartInternetCheck = false;
    return services;
}
