#pragma once
// What the speech wrapper needs of a text-to-speech engine, so that tests can
// put a fake engine with chosen voices in place of the real one.
//
// The primary engine enumerates voice descriptions in a stable order,
// selects a voice by position, and speaks asynchronously: texts are queued
// and spoken one after another in order of arrival. The secondary engine
// speaks one text at a time at a fixed speed and tells whether it is still
// speaking. Texts are GBK. Engine failures throw ESpeechError.

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

class ESpeechError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class TSpeechVoice {
public:
    virtual ~TSpeechVoice() = default;
    // The first contact: brings the engine up; throws when it is missing.
    virtual void Initialise() = 0;
    virtual std::vector<std::string> VoiceDescriptions() = 0;
    // Position in VoiceDescriptions.
    virtual void SelectVoice(int index) = 0;
    // Queues the text with the voice, rate and volume in force now and
    // returns at once.
    virtual void Speak(const std::string &text) = 0;
    // Something it was given is still queued or being heard.
    virtual bool IsSpeaking() = 0;
    virtual void SetRate(int rate) = 0;  // -10 .. 10, 0 normal
    virtual int GetRate() = 0;
    virtual void SetVolume(int volume) = 0;  // 0 .. 100
    virtual int GetVolume() = 0;
};

class TVoiceTextEngine {
public:
    virtual ~TVoiceTextEngine() = default;
    virtual void SetSpeed(int wordsPerMinute) = 0;
    virtual bool IsSpeaking() = 0;
    virtual void Speak(const std::string &text) = 0;
};

class TSpeechEngineLayer {
public:
    virtual ~TSpeechEngineLayer() = default;
    // The primary engine's voice object; throws when it cannot be made.
    virtual std::unique_ptr<TSpeechVoice> CreateVoice() = 0;
    // The secondary engine, registered and enabled; throws when missing.
    virtual std::unique_ptr<TVoiceTextEngine> CreateVoiceText() = 0;
};

// The real engines: Flite and espeak-ng, played through the program's sound output.
TSpeechEngineLayer &RealSpeechEngineLayer();
