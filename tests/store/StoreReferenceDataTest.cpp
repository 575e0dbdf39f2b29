#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <sstream>

#include <QProcess>

#include "LogCapture.h"
#include "ReferenceData.h"
#include "SqlDatabase.h"
#include "StoreFixture.h"

namespace fs = std::filesystem;

namespace {

class StoreReferenceData : public ::testing::Test {
protected:
    int Run(const std::string &folder, const std::string &out)
    {
        QProcess process;
        process.start(QStringLiteral(KIVRO_MAKE_REFERENCE),
                      {QStringLiteral("--dir"), QString::fromStdString(folder),
                       QStringLiteral("--out"), QString::fromStdString(out)});
        if (!process.waitForFinished(30000))
            return -1;
        m_output =
            QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    std::string Bytes(const std::string &relative) const { return m_dir.ReadFile(relative); }

    void WriteTables()
    {
        m_dir.WriteFile("tsv/examples.tsv", "spelling\tform\tsentence\r\n"
                                            "abandon\tabandoned\tWe abandoned the old car.\r\n"
                                            "cat\tcats\tThe cats slept.\r\n"
                                            "abandon\tabandon\tabandon ship!\r\n");
        m_dir.WriteFile("tsv/spelling-pairs.tsv", "british\tamerican\ncolour\tcolor\n\n");
        m_dir.WriteFile("tsv/notes.txt", "not a table\n");
    }

    TempProgramDir m_dir{TempProgramDir::Contents::DataDirOnly};
    QString m_output;
};

TEST_F(StoreReferenceData, ToolWritesOneTablePerFileAndTheSameBytesEveryTime)
{
    WriteTables();
    ASSERT_EQ(Run(m_dir.Path("tsv"), m_dir.Path("a.db")), 0) << m_output.toStdString();
    ASSERT_EQ(Run(m_dir.Path("tsv"), m_dir.Path("b.db")), 0) << m_output.toStdString();
    EXPECT_EQ(Bytes("a.db"), Bytes("b.db"));
    // Built again over an existing file: replaced, still the same bytes.
    ASSERT_EQ(Run(m_dir.Path("tsv"), m_dir.Path("a.db")), 0) << m_output.toStdString();
    EXPECT_EQ(Bytes("a.db"), Bytes("b.db"));
    EXPECT_FALSE(fs::exists(m_dir.Path("a.db.part")));

    const TReferenceData data(m_dir.Path("a.db"));
    ASSERT_TRUE(data.Available());
    EXPECT_TRUE(data.HasTable("examples"));
    EXPECT_TRUE(data.HasTable("spelling_pairs"));
    EXPECT_FALSE(data.HasTable("notes"));
    // In the file's order, the key compared in lower case.
    EXPECT_EQ(data.Examples("Abandon"),
              (std::vector<TExample>{{"abandoned", "We abandoned the old car."},
                                     {"abandon", "abandon ship!"}}));
    EXPECT_TRUE(data.Examples("aband").empty());
    EXPECT_EQ(data.Lookup("spelling_pairs", "colour"),
              (std::vector<std::vector<std::string>>{{"color"}}));
    EXPECT_TRUE(data.Lookup("nowhere", "colour").empty());
    EXPECT_TRUE(data.Lookup("spelling_pairs", "color").empty());

    // Another row changes the file.
    m_dir.WriteFile("tsv/spelling-pairs.tsv", "british\tamerican\ncolour\tcolor\nfavour\tfavor\n");
    ASSERT_EQ(Run(m_dir.Path("tsv"), m_dir.Path("b.db")), 0) << m_output.toStdString();
    EXPECT_NE(Bytes("a.db"), Bytes("b.db"));
}

TEST_F(StoreReferenceData, ToolRefusesBadFilesAndKeepsTheOldDatabase)
{
    WriteTables();
    ASSERT_EQ(Run(m_dir.Path("tsv"), m_dir.Path("ref.db")), 0) << m_output.toStdString();
    const std::string built = Bytes("ref.db");

    m_dir.WriteFile("tsv/examples.tsv", "spelling\tform\tsentence\ncat\tcats\n");
    EXPECT_EQ(Run(m_dir.Path("tsv"), m_dir.Path("ref.db")), 1);
    EXPECT_TRUE(m_output.contains(QStringLiteral("examples.tsv:2: expected 3")))
        << m_output.toStdString();
    EXPECT_EQ(Bytes("ref.db"), built);
    EXPECT_FALSE(fs::exists(m_dir.Path("ref.db.part")));

    m_dir.WriteFile("tsv/examples.tsv", "spelling\tspelling\n");
    EXPECT_EQ(Run(m_dir.Path("tsv"), m_dir.Path("ref.db")), 1);
    m_dir.WriteFile("tsv/examples.tsv", "spelling\tform\n\xff\xfe\tx\n");
    EXPECT_EQ(Run(m_dir.Path("tsv"), m_dir.Path("ref.db")), 1);
    EXPECT_TRUE(m_output.contains(QStringLiteral("not UTF-8"))) << m_output.toStdString();
    m_dir.WriteFile("tsv/examples.tsv", "");
    EXPECT_EQ(Run(m_dir.Path("tsv"), m_dir.Path("ref.db")), 1);
    EXPECT_EQ(Bytes("ref.db"), built);

    // An empty folder makes an empty database, which is still readable.
    fs::create_directories(m_dir.Path("none"));
    ASSERT_EQ(Run(m_dir.Path("none"), m_dir.Path("empty.db")), 0) << m_output.toStdString();
    const TReferenceData empty(m_dir.Path("empty.db"));
    EXPECT_TRUE(empty.Available());
    EXPECT_TRUE(empty.Examples("cat").empty());
}

TEST_F(StoreReferenceData, IsOpenedReadOnlyAndLeavesTheFileUntouched)
{
    WriteTables();
    ASSERT_EQ(Run(m_dir.Path("tsv"), m_dir.Path("ref.db")), 0) << m_output.toStdString();
    const std::string built = Bytes("ref.db");
    {
        TSqlConnection connection(m_dir.Path("ref.db"), {}, TSqlConnection::OpenMode::ReadOnly);
        try {
            connection.Execute("DELETE FROM examples");
            ADD_FAILURE() << "a read-only connection wrote";
        } catch (const EDatabaseError &e) {
            EXPECT_EQ(e.Code(), 8) << e.what();  // SQLITE_READONLY
        }
        const TReferenceData data(m_dir.Path("ref.db"));
        EXPECT_EQ(data.Examples("cat").size(), 1U);
    }
    EXPECT_EQ(Bytes("ref.db"), built);
    EXPECT_FALSE(fs::exists(m_dir.Path("ref.db-journal")));
    // A read-only mode never makes a file.
    EXPECT_THROW(TSqlConnection(m_dir.Path("new.db"), {}, TSqlConnection::OpenMode::ReadOnly),
                 EDatabaseError);
    EXPECT_FALSE(fs::exists(m_dir.Path("new.db")));
}

TEST_F(StoreReferenceData, MissingOrUnreadableFileGivesEmptyLookupsAndOneWarning)
{
    {
        LogCapture log(QStringLiteral("kivro.store"));
        const TReferenceData data(m_dir.Path("reference.db"));
        EXPECT_FALSE(data.Available());
        EXPECT_FALSE(data.HasTable("examples"));
        EXPECT_TRUE(data.Examples("cat").empty());
        EXPECT_TRUE(data.Lookup("examples", "cat").empty());
        EXPECT_EQ(log.Lines().size(), 1) << log.Lines().join(u'\n').toStdString();
        EXPECT_FALSE(fs::exists(m_dir.Path("reference.db")));
    }
    {
        // Not a database, and the player's encrypted one: neither is readable without its key.
        m_dir.WriteFile("garbage.db", std::string(8192, 'x'));
        CreateStoreDatabase(m_dir.Path("player.mdb"));
        LogCapture log(QStringLiteral("kivro.store"));
        const TReferenceData garbage(m_dir.Path("garbage.db"));
        const TReferenceData player(m_dir.Path("player.mdb"));
        EXPECT_FALSE(garbage.Available());
        EXPECT_FALSE(player.Available());
        EXPECT_TRUE(player.Examples("cat").empty());
        EXPECT_EQ(log.Lines().size(), 2) << log.Lines().join(u'\n').toStdString();
    }
}

TEST_F(StoreReferenceData, ProgramDataIsFoundBesideDataAndFollowsTheFolder)
{
    {
        // The built program folder carries it.
        TempProgramDir built(TempProgramDir::Contents::CopyOfBuilt);
        EXPECT_EQ(ReferenceDataPath(), built.Path("reference.db"));
        EXPECT_TRUE(ProgramReferenceData().Available());
        EXPECT_EQ(ProgramReferenceData().Path(), built.Path("reference.db"));
    }
    // A folder without one: the game goes on without it.
    TempProgramDir bare(TempProgramDir::Contents::DataDirOnly);
    LogCapture log(QStringLiteral("kivro.store"));
    EXPECT_FALSE(ProgramReferenceData().Available());
    EXPECT_TRUE(ProgramReferenceData().Examples("cat").empty());
    EXPECT_EQ(log.Lines().size(), 1) << "the warning is given once, not per lookup";
}

}  // namespace

namespace {

TEST_F(StoreReferenceData, OtherSpellingsAndAmericanPronunciationsByEitherSpelling)
{
    m_dir.WriteFile("tsv/spelling-pairs.tsv", "spelling\tother\tother_accent\n"
                                              "color\tcolour\tbritish\n"
                                              "colour\tcolor\tamerican\n");
    m_dir.WriteFile("tsv/us-pronunciations.tsv", "spelling\tpronunciation\n"
                                                 "colour\t'kVlR\n"
                                                 "ice cream\tais kri:m\n");
    ASSERT_EQ(Run(m_dir.Path("tsv"), m_dir.Path("r.db")), 0) << m_output.toStdString();
    const TReferenceData data(m_dir.Path("r.db"));
    EXPECT_EQ(data.OtherSpelling("colour"), (TOtherSpelling{"color", true}));
    EXPECT_EQ(data.OtherSpelling("color"), (TOtherSpelling{"colour", false}));
    // A name is not a word with two spellings; nor is a word without a pair.
    EXPECT_EQ(data.OtherSpelling("Colour"), std::nullopt);
    EXPECT_EQ(data.OtherSpelling("cat"), std::nullopt);
    EXPECT_EQ(data.OtherSpelling(""), std::nullopt);
    EXPECT_EQ(data.UsPronunciation("colour"), "'kVlR");
    EXPECT_EQ(data.UsPronunciation("ice cream"), "ais kri:m");
    EXPECT_EQ(data.UsPronunciation("color"), "");

    // Without the tables (or the file) nothing is found.
    const TReferenceData missing(m_dir.Path("none.db"));
    EXPECT_EQ(missing.OtherSpelling("colour"), std::nullopt);
    EXPECT_EQ(missing.UsPronunciation("colour"), "");
}

TEST(StoreReferenceDataWords, WholeWordsAreTokensJoinedByInnerHyphensAndApostrophes)
{
    EXPECT_EQ(FindWholeWord("The cat sat", "cat"), 4U);
    EXPECT_EQ(FindWholeWord("Cats and a cat.", "cat"), 11U);
    EXPECT_EQ(FindWholeWord("Abandon ship!", "abandon"), 0U);
    for (const char *sentence : {"a category", "the cat's bowl", "cat-like grace", "bobcat", ""})
        EXPECT_EQ(FindWholeWord(sentence, "cat"), std::string::npos) << sentence;
    // A dash between words, quotes and a trailing hyphen do not join.
    EXPECT_EQ(FindWholeWord("run - cat -", "cat"), 6U);
    EXPECT_EQ(FindWholeWord("'cat'", "cat"), 1U);
    EXPECT_EQ(FindWholeWord("he gave up smoking", "give up"), std::string::npos);
    EXPECT_EQ(FindWholeWord("he gave up smoking", "gave up"), 3U);
    EXPECT_EQ(FindWholeWord("a well-known man", "well-known"), 2U);
    EXPECT_EQ(FindWholeWord("a well-known man", "well"), std::string::npos);
    EXPECT_EQ(FindWholeWord("cat", ""), std::string::npos);
}

// Reads the words of the shipped books (GBK lines "spelling[...]...").
std::vector<std::string> shippedWords()
{
    std::vector<std::string> words;
    const fs::path folder = KIVRO_SOURCE_DIR "/data/wordbooks";
    for (const fs::directory_entry &entry : fs::directory_iterator(folder)) {
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

TEST(StoreReferenceDataWords, ShippedExamplesHoldTheWordOrAListedInflectionAsAWholeWord)
{
    TempProgramDir built(TempProgramDir::Contents::CopyOfBuilt);
    const TReferenceData &data = ProgramReferenceData();
    ASSERT_TRUE(data.HasTable("examples"));
    ASSERT_TRUE(data.HasTable("inflections"));
    const std::vector<std::string> words = shippedWords();
    ASSERT_GT(words.size(), 30000U);

    std::mt19937 random(20261211);
    std::uniform_int_distribution<size_t> pick(0, words.size() - 1);
    int withExamples = 0;
    for (int i = 0; i < 1000; ++i) {
        const std::string &word = words[pick(random)];
        std::set<std::string> forms{word};
        for (const std::vector<std::string> &row : data.Lookup("inflections", word))
            forms.insert(row.at(0));
        const std::vector<TExample> examples = data.Examples(word);
        EXPECT_LE(examples.size(), 3U) << word;
        withExamples += examples.empty() ? 0 : 1;
        size_t shortOnes = 0;
        for (const TExample &example : examples) {
            EXPECT_TRUE(forms.count(example.Form)) << word << ": " << example.Form;
            const size_t at = FindWholeWord(example.Sentence, example.Form);
            ASSERT_NE(at, std::string::npos) << word << ": " << example.Sentence;
            // What is covered is exactly the form, and ends where the token ends.
            std::string covered = example.Sentence.substr(at, example.Form.size());
            std::transform(covered.begin(), covered.end(), covered.begin(),
                           [](char c) { return static_cast<char>(std::tolower(c)); });
            EXPECT_EQ(covered, example.Form) << example.Sentence;
            const size_t end = at + example.Form.size();
            if (end < example.Sentence.size()) {
                EXPECT_FALSE(std::isalnum(static_cast<unsigned char>(example.Sentence[end])))
                    << example.Sentence;
            }
            // One line of the sentence bar; three words only for a word
            // that has no longer example.
            const auto blanks = std::count(example.Sentence.begin(), example.Sentence.end(), ' ');
            EXPECT_GE(blanks + 1, 3) << example.Sentence;
            shortOnes += blanks + 1 == 3 ? 1 : 0;
            EXPECT_LE(example.Sentence.size(), 100U) << example.Sentence;
        }
        EXPECT_TRUE(shortOnes == 0 || shortOnes == examples.size()) << word;
    }
    // Most book entries have one (the generator prints the exact figures).
    EXPECT_GT(withExamples, 800);
}

}  // namespace
