#include "FliteVoices.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>

#include <dlfcn.h>
#include <unistd.h>

#include <flite/flite.h>

#include "SpeechLog.h"

namespace {

using TRegister = cst_voice *(*)(const char *);

// Where the voices' libraries are looked for: beside Flite's own library,
// where its package installs them, unless a test says otherwise.
std::string &voiceDirOverride()
{
    static std::string dir;
    return dir;
}

std::string voiceDir()
{
    if (!voiceDirOverride().empty())
        return voiceDirOverride();
    Dl_info info{};
    if (dladdr(reinterpret_cast<void *>(&flite_init), &info) == 0 || info.dli_fname == nullptr)
        return {};
    const std::string flite = info.dli_fname;
    const size_t slash = flite.rfind('/');
    return slash == std::string::npos ? std::string() : flite.substr(0, slash);
}

bool known(const std::string &voice)
{
    return std::find(kFliteVoiceNames.begin(), kFliteVoiceNames.end(), voice)
           != kFliteVoiceNames.end();
}

std::string libraryPath(const std::string &voice)
{
    return voiceDir() + "/libflite_" + voice + ".so.1";
}

// A voice's library is opened when the voice first speaks, not at start:
// each holds megabytes of voice data, and a session uses one voice at most.
// The handle stays open for the process, as the registered voice points
// into it.
TRegister registerOf(const std::string &voice)
{
    if (!known(voice))
        return nullptr;
    const std::string path = libraryPath(voice);
    void *library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        qCWarning(lcSpeech, "Flite voice %s cannot be loaded: %s", voice.c_str(), dlerror());
        return nullptr;
    }
    const std::string symbol = "register_" + voice;
    auto *reg = reinterpret_cast<TRegister>(dlsym(library, symbol.c_str()));
    if (reg == nullptr)
        qCWarning(lcSpeech, "Flite voice %s has no %s", voice.c_str(), symbol.c_str());
    return reg;
}

// Registered voices live as long as the process: registering again would
// load the voice's data again.
cst_voice *loadVoice(const std::string &voice)
{
    static std::map<std::string, cst_voice *, std::less<>> loaded;
    if (const auto it = loaded.find(voice); it != loaded.end())
        return it->second;
    const TRegister reg = registerOf(voice);
    if (reg == nullptr)
        return nullptr;
    static const bool initialised = flite_init() == 0;
    cst_voice *v = initialised ? reg(nullptr) : nullptr;
    loaded.emplace(voice, v);
    return v;
}

struct TStreaming {
    const TFliteSink *Sink;
    double Gain;
    std::vector<std::int16_t> Piece;
    bool Streamed = false;

    bool Hand(const std::int16_t *samples, int count, int sampleRate)
    {
        Piece.resize(static_cast<size_t>(std::max(count, 0)));
        for (size_t i = 0; i < Piece.size(); ++i)
            Piece[i] = static_cast<std::int16_t>(std::lround(samples[i] * Gain));
        return (*Sink)(Piece.data(), count, sampleRate);
    }
};

int streamPiece(const cst_wave *w, int start, int size, int, cst_audio_streaming_info *asi)
{
    auto *streaming = static_cast<TStreaming *>(asi->userdata);
    streaming->Streamed = true;
    return streaming->Hand(w->samples + start, size, w->sample_rate) ? CST_AUDIO_STREAM_CONT
                                                                     : CST_AUDIO_STREAM_STOP;
}

}  // namespace

double FliteDurationStretch(int wordsPerMinute)
{
    return 175.0 / std::max(wordsPerMinute, 1);
}

void SetFliteVoiceDir(const std::string &dir)
{
    voiceDirOverride() = dir;
}

bool FliteVoiceFound(const std::string &voice)
{
    return known(voice) && access(libraryPath(voice).c_str(), R_OK) == 0;
}

bool FliteVoiceLoads(const std::string &voice)
{
    return loadVoice(voice) != nullptr;
}

bool FliteSynthesise(const std::string &voice, const std::string &utf8Text, int wordsPerMinute,
                     int volume, const TFliteSink &sink)
{
    cst_voice *v = loadVoice(voice);
    if (v == nullptr)
        return false;
    feat_set_float(v->features, "duration_stretch",
                   static_cast<float>(FliteDurationStretch(wordsPerMinute)));
    TStreaming streaming{&sink, std::clamp(volume, 0, 100) / 100.0, {}};
    cst_audio_streaming_info *asi = new_audio_streaming_info();
    asi->asc = &streamPiece;
    asi->userdata = &streaming;
    // The feature owns the streaming record from here on.
    feat_set(v->features, "streaming_info", audio_streaming_info_val(asi));
    cst_wave *wave = flite_text_to_wave(utf8Text.c_str(), v);
    feat_remove(v->features, "streaming_info");
    if (wave == nullptr)
        return false;
    // A voice that does not stream hands over its whole wave at the end.
    if (!streaming.Streamed)
        streaming.Hand(wave->samples, wave->num_samples, wave->sample_rate);
    delete_wave(wave);
    return true;
}
