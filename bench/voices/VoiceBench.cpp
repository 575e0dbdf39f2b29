// Clarity of the voices, measured by a speech recogniser: the first words of
// the TOEFL book that the recogniser's dictionary knows are synthesised with
// every voice, resampled to 16 kHz mono, laid out one after another with
// silence between them and recognised by pocketsphinx_continuous with a
// grammar of exactly those words. The share recognised as the word spoken is
// a proxy for how clearly the voice speaks; the time from queuing a word to
// its first audible sample on the output is how soon the player hears it,
// and the time its first use takes (library, data) is what the first word of
// a session waits for beyond that. Festival's HTS voice is measured beside
// them as a candidate when the program is built with it.
//
//   voices [words=300] [work folder]
#include <algorithm>
#include <cstddef>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "AudioOutput.h"
#include "EspeakVoices.h"
#include "FliteVoices.h"
#include "GbkText.h"
#include "SpeechService.h"
#include "UtteranceShaper.h"
#ifdef KIVRO_HAVE_FESTIVAL
#include "FestivalVoice.h"
#endif

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// Debian's pocketsphinx-en-us: the acoustic model and the dictionary.
const std::string kModelDir = "/usr/share/pocketsphinx/model/en-us";
const std::string kModel = kModelDir + "/en-us";
const std::string kDictionary = kModelDir + "/cmudict-en-us.dict";
constexpr int kRate = 16000;
constexpr double kGapSeconds = 0.5;
// Festival's voice of Debian's festvox-us-slt-hts.
constexpr std::string_view kFestivalVoiceName = "cmu_us_slt_arctic_hts";

struct TBenchVoice {
    std::string Label;  // what the dialog calls it, if it offers it
    std::string Voice;
    TSynth Synth;
};

std::vector<TBenchVoice> benchVoices()
{
    std::vector<TBenchVoice> voices;
    for (std::string_view name : kFliteVoiceNames) {
        std::string label;
        for (const TFliteVoice &v : kFliteVoices)
            if (v.Voice == name)
                label = std::string(v.Description);
        voices.push_back({label, std::string(name), TSynth::Flite});
    }
    for (const TEspeakVoice &v : kEspeakVoices)
        voices.push_back({std::string(v.Description), std::string(v.Voice), TSynth::Espeak});
    voices.push_back({"", std::string(kFestivalVoiceName), TSynth::Other});
    return voices;
}

// Spellings of the book in order: the text before "[" on each line.
std::vector<std::string> bookWords(const fs::path &book)
{
    std::ifstream in(book, std::ios::binary);
    std::vector<std::string> words;
    std::string line;
    while (std::getline(in, line)) {
        const auto bracket = line.find('[');
        if (bracket == std::string::npos)
            continue;
        std::string word = line.substr(0, bracket);
        while (!word.empty() && word.back() == ' ')
            word.pop_back();
        if (!word.empty())
            words.push_back(word);
    }
    return words;
}

// The dictionary's first pronunciation of each word.
std::map<std::string, std::string> dictionary(const fs::path &dict)
{
    std::ifstream in(dict);
    std::map<std::string, std::string> entries;
    std::string line;
    while (std::getline(in, line)) {
        const auto space = line.find(' ');
        if (space == std::string::npos)
            continue;
        const std::string word = line.substr(0, space);
        if (word.find('(') == std::string::npos)
            entries.emplace(word, line.substr(space + 1));
    }
    return entries;
}

// Left channel of 44.1 kHz stereo frames at 16 kHz: averaged over each
// output sample's span (a crude low-pass), then taken at the 16 kHz points.
std::vector<std::int16_t> to16k(const std::vector<float> &frames)
{
    const size_t in = frames.size() / 2;
    const double step = static_cast<double>(TAudioOutput::kSampleRate) / kRate;
    std::vector<std::int16_t> out;
    for (double pos = 0; pos + step <= static_cast<double>(in); pos += step) {
        double sum = 0;
        int n = 0;
        for (auto i = static_cast<size_t>(pos); i < static_cast<size_t>(pos + step); ++i, ++n)
            sum += frames[2 * i];
        const double v = std::clamp(sum / std::max(n, 1), -1.0, 1.0);
        out.push_back(static_cast<std::int16_t>(std::lround(v * 32767)));
    }
    return out;
}

void writeWav(const fs::path &path, const std::vector<std::int16_t> &samples)
{
    std::ofstream out(path, std::ios::binary);
    auto u32 = [&](std::uint32_t v) { out.write(reinterpret_cast<const char *>(&v), 4); };
    auto u16 = [&](std::uint16_t v) { out.write(reinterpret_cast<const char *>(&v), 2); };
    const auto bytes = static_cast<std::uint32_t>(samples.size() * 2);
    out.write("RIFF", 4);
    u32(36 + bytes);
    out.write("WAVEfmt ", 8);
    u32(16);
    u16(1);
    u16(1);
    u32(kRate);
    u32(kRate * 2);
    u16(2);
    u16(16);
    out.write("data", 4);
    u32(bytes);
    out.write(reinterpret_cast<const char *>(samples.data()), bytes);
}

struct TSpan {
    double Start = 0;
    double End = 0;
};

// Recognised words with their start and end times in seconds.
std::vector<std::pair<std::string, std::pair<double, double>>> recognise(const fs::path &wav,
                                                                         const fs::path &work)
{
    const fs::path out = work / (wav.stem().string() + ".txt");
    const std::string command = "pocketsphinx_continuous -hmm " + kModel + " -dict "
                                + (work / "words.dict").string() + " -jsgf "
                                + (work / "words.gram").string() + " -infile " + wav.string()
                                + " -time yes -logfn /dev/null > " + out.string();
    if (std::system(command.c_str()) != 0)
        std::cerr << "pocketsphinx_continuous failed on " << wav << "\n";
    std::ifstream in(out);
    std::vector<std::pair<std::string, std::pair<double, double>>> words;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream fields(line);
        std::string word;
        double start = 0;
        double end = 0;
        if (fields >> word >> start >> end) {
            if (const auto paren = word.find('('); paren != std::string::npos)
                word.resize(paren);
            if (word != "<s>" && word != "</s>" && word != "<sil>" && word != "(NULL)")
                words.push_back({word, {start, end}});
        }
    }
    return words;
}

// Milliseconds from queuing each word to its first audible output sample.
std::vector<double> latencies(const TBenchVoice &voice, const std::vector<std::string> &words)
{
    std::atomic<bool> armed{false};
    std::atomic<Clock::rep> heard{0};
    TAudioOutput::Shared().SetMonitor([&](const std::int16_t *samples, int frames, std::int64_t) {
        if (!armed || heard != 0)
            return;
        for (std::ptrdiff_t i = 0; i < frames; ++i)
            if (std::abs(static_cast<int>(samples[2 * i])) > TUtteranceShaper::kAudible) {
                heard = Clock::now().time_since_epoch().count();
                return;
            }
    });
    TSpeechService &service = TSpeechService::Instance();
    const int owner = service.NewOwner();
    std::vector<double> ms;
    for (const std::string &word : words) {
        heard = 0;
        armed = true;
        const Clock::time_point start = Clock::now();
        service.Enqueue({owner, word, voice.Voice, 175, 100, voice.Synth});
        while (heard == 0 && Clock::now() - start < std::chrono::seconds(3))
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        armed = false;
        if (heard != 0)
            ms.push_back(std::chrono::duration<double, std::milli>(
                             Clock::time_point{Clock::duration{heard.load()}} - start)
                             .count());
        while (service.IsBusy(owner))
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    TAudioOutput::Shared().SetMonitor(nullptr);
    return ms;
}

}  // namespace

int main(int argc, char **argv)
{
    ::setenv("SDL_AUDIODRIVER", "disk", 0);         // NOLINT(concurrency-mt-unsafe): no thread yet
    ::setenv("SDL_DISKAUDIOFILE", "/dev/null", 0);  // NOLINT(concurrency-mt-unsafe)
    const int wanted = argc > 1 ? std::atoi(argv[1]) : 300;
    const fs::path work = argc > 2 ? fs::path(argv[2]) : fs::temp_directory_path() / "kivro-voices";
    fs::create_directories(work);

    const auto dict = dictionary(kDictionary);
    if (dict.empty()) {
        std::cerr << "no pocketsphinx dictionary at " << kDictionary << "\n";
        return 1;
    }
    std::vector<std::string> words;
    std::set<std::string> seen;
    for (const std::string &w :
         bookWords(fs::path(KIVRO_SOURCE_DIR) / "data/wordbooks/lib109-toefl.txt")) {
        if (static_cast<int>(words.size()) >= wanted)
            break;
        if (dict.count(w) != 0 && seen.insert(w).second)
            words.push_back(w);
    }
    {
        std::ofstream d(work / "words.dict");
        std::ofstream g(work / "words.gram");
        g << "#JSGF V1.0;\ngrammar words;\npublic <word> = ";
        for (size_t i = 0; i < words.size(); ++i) {
            d << words[i] << ' ' << dict.at(words[i]) << '\n';
            g << (i == 0 ? "" : " | ") << words[i];
        }
        g << ";\n";
    }

    TSpeechService &service = TSpeechService::Instance();
#ifdef KIVRO_HAVE_FESTIVAL
    service.SetOtherSynth(FestivalSynth());
#endif
    // espeak-ng is opened on first use: its library and data, once.
    const Clock::time_point espeakStart = Clock::now();
    if (!service.Initialise()) {
        std::cerr << "espeak-ng did not start\n";
        return 1;
    }
    std::printf("espeak-ng opened and started in %.1f ms\n",
                std::chrono::duration<double, std::milli>(Clock::now() - espeakStart).count());
    std::printf("%zu words of the TOEFL book in the recogniser's dictionary\n\n", words.size());
    std::printf("%-22s %-14s %10s %14s %14s %12s\n", "voice", "offered as", "recognised",
                "first sound", "(max)", "first use");
    for (const TBenchVoice &voice : benchVoices()) {
        const Clock::time_point loadStart = Clock::now();
        if (!service.VoiceLoads(voice.Voice, voice.Synth)) {
            std::printf("%-22s %-14s %10s\n", voice.Voice.c_str(), voice.Label.c_str(),
                        voice.Synth == TSynth::Other ? "not built (festival-dev)" : "no voice");
            continue;
        }
        const double loadMs =
            std::chrono::duration<double, std::milli>(Clock::now() - loadStart).count();
        std::vector<std::int16_t> track;
        std::vector<TSpan> spans;
        for (const std::string &word : words) {
            const auto samples =
                to16k(service.Render({0, word, voice.Voice, 175, 100, voice.Synth}));
            TSpan span;
            span.Start = static_cast<double>(track.size()) / kRate;
            track.insert(track.end(), samples.begin(), samples.end());
            span.End = static_cast<double>(track.size()) / kRate;
            track.insert(track.end(), static_cast<size_t>(kGapSeconds * kRate), 0);
            spans.push_back(span);
        }
        const fs::path wav = work / (voice.Voice + ".wav");
        writeWav(wav, track);
        // A recognised word belongs to the span its middle falls in.
        std::vector<bool> right(words.size(), false);
        for (const auto &[word, time] : recognise(wav, work)) {
            const double middle = (time.first + time.second) / 2;
            for (size_t i = 0; i < spans.size(); ++i)
                if (middle >= spans[i].Start - kGapSeconds / 2
                    && middle < spans[i].End + kGapSeconds / 2 && word == words[i])
                    right[i] = true;
        }
        const auto hits = std::count(right.begin(), right.end(), true);
        const auto heard = static_cast<std::ptrdiff_t>(std::min<size_t>(20, words.size()));
        const std::vector<double> ms =
            latencies(voice, std::vector<std::string>(words.begin(), words.begin() + heard));
        double mean = 0;
        for (double m : ms)
            mean += m / static_cast<double>(ms.size());
        const double max = ms.empty() ? 0 : *std::max_element(ms.begin(), ms.end());
        std::printf("%-22s %-14s %9.1f%% %11.1f ms %11.1f ms %9.1f ms\n", voice.Voice.c_str(),
                    voice.Label.c_str(),
                    100.0 * static_cast<double>(hits) / static_cast<double>(words.size()), mean,
                    max, loadMs);
        std::fflush(stdout);
    }
    return 0;
}
