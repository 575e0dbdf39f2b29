// Without a sound device speech is silent, not a failure.
#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "AudioOutput.h"
#include "USpeechEx.h"

namespace {

TEST(SpeechNoDevice, TheEngineStartsWithAllFiveVoicesAndSpeaksSilently)
{
    TSpeechEx speech;
    ASSERT_TRUE(speech.InitEngine());
    EXPECT_FALSE(TAudioOutput::Shared().IsOpen());
    EXPECT_EQ(speech.VoiceList(), (TStringList{"VW Kate", "VW Paul", "Microsoft Mary",
                                               "Microsoft Mike", "Microsoft Sam"}));
    EXPECT_EQ(speech.EngineKind(), 1);
    EXPECT_EQ(speech.GetSpeakName(), "VW Kate");
    EXPECT_NO_THROW(speech.Speak("apple"));
    EXPECT_TRUE(speech.SetSpeaker(speech.GetEngineName(), 1, "Microsoft Sam"));
    EXPECT_NO_THROW(speech.Speak("banana"));
}

TEST(SpeechNoDevice, TheSecondaryEngineIsNotLeftSpeaking)
{
    auto voiceText = RealSpeechEngineLayer().CreateVoiceText();
    voiceText->SetSpeed(150);
    voiceText->Speak("apple");
    // Nothing is made without an output, so it is soon free again.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (voiceText->IsSpeaking() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_FALSE(voiceText->IsSpeaking());
}

}  // namespace
