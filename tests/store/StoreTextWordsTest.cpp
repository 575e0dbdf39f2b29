#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "BookExamples.h"
#include "BookManage.h"
#include "GbkText.h"
#include "StoreFixture.h"
#include "StoreProgress.h"
#include "TextWords.h"
#include "UBookType.h"
#include "UImpExpLib.h"
#include "WordTables.h"

namespace {

std::string readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

std::vector<std::string> spellings(const TTextWords &words)
{
    std::vector<std::string> out;
    for (const TTextWord &word : words.Words)
        out.push_back(word.Spelling);
    return out;
}

const TTextWord *wordOf(const TTextWords &words, const std::string &spelling)
{
    for (const TTextWord &word : words.Words) {
        if (word.Spelling == spelling)
            return &word;
    }
    return nullptr;
}

bool holds(const std::vector<std::string> &list, const std::string &item)
{
    return std::find(list.begin(), list.end(), item) != list.end();
}

// The shipped dictionary, as the program finds it beside data/.
class StoreTextWords : public ::testing::Test {
protected:
    TempProgramDir m_built{TempProgramDir::Contents::CopyOfBuilt};
    const TReferenceData &m_reference = ProgramReferenceData();
};

TEST_F(StoreTextWords, ShippedDictionaryAndFormsAreThere)
{
    ASSERT_TRUE(m_reference.HasTable("dictionary"));
    ASSERT_TRUE(m_reference.HasTable("lemmas"));
    const std::vector<TDictionaryEntry> abandon = m_reference.DictionaryEntries("abandon");
    ASSERT_EQ(abandon.size(), 1U);
    EXPECT_EQ(abandon[0].Word, "abandon");
    EXPECT_FALSE(abandon[0].Meaning.empty());
    EXPECT_LE(abandon[0].Meaning.size(), 40U) << "cut to a box's two lines";
    EXPECT_GT(abandon[0].Rank, 0);
    // The pronoun is written only in capitals.
    const std::vector<TDictionaryEntry> pronoun = m_reference.DictionaryEntries("I");
    ASSERT_FALSE(pronoun.empty());
    EXPECT_EQ(pronoun[0].Word, "I");
    EXPECT_EQ(m_reference.Lemmas("children"), std::vector<std::string>{"child"});
    EXPECT_EQ(m_reference.Lemmas("abandoned"), std::vector<std::string>{"abandon"});
    EXPECT_TRUE(m_reference.Lemmas("abandon").empty());
}

TEST_F(StoreTextWords, LemmasOfARealTextAreAtLeastNinetyFivePercentRight)
{
    const std::string folder = KIVRO_SOURCE_DIR "/tests/store/fixtures/text/";
    const std::string text = readFile(folder + "devil-preface.txt");
    std::istringstream expectedLines(readFile(folder + "devil-preface-lemmas.tsv"));
    std::vector<std::pair<std::string, std::string>> expected;
    for (std::string line; std::getline(expectedLines, line);) {
        const size_t tab = line.find('\t');
        if (tab != std::string::npos)
            expected.emplace_back(line.substr(0, tab), line.substr(tab + 1));
    }
    ASSERT_GE(expected.size(), 500U);

    const TLemmatizer lemmatizer(m_reference);
    const std::vector<TTextToken> tokens = ReadTextTokens(text, lemmatizer);
    ASSERT_EQ(tokens.size(), expected.size());
    int right = 0;
    std::string misses;
    for (size_t i = 0; i < tokens.size(); ++i) {
        ASSERT_EQ(tokens[i].Text, expected[i].first) << "token " << i + 1;
        std::string got;
        switch (tokens[i].Kind) {
        case TTokenKind::Word:
            got = tokens[i].Lemma;
            break;
        case TTokenKind::Name:
            got = "NAME";
            break;
        case TTokenKind::Number:
            got = "NUMBER";
            break;
        case TTokenKind::Unknown:
            got = "UNKNOWN";
            break;
        }
        std::istringstream choices(expected[i].second);
        bool ok = false;
        for (std::string choice; std::getline(choices, choice, '|');)
            ok = ok || choice == got;
        if (ok)
            ++right;
        else
            misses += " " + std::to_string(i + 1) + ":" + tokens[i].Text + "->" + got + "(want "
                      + expected[i].second + ")";
    }
    const double share = static_cast<double>(right) / static_cast<double>(tokens.size());
    RecordProperty("lemma_share", std::to_string(share));
    std::printf("lemmas right: %d of %zu (%.1f %%);%s\n", right, tokens.size(), 100.0 * share,
                misses.c_str());
    EXPECT_GE(share, 0.95) << misses;
}

TEST_F(StoreTextWords, InflectionsNamesNumbersAndUnknownWordsAreSortedOut)
{
    const TTextWords words = CollectTextWords(
        "The children abandoned their toys. Yesterday Mary met Bierce in Zorbaville; the child "
        "abandons nothing. In 1906 we bought 3 books and flibbertigibbetsz.\n",
        m_reference);
    EXPECT_EQ(words.Tokens, 23);
    const TTextWord *child = wordOf(words, "child");
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->Count, 2) << "children and child are one word";
    EXPECT_EQ(child->Form, "children");
    EXPECT_EQ(child->Sentence, "The children abandoned their toys.");
    ASSERT_NE(wordOf(words, "abandon"), nullptr);
    EXPECT_EQ(wordOf(words, "abandon")->Count, 2);
    EXPECT_NE(wordOf(words, "toy"), nullptr);
    EXPECT_NE(wordOf(words, "buy"), nullptr);
    EXPECT_NE(wordOf(words, "book"), nullptr);
    EXPECT_EQ(words.Names, (std::vector<std::string>{"Mary", "Bierce", "Zorbaville"}));
    EXPECT_EQ(words.Numbers, (std::vector<std::string>{"1906", "3"}));
    EXPECT_EQ(words.Unknown, (std::vector<std::string>{"flibbertigibbetsz"}));
    // First appearance: the order the text gives.
    const std::vector<std::string> order = spellings(words);
    ASSERT_GE(order.size(), 3U);
    EXPECT_EQ(order[0], "the");
    EXPECT_EQ(order[1], "child");
    EXPECT_EQ(order[2], "abandon");
    // A capitalised word that starts a sentence is looked up as a word.
    EXPECT_NE(wordOf(words, "yesterday"), nullptr);
}

TEST_F(StoreTextWords, ALongSentenceIsCutAroundItsWordForTheBar)
{
    std::string text = "It";
    for (int k = 0; k < 30; ++k)
        text += " was very good";
    text += " and then the children went home, as they always did after school";
    for (int k = 0; k < 30; ++k)
        text += " on a fine day";
    text += ".";
    const TTextWords words = CollectTextWords(text, m_reference);
    const TTextWord *child = wordOf(words, "child");
    ASSERT_NE(child, nullptr);
    EXPECT_LE(child->Sentence.size(), kExampleBytes);
    EXPECT_NE(FindWholeWord(child->Sentence, "children"), std::string::npos) << child->Sentence;
    EXPECT_EQ(child->Sentence.substr(0, 3), "...");
    EXPECT_EQ(child->Sentence.substr(child->Sentence.size() - 3), "...");
}

TEST_F(StoreTextWords, EachSubtitleKindGivesOnlyItsSpokenText)
{
    const std::string srt = "1\r\n00:00:01,000 --> 00:00:03,500\r\n<i>The children</i> ran\r\n"
                            "home.\r\n\r\n2\r\n00:00:04,000 --> 00:00:06,000\r\n"
                            "<font color=\"#ff0000\">Dinner</font> was ready.\r\n";
    const std::string ass = "[Script Info]\nTitle: Dinner\nScriptType: v4.00+\n\n[V4+ Styles]\n"
                            "Format: Name, Fontname, Fontsize\nStyle: Default,Arial,20\n\n"
                            "[Events]\nFormat: Layer, Start, End, Style, Name, MarginL, MarginR, "
                            "MarginV, Effect, Text\nDialogue: 0,0:00:01.00,0:00:03.50,Default,,0,"
                            "0,0,,{\\i1}The children{\\i0} ran\\Nhome.\nComment: 0,0:00:03.00,"
                            "0:00:04.00,Default,,0,0,0,,Arial secret\nDialogue: 0,0:00:04.00,"
                            "0:00:06.00,Default,,0,0,0,,Dinner was ready, wasn't it?\n";
    const std::string vtt = "WEBVTT - dinner\nKind: captions\n\nNOTE the cue below\nis "
                            "important\n\nintro\n00:01.000 --> 00:03.500 align:start\n"
                            "<v Roger>The <b>children</b> ran\nhome.\n\n00:04.000 --> "
                            "00:06.000\nDinner was ready.\n";
    const std::string txt = "The children ran home.\n\nDinner was ready.\n";
    for (const auto &[name, bytes] : {std::pair{"a.srt", srt}, std::pair{"a.ass", ass},
                                      std::pair{"a.vtt", vtt}, std::pair{"a.txt", txt}}) {
        SCOPED_TRACE(name);
        const TTextWords words =
            TextWordsOfBytes(bytes, TextKindOfFile(QString::fromUtf8(name)), m_reference);
        const std::vector<std::string> got = spellings(words);
        EXPECT_TRUE(holds(got, "child") && holds(got, "run") && holds(got, "home")
                    && holds(got, "dinner") && holds(got, "ready"));
        EXPECT_TRUE(words.Numbers.empty()) << "no cue number or timing is text";
        for (const char *markup :
             {"i", "font", "color", "ff0000", "b", "v", "roger", "arial", "default", "note",
              "important", "intro", "kind", "align", "start", "secret", "title"})
            EXPECT_FALSE(holds(got, markup)) << markup;
        EXPECT_TRUE(words.Names.empty());
        const TTextWord *child = wordOf(words, "child");
        ASSERT_NE(child, nullptr);
        EXPECT_EQ(child->Sentence, "The children ran home.");
    }
}

TEST_F(StoreTextWords, EncodingsTheImportFindsAreRead)
{
    const std::string text = "The children\xE2\x80\x99s home. \xE6\x94\xBE\xE5\xBC\x83";
    // UTF-16 LE with its mark, GBK with Chinese, UTF-8 without a mark.
    std::string utf16 = "\xFF\xFE";
    for (QChar c : QString::fromUtf8(text)) {
        utf16 += static_cast<char>(c.unicode() & 0xFF);
        utf16 += static_cast<char>(c.unicode() >> 8);
    }
    for (const std::string &bytes : {utf16, Utf8ToGbk(text), text}) {
        const TTextWords words = TextWordsOfBytes(bytes, TTextKind::Srt, m_reference);
        EXPECT_EQ(spellings(words), (std::vector<std::string>{"the", "child", "home"}));
        EXPECT_EQ(words.BadLines, 0);
    }
    EXPECT_EQ(TextWordsOfBytes(utf16, TTextKind::Plain, m_reference).Encoding,
              TWordFileEncoding::Utf16LE);
}

TEST_F(StoreTextWords, AnArticleOnOneLongLineIsReadToItsEnd)
{
    std::string text;
    while (text.size() < 3 * kMaxWordLineBytes)
        text += "The cat sat on the mat. ";
    const int cats = static_cast<int>(text.size() / 24);
    text += "At last the children abandoned it.";
    const TTextWords words = TextWordsOfBytes(text, TTextKind::Plain, m_reference);
    ASSERT_NE(wordOf(words, "child"), nullptr);
    EXPECT_EQ(wordOf(words, "child")->Sentence, "At last the children abandoned it.");
    EXPECT_EQ(wordOf(words, "cat")->Count, cats);
}

class StoreTextBook : public StoreFixture {
protected:
    StoreTextBook()
    {
        std::filesystem::copy_file(KIVRO_TEST_PROGRAM_DIR "/reference.db",
                                   dir.Path("reference.db"));
    }
};

TEST_F(StoreTextBook, ABookFromATextKeepsEachWordsSentenceUntilItIsDeleted)
{
    const TTextWords words = CollectTextWords(
        "The children abandoned the ship. Later the child smiled.\n", ProgramReferenceData());
    std::vector<TTextWord> chosen;
    for (const TTextWord &word : words.Words) {
        if (word.Spelling != "the")  // unticked in the dialog
            chosen.push_back(word);
    }
    TQuietProgress progress;
    ASSERT_TRUE(ImportWordList(TextWordList(chosen, false), "text", progress, 4));
    const int id = GetBookId("text", 0);
    ASSERT_GT(id, 0);
    const std::string table = GetBookTableName(id);
    EXPECT_EQ(GetBookWordNumber(id), static_cast<int>(chosen.size()));
    const std::vector<TWordInfo> rows = TableRows(table);
    ASSERT_EQ(rows.size(), chosen.size());
    EXPECT_EQ(rows[0].Spelling, "child");
    EXPECT_EQ(rows[0].Meaning, chosen[0].Meaning);

    const std::vector<TExample> own = WordExamples(table, "child");
    ASSERT_FALSE(own.empty());
    EXPECT_EQ(own[0], (TExample{"children", "The children abandoned the ship."}));
    // The shipped examples follow the book's own.
    EXPECT_EQ(own.size(), 1 + ProgramReferenceData().Examples("child").size());
    // The shuffled copy is played from its own table and finds them too.
    EXPECT_EQ(WordExamples(ShuffledTableName(id), "child")[0], own[0]);
    // Another book's word has only the shipped ones.
    EXPECT_EQ(WordExamples("lib999", "child"), ProgramReferenceData().Examples("child"));

    ASSERT_TRUE(DeleteBook(id));
    EXPECT_EQ(Scalar("SELECT count(*) FROM bookexamples"), 0);
}

TEST_F(StoreTextBook, ScrambledBooksFromATextLoadBackTheSameWords)
{
    WriteConfig(1);
    const TTextWords words = CollectTextWords("Children abandoned ships.", ProgramReferenceData());
    TQuietProgress progress;
    ASSERT_TRUE(ImportWordList(TextWordList(words.Words, true), "scrambled", progress, 4));
    TGamePara para;
    para.StoreTableName = GetBookTableName(GetBookId("scrambled", 0));
    TWordInfos rows;
    ASSERT_TRUE(LoadTollGateWords(para, 1, rows));
    ASSERT_EQ(rows.size(), 3U);
    EXPECT_EQ(rows[0].Spelling, "child");
    EXPECT_EQ(rows[2].Spelling, "ship");
    EXPECT_EQ(rows[2].Meaning, words.Words[2].Meaning);
    EXPECT_EQ(rows[2].Pronunciation, words.Words[2].Pronunciation);
}

}  // namespace
