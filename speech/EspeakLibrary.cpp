#include "EspeakLibrary.h"

#include <dlfcn.h>
#include <unistd.h>

#include "SpeechLog.h"

namespace {

std::string &libraryOverride()
{
    static std::string path;
    return path;
}

// Where the build found the library; its package installs the data beside it.
std::string libraryPath()
{
    return libraryOverride().empty() ? std::string(KIVRO_ESPEAK_NG_DIR "/libespeak-ng.so.1")
                                     : libraryOverride();
}

std::string dataDir()
{
    return EspeakDataPath() + "/espeak-ng-data";
}

bool readable(const std::string &path)
{
    return access(path.c_str(), R_OK) == 0;
}

template <typename T>
bool resolve(void *library, const char *name, T &function)
{
    function = reinterpret_cast<T>(dlsym(library, name));
    if (function == nullptr)
        qCWarning(lcSpeech, "espeak-ng has no %s", name);
    return function != nullptr;
}

const TEspeakApi *open()
{
    const std::string path = libraryPath();
    // Kept open for the process: the engine's state lives in it.
    void *library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
        qCWarning(lcSpeech, "espeak-ng cannot be loaded: %s", dlerror());
        return nullptr;
    }
    static TEspeakApi api;
    const bool all = resolve(library, "espeak_Initialize", api.Initialize)
                     && resolve(library, "espeak_SetSynthCallback", api.SetSynthCallback)
                     && resolve(library, "espeak_SetVoiceByName", api.SetVoiceByName)
                     && resolve(library, "espeak_GetCurrentVoice", api.GetCurrentVoice)
                     && resolve(library, "espeak_SetParameter", api.SetParameter)
                     && resolve(library, "espeak_Synth", api.Synth)
                     && resolve(library, "espeak_Terminate", api.Terminate);
    return all ? &api : nullptr;
}

}  // namespace

std::string EspeakDataPath()
{
    const std::string library = libraryPath();
    const size_t slash = library.rfind('/');
    return slash == std::string::npos ? std::string(".") : library.substr(0, slash);
}

void SetEspeakLibrary(const std::string &path)
{
    libraryOverride() = path;
}

bool EspeakVoiceFound(std::string_view voice)
{
    if (!readable(libraryPath()) || !readable(dataDir() + "/phontab"))
        return false;
    const size_t plus = voice.find('+');
    return plus == std::string_view::npos
           || readable(dataDir() + "/voices/!v/" + std::string(voice.substr(plus + 1)));
}

const TEspeakApi *EspeakApi()
{
    static const TEspeakApi *api = open();
    return api;
}
