// 例句填空's words: the sentence and its blank, the answer, the turns of a
// word's examples, and over the shipped books that the blank always stands
// for the word or one of its inflections as a whole word.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>

#include <gtest/gtest.h>

#include "ClozeWords.h"
#include "ReferenceData.h"
#include "TempProgramDir.h"

namespace fs = std::filesystem;

namespace {

TEST(FlowCloze, TheBlankStandsForTheFormTheSentenceUses)
{
    const std::vector<TExample> examples = {{"abandoned", "We abandoned the old car"}};
    const std::optional<TClozeWord> word = ClozeWordOf(examples, "abandon", 0);
    ASSERT_TRUE(word);
    EXPECT_EQ(word->Answer, "abandoned");
    EXPECT_EQ(word->Sentence, "We abandoned the old car");
    EXPECT_EQ(word->Blanked, "We _________ the old car");

    // At the sentence's start, in capitals: the blank is as long, the answer
    // the form in lower case; a book spelling in capitals keeps them.
    EXPECT_EQ(ClozeWordOf({{"cats", "Cats chase mice"}}, "cat", 0)->Blanked, "____ chase mice");
    EXPECT_EQ(ClozeWordOf({{"cats", "Cats chase mice"}}, "cat", 0)->Answer, "cats");
    EXPECT_EQ(ClozeWordOf({{"english", "he speaks English well"}}, "English", 0)->Answer,
              "English");
    // Only the whole word is blanked, never a part of another.
    EXPECT_EQ(ClozeWordOf({{"cat", "a category of cat food"}}, "cat", 0)->Blanked,
              "a category of ___ food");
    // A phrase is one blank with its blank inside.
    EXPECT_EQ(ClozeWordOf({{"gave up", "he gave up smoking"}}, "give up", 0)->Blanked,
              "he _______ smoking");
}

TEST(FlowCloze, TurnsGoRoundTheExamplesAndSkipThoseWithoutTheForm)
{
    const std::vector<TExample> examples = {
        {"ran", "she ran home"}, {"runs", "a brunswick stew"}, {"running", "keep running now"}};
    EXPECT_EQ(ClozeWordOf(examples, "run", 0)->Sentence, "she ran home");
    EXPECT_EQ(ClozeWordOf(examples, "run", 1)->Sentence, "keep running now");
    EXPECT_EQ(ClozeWordOf(examples, "run", 2)->Sentence, "keep running now");
    EXPECT_EQ(ClozeWordOf(examples, "run", 3)->Sentence, "she ran home");
    EXPECT_EQ(ClozeWordOf({}, "run", 0), std::nullopt);
    EXPECT_EQ(ClozeWordOf({{"runs", "a brunswick stew"}}, "run", 0), std::nullopt);
}

TEST(FlowCloze, APlaceKeepsItsSentenceAndEachNewMeetingTakesTheNext)
{
    int asked = 0;
    TClozeWords words([&asked](const std::string &spelling) {
        ++asked;
        if (spelling != "run")
            return std::vector<TExample>{};
        return std::vector<TExample>{{"ran", "she ran home"}, {"running", "keep running now"}};
    });
    const TClozeWord *first = words.At(0, "run");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->Answer, "ran");
    // Asked again, the same place keeps its sentence and asks nothing.
    EXPECT_EQ(words.At(0, "run")->Answer, "ran");
    EXPECT_EQ(asked, 1);
    // The word at another place, or after the list changed, is another meeting.
    EXPECT_EQ(words.At(5, "run")->Answer, "running");
    words.Clear();
    EXPECT_EQ(words.At(0, "run")->Answer, "ran");
    // Another word at a place is looked up afresh; one without an example has none.
    EXPECT_EQ(words.At(0, "zoo"), nullptr);
    EXPECT_EQ(words.At(0, "zoo"), nullptr);
    EXPECT_EQ(words.At(0, "run")->Answer, "running");
}

// The words of the shipped books (GBK lines "spelling[...]...").
std::vector<std::string> shippedWords()
{
    std::vector<std::string> words;
    for (const fs::directory_entry &entry :
         fs::directory_iterator(KIVRO_SOURCE_DIR "/data/wordbooks")) {
        if (entry.path().extension() != ".txt")
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::string line;
        while (std::getline(in, line)) {
            const size_t bracket = line.find('[');
            if (bracket != std::string::npos && bracket > 0)
                words.push_back(line.substr(0, bracket));
        }
    }
    std::sort(words.begin(), words.end());
    return words;
}

bool isTokenEdge(const std::string &text, size_t at)
{
    // The character beside a blank (at: its index, or npos) ends a token.
    if (at == std::string::npos || at >= text.size())
        return true;
    const auto c = static_cast<unsigned char>(text[at]);
    return !std::isalnum(c) && c != '_';
}

TEST(FlowCloze, OverAThousandShippedWordsTheBlankIsTheWordOrAnInflectionWhole)
{
    TempProgramDir built(TempProgramDir::Contents::CopyOfBuilt);
    const TReferenceData &data = ProgramReferenceData();
    ASSERT_TRUE(data.HasTable("examples"));
    const std::vector<std::string> words = shippedWords();
    ASSERT_GT(words.size(), 30000U);

    std::mt19937 random(32);
    std::uniform_int_distribution<size_t> pick(0, words.size() - 1);
    int blanked = 0;
    for (int i = 0; i < 1000; ++i) {
        const std::string &word = words[pick(random)];
        std::set<std::string> forms{word};
        for (const std::vector<std::string> &row : data.Lookup("inflections", word))
            forms.insert(row.at(0));
        const std::vector<TExample> examples = data.Examples(word);
        for (size_t turn = 0; turn < examples.size(); ++turn) {
            const std::optional<TClozeWord> cloze = ClozeWordOf(examples, word, turn);
            ASSERT_TRUE(cloze) << word;
            ++blanked;
            ASSERT_EQ(cloze->Blanked.size(), cloze->Sentence.size()) << word;
            // The one run of blanks is where the sentence differs, as long as
            // the answer, and stands alone as a token.
            const size_t at = cloze->Blanked.find('_');
            ASSERT_NE(at, std::string::npos) << cloze->Sentence;
            const size_t end = cloze->Blanked.find_first_not_of('_', at);
            const size_t length = (end == std::string::npos ? cloze->Blanked.size() : end) - at;
            EXPECT_EQ(length, cloze->Answer.size()) << cloze->Sentence;
            EXPECT_EQ(cloze->Blanked.substr(0, at), cloze->Sentence.substr(0, at));
            EXPECT_EQ(cloze->Blanked.substr(at + length), cloze->Sentence.substr(at + length));
            EXPECT_TRUE(isTokenEdge(cloze->Sentence, at == 0 ? std::string::npos : at - 1))
                << word << ": " << cloze->Sentence;
            EXPECT_TRUE(isTokenEdge(cloze->Sentence, at + length))
                << word << ": " << cloze->Sentence;
            // Nor is it joined to a neighbour by a hyphen or an apostrophe.
            const auto joined = [&](size_t mark, size_t beyond) {
                return (cloze->Sentence[mark] == '-' || cloze->Sentence[mark] == '\'')
                       && std::isalnum(static_cast<unsigned char>(cloze->Sentence[beyond]));
            };
            EXPECT_FALSE(at > 1 && joined(at - 1, at - 2)) << cloze->Sentence;
            EXPECT_FALSE(at + length + 1 < cloze->Sentence.size()
                         && joined(at + length, at + length + 1))
                << cloze->Sentence;
            // What it hides is the answer, which is the word or a listed inflection.
            std::string hidden = cloze->Sentence.substr(at, length);
            std::string answer = cloze->Answer;
            for (std::string *s : {&hidden, &answer})
                std::transform(s->begin(), s->end(), s->begin(),
                               [](char c) { return static_cast<char>(std::tolower(c)); });
            EXPECT_EQ(hidden, answer) << cloze->Sentence;
            EXPECT_TRUE(forms.count(cloze->Answer) || cloze->Answer == word)
                << word << ": " << cloze->Answer;
        }
    }
    EXPECT_GT(blanked, 1500);
}

}  // namespace
