// The speech wrapper's choices and results, against a fake engine layer.
#include <QLoggingCategory>
#include <QStringList>

#include <gtest/gtest.h>

#include "FakeSpeechLayer.h"
#include "GbkText.h"
#include "USpeechEx.h"

namespace {

const std::string kKate = "VW Kate";
const std::string kPaul = "VW Paul";
const std::string kMary = "Microsoft Mary";
const std::string kMike = "Microsoft Mike";
const std::string kSam = "Microsoft Sam";

std::string microsoft()
{
    return Gbk("微软引擎");
}
std::string neoSpeak()
{
    return Gbk("NeoSpeak引擎");
}

struct DefaultCase {
    std::vector<std::string> installed;
    std::string voice;
    std::string engine;
};

TEST(SpeechExDefaultVoice, IsTheFirstInstalledInTheFemaleFirstOrder)
{
    const std::vector<DefaultCase> cases{
        {{kSam, kMary}, kMary, microsoft()}, {{kMary, "Other", kKate}, kKate, neoSpeak()},
        {{kMike, kPaul}, kPaul, neoSpeak()}, {{kMike, kSam}, kSam, microsoft()},
        {{kMike}, kMike, microsoft()},
    };
    for (const DefaultCase &c : cases) {
        FakeSpeechLayer layer(c.installed);
        TSpeechEx speech(layer);
        ASSERT_TRUE(speech.InitEngine());
        EXPECT_EQ(speech.GetSpeakName(), c.voice);
        EXPECT_EQ(speech.GetEngineName(), c.engine);
        EXPECT_EQ(speech.EngineKind(), 1);
        EXPECT_EQ(speech.GetSpeakSex(), 0);
        // The engine's voice at the description's position.
        ASSERT_GE(layer.state.selected, 0);
        EXPECT_EQ(c.installed[static_cast<size_t>(layer.state.selected)], c.voice);
        // The test utterance went to the chosen voice.
        ASSERT_EQ(layer.state.spoken.size(), 1u);
        EXPECT_EQ(layer.state.spoken[0].text, ".");
        EXPECT_FALSE(layer.state.voiceTextCreated);
    }
}

TEST(SpeechExDefaultVoice, TwoVoicesWithOneDescriptionUseTheFirst)
{
    FakeSpeechLayer layer({"Other", kMary, kMary});
    TSpeechEx speech(layer);
    ASSERT_TRUE(speech.InitEngine());
    EXPECT_EQ(layer.state.selected, 1);
    ASSERT_TRUE(speech.SetSpeaker(microsoft(), 0, kMary));
    EXPECT_EQ(layer.state.selected, 1);
}

TEST(SpeechExFallback, OnlyOtherVoicesUseTheSecondaryEngine)
{
    FakeSpeechLayer layer({"Other", "Another"});
    TSpeechEx speech(layer);
    ASSERT_TRUE(speech.InitEngine());
    EXPECT_EQ(speech.EngineKind(), 0);
    EXPECT_EQ(speech.GetEngineName(), "");
    EXPECT_EQ(speech.VoiceList(), (TStringList{"Other", "Another"}));
    EXPECT_TRUE(layer.state.voiceTextCreated);
    EXPECT_EQ(layer.state.voiceTextSpeed, 150);
    TStringList engines;
    speech.GetEngineList(engines);
    EXPECT_TRUE(engines.empty());
}

TEST(SpeechExFallback, AFailedTestUtteranceFallsBackAndAMissingVoiceObjectToo)
{
    FakeSpeechLayer failing({kMary});
    failing.state.speakFails = true;
    TSpeechEx speech(failing);
    ASSERT_TRUE(speech.InitEngine());
    EXPECT_EQ(speech.EngineKind(), 0);
    EXPECT_EQ(speech.GetEngineName(), "");
    EXPECT_EQ(speech.GetSpeakName(), kMary);  // what was set until then stays
    EXPECT_TRUE(failing.state.voiceTextCreated);

    FakeSpeechLayer noObject({kMary});
    noObject.state.createVoiceFails = true;
    TSpeechEx without(noObject);
    ASSERT_TRUE(without.InitEngine());
    EXPECT_EQ(without.EngineKind(), 0);
    EXPECT_TRUE(noObject.state.voiceTextCreated);
    EXPECT_THROW(without.SetRate(1), ESpeechError);
}

TEST(SpeechExFailure, InitEngineFailsWhenNoEngineCanSpeak)
{
    FakeSpeechLayer missing({kMary});
    missing.state.initialiseFails = true;
    TSpeechEx a(missing);
    EXPECT_FALSE(a.InitEngine());
    // The secondary engine is not tried after a failing primary engine.
    EXPECT_FALSE(missing.state.voiceTextCreated);

    FakeSpeechLayer badEnumeration({kMary});
    badEnumeration.state.enumerateFails = true;
    TSpeechEx b(badEnumeration);
    EXPECT_FALSE(b.InitEngine());

    FakeSpeechLayer badSelection({kMary});
    badSelection.state.selectFails = true;
    TSpeechEx c(badSelection);
    EXPECT_FALSE(c.InitEngine());

    FakeSpeechLayer noSecondary({"Other"});
    noSecondary.state.voiceTextMissing = true;
    TSpeechEx d(noSecondary);
    EXPECT_FALSE(d.InitEngine());
    // Speaking after a failed start is silent and harmless.
    d.Speak("apple");
    EXPECT_TRUE(noSecondary.state.spoken.empty());
}

TEST(SpeechExLists, EngineLabelsAndSpeakersFollowTheInstalledVoices)
{
    FakeSpeechLayer layer({kSam, kKate, kMike, kPaul, kMary});
    TSpeechEx speech(layer);
    ASSERT_TRUE(speech.InitEngine());
    TStringList engines{"already there"};
    speech.GetEngineList(engines);
    EXPECT_EQ(engines, (TStringList{"already there", microsoft(), neoSpeak()}));

    TStringList male;
    speech.GetSpeakerList(microsoft(), 1, male);
    EXPECT_EQ(male, (TStringList{kMike, kSam}));
    TStringList female;
    speech.GetSpeakerList(neoSpeak(), 0, female);
    EXPECT_EQ(female, TStringList{kKate});
    TStringList other;
    speech.GetSpeakerList("NeoSpeak", 1, other);
    speech.GetSpeakerList(neoSpeak() + " ", 1, other);
    EXPECT_TRUE(other.empty());

    FakeSpeechLayer menOnly({kMike, kSam});
    TSpeechEx withoutMary(menOnly);
    ASSERT_TRUE(withoutMary.InitEngine());
    TStringList none;
    withoutMary.GetSpeakerList(microsoft(), 0, none);
    EXPECT_TRUE(none.empty());
}

TEST(SpeechExSpeaker, SetSpeakerSwitchesOnlyToAnInstalledVoice)
{
    FakeSpeechLayer layer({kKate, kSam, "Other"});
    TSpeechEx speech(layer);
    ASSERT_TRUE(speech.InitEngine());
    EXPECT_FALSE(speech.SetSpeaker(microsoft(), 1, kMike));
    EXPECT_FALSE(speech.SetSpeaker(microsoft(), 1, ""));
    EXPECT_EQ(speech.GetSpeakName(), kKate);
    EXPECT_EQ(layer.state.selected, 0);

    // The label is kept as given.
    ASSERT_TRUE(speech.SetSpeaker(neoSpeak(), 1, kSam));
    EXPECT_EQ(speech.GetSpeakName(), kSam);
    EXPECT_EQ(speech.GetEngineName(), neoSpeak());
    EXPECT_EQ(speech.GetSpeakSex(), 1);
    EXPECT_EQ(layer.state.selected, 1);
}

TEST(SpeechExSpeaker, SetSpeakerMovesAFallbackOverToAKnownVoice)
{
    FakeSpeechLayer layer({kMary});
    layer.state.speakFails = true;
    TSpeechEx speech(layer);
    ASSERT_TRUE(speech.InitEngine());
    ASSERT_EQ(speech.EngineKind(), 0);
    layer.state.speakFails = false;
    ASSERT_TRUE(speech.SetSpeaker(microsoft(), 0, kMary));
    EXPECT_EQ(speech.EngineKind(), 1);
    speech.Speak("apple");
    ASSERT_FALSE(layer.state.spoken.empty());
    EXPECT_EQ(layer.state.spoken.back().text, "apple");
}

TEST(SpeechExApply, AppliesSpeakerVolumeAndRateOnAKnownVoice)
{
    FakeSpeechLayer layer({kKate, kMike});
    TSpeechEx speech(layer);
    ASSERT_TRUE(speech.InitEngine());
    speech.ApplySpeechSet({microsoft(), kMike, 1, -3, 60});
    EXPECT_EQ(speech.GetSpeakName(), kMike);
    EXPECT_EQ(speech.GetSpeakSex(), 1);
    EXPECT_EQ(layer.state.rate, -3);
    EXPECT_EQ(layer.state.volume, 60);

    // A speaker no longer installed keeps the voice; volume and rate apply.
    speech.ApplySpeechSet({microsoft(), kSam, 1, 4, 30});
    EXPECT_EQ(speech.GetSpeakName(), kMike);
    EXPECT_EQ(layer.state.rate, 4);
    EXPECT_EQ(layer.state.volume, 30);

    // An engine error ends the sequence silently: the rate after it is not set.
    EXPECT_NO_THROW(speech.ApplySpeechSet({microsoft(), kMike, 1, 2, 500}));
    EXPECT_EQ(layer.state.rate, 4);
}

TEST(SpeechExApply, ChangesNothingOnTheSecondaryEngine)
{
    FakeSpeechLayer layer({"Other"});
    TSpeechEx speech(layer);
    ASSERT_TRUE(speech.InitEngine());
    const FakeSpeechState before = layer.state;
    speech.ApplySpeechSet({microsoft(), "Other", 1, 5, 20});
    EXPECT_EQ(speech.EngineKind(), 0);
    EXPECT_EQ(speech.GetSpeakName(), "");
    EXPECT_EQ(speech.GetSpeakSex(), 0);
    EXPECT_EQ(layer.state.selected, before.selected);
    EXPECT_EQ(layer.state.rate, before.rate);
    EXPECT_EQ(layer.state.volume, before.volume);
}

TEST(SpeechExSpeak, QueuesOnAKnownVoiceAndDropsWhileTheSecondaryEngineSpeaks)
{
    FakeSpeechLayer known({kMary});
    TSpeechEx primary(known);
    ASSERT_TRUE(primary.InitEngine());
    primary.Speak("apple");
    primary.Speak("banana");
    ASSERT_EQ(known.state.spoken.size(), 3u);
    EXPECT_EQ(known.state.spoken[1].text, "apple");
    EXPECT_EQ(known.state.spoken[2].text, "banana");
    known.state.speakFails = true;
    EXPECT_NO_THROW(primary.Speak("cherry"));

    FakeSpeechLayer other({"Other"});
    TSpeechEx secondary(other);
    ASSERT_TRUE(secondary.InitEngine());
    secondary.Speak("apple");
    secondary.Speak("banana");  // still speaking "apple": dropped
    other.state.voiceTextSpeaking = false;
    secondary.Speak("cherry");
    EXPECT_EQ(other.state.voiceTextSpoken, (TStringList{"apple", "cherry"}));
    EXPECT_TRUE(other.state.spoken.empty());
}

// Collects the lines of the speech log while it lives.
class SpeechLogLines {
public:
    SpeechLogLines()
    {
        s_lines = &m_lines;
        m_previous = qInstallMessageHandler(&SpeechLogLines::handle);
    }
    ~SpeechLogLines()
    {
        qInstallMessageHandler(m_previous);
        s_lines = nullptr;
        QLoggingCategory::setFilterRules(QString());
    }
    const QStringList &Lines() const { return m_lines; }

private:
    static void handle(QtMsgType, const QMessageLogContext &context, const QString &message)
    {
        if (s_lines && QLatin1String(context.category) == QLatin1String("kivro.speech"))
            s_lines->append(message);
    }
    static inline QStringList *s_lines = nullptr;
    QStringList m_lines;
    QtMessageHandler m_previous = nullptr;
};

TEST(SpeechExLog, SilentByDefaultAndOneLinePerWordWhenTheRulesAskForIt)
{
    SpeechLogLines log;
    FakeSpeechLayer other({"Other"});
    TSpeechEx secondary(other);
    ASSERT_TRUE(secondary.InitEngine());
    secondary.Speak("apple");
    EXPECT_TRUE(log.Lines().isEmpty());

    QLoggingCategory::setFilterRules(QStringLiteral("kivro.speech.info=true"));
    secondary.Speak("banana");  // still speaking "apple": dropped
    other.state.voiceTextSpeaking = false;
    secondary.Speak(Gbk("ice cream"));
    EXPECT_EQ(log.Lines(), (QStringList{QStringLiteral("speak banana"),
                                        QStringLiteral("dropped banana (still speaking)"),
                                        QStringLiteral("speak ice cream")}));
}

TEST(SpeechExRateVolume, PassValuesThroughAndReadThemBackFromTheEngine)
{
    FakeSpeechLayer layer({"Other"});
    TSpeechEx speech(layer);
    ASSERT_TRUE(speech.InitEngine());
    // Addressed to the primary engine even while the secondary one speaks.
    speech.SetRate(-7);
    speech.SetVolume(85);
    EXPECT_EQ(layer.state.rate, -7);
    EXPECT_EQ(layer.state.volume, 85);
    layer.state.rate = 3;
    EXPECT_EQ(speech.GetRate(), 3);
    EXPECT_EQ(speech.GetVolume(), 85);
    EXPECT_THROW(speech.SetRate(11), ESpeechError);
    EXPECT_THROW(speech.SetVolume(-1), ESpeechError);
}

}  // namespace
