#include "FliteVoices.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>

#include <flite/flite.h>

extern "C" {
cst_voice *register_cmu_us_slt(const char *voxdir);
cst_voice *register_cmu_us_rms(const char *voxdir);
cst_voice *register_cmu_us_kal16(const char *voxdir);
cst_voice *register_cmu_us_kal(const char *voxdir);
cst_voice *register_cmu_us_awb(const char *voxdir);
}

namespace {

using TRegister = cst_voice *(*)(const char *);

TRegister registerOf(const std::string &voice)
{
    static const std::map<std::string, TRegister, std::less<>> registers{
        {"cmu_us_slt", &register_cmu_us_slt},
        {"cmu_us_rms", &register_cmu_us_rms},
        {"cmu_us_kal16", &register_cmu_us_kal16},
        {"cmu_us_kal", &register_cmu_us_kal},
        {"cmu_us_awb", &register_cmu_us_awb}};
    const auto it = registers.find(voice);
    return it != registers.end() ? it->second : nullptr;
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
