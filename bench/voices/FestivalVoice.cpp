#include "FestivalVoice.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

#include <dlfcn.h>

#include "FestivalModule.h"

namespace {

struct TModule {
    TFestivalLoad Load = nullptr;
    TFestivalSay Say = nullptr;
};

// Opened once, on the speech thread, when the voice is first asked for.
const TModule &module()
{
    static const TModule opened = [] {
        TModule m;
        void *library = dlopen(KIVRO_FESTIVAL_MODULE, RTLD_NOW | RTLD_LOCAL);
        if (library == nullptr) {
            std::fprintf(stderr, "Festival module: %s\n", dlerror());
            return m;
        }
        m.Load = reinterpret_cast<TFestivalLoad>(dlsym(library, "kivro_festival_load"));
        m.Say = reinterpret_cast<TFestivalSay>(dlsym(library, "kivro_festival_say"));
        return m;
    }();
    return opened;
}

struct TSay {
    const TSampleSink *Sink;
    double Gain;
};

void scaled(void *context, const short *samples, int count, int sampleRate)
{
    const auto *say = static_cast<const TSay *>(context);
    std::vector<std::int16_t> piece(static_cast<size_t>(std::max(count, 0)));
    for (size_t i = 0; i < piece.size(); ++i)
        piece[i] = static_cast<std::int16_t>(std::lround(samples[i] * say->Gain));
    (*say->Sink)(piece.data(), count, sampleRate);
}

bool loads(const std::string &voice)
{
    return module().Load != nullptr && module().Load(voice.c_str()) != 0;
}

bool synthesise(const std::string &voice, const std::string &utf8Text, int wordsPerMinute,
                int volume, const TSampleSink &sink)
{
    if (module().Say == nullptr)
        return false;
    // The program's speed scale: 1 at espeak-ng's normal 175 words a minute.
    const double stretch = 175.0 / std::max(wordsPerMinute, 1);
    TSay say{&sink, std::clamp(volume, 0, 100) / 100.0};
    return module().Say(voice.c_str(), utf8Text.c_str(), stretch, &scaled, &say) != 0;
}

}  // namespace

TOtherSynth FestivalSynth()
{
    return {&loads, &synthesise};
}
