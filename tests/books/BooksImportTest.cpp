// The shipped books go through the real import, and the first-run database
// the build assembles holds them ready to play.
#include <filesystem>
#include <map>
#include <utility>

#include <gtest/gtest.h>

#include "BooksManifest.h"
#include "GbkText.h"
#include "StoreProgress.h"
#include "TempProgramDir.h"
#include "TextUtils.h"
#include "UBookType.h"
#include "UDataInterface.h"
#include "UImpExpLib.h"

namespace {

// Records the tree FillBookTree builds: class caption → book captions.
class RecordingTree final : public TBookTree {
public:
    std::vector<std::string> classes;
    std::map<std::string, std::vector<std::pair<std::string, int>>> books;
    void Clear() override
    {
        classes.clear();
        books.clear();
    }
    int AddClassNode(const std::string &caption) override
    {
        classes.push_back(caption);
        return static_cast<int>(classes.size()) - 1;
    }
    void AddBookNode(int classNode, const std::string &caption, int id) override
    {
        books[classes.at(static_cast<size_t>(classNode))].emplace_back(caption, id);
    }
    void ReleaseBookIds() override {}
};

size_t LineCount(const BookEntry &book)
{
    std::vector<std::string> lines;
    EXPECT_TRUE(SplitCrLfLines(ReadBytes(kBooksDir + book.file), lines)) << book.file;
    return lines.size();
}

class BooksImport : public ::testing::Test {
protected:
    void TearDown() override { SetDataInterface(nullptr); }
    TDataInterface data;
};

TEST_F(BooksImport, EveryBookImportsWithoutAnErrorLine)
{
    TempProgramDir dir(TempProgramDir::Contents::DataDirOnly);
    const std::string db = dir.Path("data/books.mdb");
    CreateStoreDatabase(db);
    ASSERT_TRUE(data.ConnectDatabaseFile(db));
    SetDataInterface(&data);

    const std::vector<BookEntry> books = ReadManifest();
    ASSERT_EQ(books.size(), 8u);
    for (const BookEntry &book : books) {
        TQuietProgress progress(false);
        const QString file = QString::fromStdString(kBooksDir + book.file);
        ASSERT_TRUE(
            ImportWordLibraryAs(file, Utf8ToGbk(book.name), progress, book.bookClass, book.id))
            << book.file;
        EXPECT_TRUE(progress.Questions().isEmpty())
            << book.file << ": " << progress.Questions().join(u' ').toStdString();
        EXPECT_EQ(GetBookWordNumber(book.id), static_cast<int>(LineCount(book))) << book.file;
        EXPECT_EQ(GetBookClass(book.id), book.bookClass);
    }
    EXPECT_EQ(GetBookWordNumber(109), 3480);
}

TEST_F(BooksImport, FirstRunDatabaseHoldsTheEightBooksReadyToPlay)
{
    TempProgramDir dir(TempProgramDir::Contents::CopyOfBuilt);
    ASSERT_TRUE(std::filesystem::exists(dir.Path("data/kivrotype.mdb")));
    ASSERT_TRUE(data.ConnectDatabase());
    SetDataInterface(&data);

    RecordingTree tree;
    FillBookTree(tree);
    std::vector<std::string> expectedClasses;
    for (int bookClass : {2, 3, 4, 6})
        expectedClasses.push_back(BookClassCaption(bookClass));
    std::vector<std::string> shown = tree.classes;
    std::sort(shown.begin(), shown.end());
    std::sort(expectedClasses.begin(), expectedClasses.end());
    EXPECT_EQ(shown, expectedClasses);
    for (const BookEntry &book : ReadManifest()) {
        const auto &inClass = tree.books[BookClassCaption(book.bookClass)];
        const auto found = std::find_if(inClass.begin(), inClass.end(),
                                        [&](const auto &node) { return node.second == book.id; });
        ASSERT_NE(found, inClass.end()) << book.name;
        EXPECT_EQ(GbkToUtf8(found->first), book.name);
        EXPECT_EQ(GetBookTableName(book.id), "lib" + std::to_string(book.id));
        EXPECT_EQ(GetBookWordNumber(book.id), static_cast<int>(LineCount(book)));
    }

    // The default game: toll gate 1 of the TOEFL book is its first 20 words.
    TGamePara para;
    para.StoreTableName = "lib109";
    para.WordCount = 3480;
    TWordInfos words;
    ASSERT_TRUE(LoadTollGateWords(para, 1, words));
    std::vector<std::string> lines;
    ASSERT_TRUE(SplitCrLfLines(ReadBytes(kBooksDir + "lib109-toefl.txt"), lines));
    ASSERT_EQ(words.size(), 20u);
    for (size_t i = 0; i < words.size(); ++i)
        EXPECT_EQ(words[i].Spelling, lines[i].substr(0, lines[i].find('['))) << i;
    EXPECT_EQ(words.front().Spelling, "abandon");
    EXPECT_EQ(words.back().Spelling, "academy");
    TWordInfos last;
    ASSERT_TRUE(LoadTollGateWords(para, CeilDiv(20, 3480), last));
    EXPECT_EQ(last.size(), 20u);
    EXPECT_EQ(last.back().Spelling, "zone");
}

// Tests copy a folder assembled afresh from the source tree, never the
// player's <build>/kivrotype: settings, recent toll gates and scores a
// developer made there by playing do not reach them.
TEST(BooksProgramFolder, TestsCopyTheSourceTreeNotThePlayersFolder)
{
    TempProgramDir dir(TempProgramDir::Contents::CopyOfBuilt);
    const std::string source = KIVRO_SOURCE_DIR "/";
    const std::pair<const char *, const char *> shipped[] = {
        {"data/typeconfig.ini", "data/typeconfig.ini"},
        {"data/kivrotype.html", "kivrotype.html"},
        {"THIRD_PARTY_NOTICES", "THIRD_PARTY_NOTICES"},
        {"source/mp3/默认背景音乐.mp3", "source/mp3/默认背景音乐.mp3"},
    };
    for (const auto &[from, to] : shipped) {
        const std::string bytes = ReadBytes(source + from);
        ASSERT_FALSE(bytes.empty()) << from;
        EXPECT_EQ(dir.ReadFile(to), bytes) << to;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.Path("UseRecord.txt")));
}

}  // namespace
