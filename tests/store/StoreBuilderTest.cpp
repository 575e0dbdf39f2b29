#include <filesystem>

#include <QProcess>

#include "SchemaVersion.h"
#include "StoreFixture.h"
#include "UBookType.h"

namespace {

class StoreBuilder : public ::testing::Test {
protected:
    int Run(const std::string &manifest, const std::string &out)
    {
        QProcess process;
        process.start(QStringLiteral(KIVRO_MAKE_DATABASE),
                      {QStringLiteral("--manifest"), QString::fromStdString(manifest),
                       QStringLiteral("--out"), QString::fromStdString(out)});
        if (!process.waitForFinished(30000))
            return -1;
        output =
            QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError());
        return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    }

    TempProgramDir dir{TempProgramDir::Contents::DataDirOnly};
    QString output;
    const std::string fixture = KIVRO_SOURCE_DIR "/tests/store/fixtures/wordbooks/manifest.tsv";
};

class TreeNames final : public TBookTree {
public:
    void Clear() override { lines.clear(); }
    int AddClassNode(const std::string &caption) override
    {
        lines.push_back(GbkToUtf8(caption));
        return 0;
    }
    void AddBookNode(int, const std::string &caption, int id) override
    {
        lines.push_back("  " + GbkToUtf8(caption) + " #" + std::to_string(id));
    }
    void ReleaseBookIds() override {}
    std::vector<std::string> lines;
};

TEST_F(StoreBuilder, BuildsTheBooksOfTheManifestUnderTheirIdsAndClasses)
{
    const std::string out = dir.Path("data/kivrotype.mdb");
    ASSERT_EQ(Run(fixture, out), 0) << output.toStdString();

    TDataInterface db;
    ASSERT_TRUE(db.ConnectDatabaseFile(out));
    // Stamped when built: opening it migrates and copies nothing.
    EXPECT_EQ(ReadSchemaVersion(db.Connection()), CurrentSchemaVersion());
    EXPECT_FALSE(std::filesystem::exists(SchemaBackupPath(out)));
    SetDataInterface(&db);
    TreeNames tree;
    FillBookTree(tree);
    EXPECT_EQ(tree.lines, (std::vector<std::string>{"中学英语", "  《中学核心词汇》 #3", "出国留学",
                                                    "  《出国留学词汇》 #7"}));
    EXPECT_EQ(GetBookWordNumber(3), 4);
    EXPECT_EQ(GetBookTableName(7), "lib7");
    TGamePara para;
    para.StoreTableName = "lib3";
    TWordInfos words;
    ASSERT_TRUE(LoadTollGateWords(para, 1, words));
    ASSERT_EQ(words.size(), 4u);
    EXPECT_EQ(words[2].Spelling, "don't");
    EXPECT_EQ(words[1].Meaning, Gbk("n.书；书籍"));
    EXPECT_EQ(words[0].Pronunciation, "8pl");  // the import's digit codes
    EXPECT_EQ(NextBookId(), 8);
    SetDataInterface(nullptr);

    // Never over an existing database.
    const auto size = std::filesystem::file_size(out);
    EXPECT_NE(Run(fixture, out), 0);
    EXPECT_TRUE(output.contains(QStringLiteral("never overwritten"))) << output.toStdString();
    EXPECT_EQ(std::filesystem::file_size(out), size);
}

TEST_F(StoreBuilder, AnErrorLineFailsTheBuildAndLeavesNoDatabase)
{
    dir.WriteFile("books/good.txt", "a[b]c\r\n");
    dir.WriteFile("books/bad.txt", "a[b]c\r\nd[e]f\r\nno bracket here\r\n");
    dir.WriteFile("books/manifest.tsv", "1\tgood\t2\tgood.txt\n2\tbad\t3\tbad.txt\n");
    const std::string out = dir.Path("data/kivrotype.mdb");
    EXPECT_NE(Run(dir.Path("books/manifest.tsv"), out), 0);
    EXPECT_TRUE(output.contains(QStringLiteral("bad.txt:3"))) << output.toStdString();
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_FALSE(std::filesystem::exists(out + ".part"));
}

TEST_F(StoreBuilder, ABadManifestIsRefusedBeforeAnythingIsWritten)
{
    dir.WriteFile("books/a.txt", "a[b]c\n");
    const std::string out = dir.Path("data/kivrotype.mdb");
    const std::pair<std::string, std::string> cases[] = {
        {"1\ta\t2\ta.txt\n1\tb\t2\ta.txt\n", "used twice"},
        {"1\ta\t2\ta.txt\n2\ta\t2\ta.txt\n", "used twice"},
        {"1\ta\t9\ta.txt\n", "class"},
        {"x\ta\t2\ta.txt\n", "id"},
        {"1\ta\t2\tmissing.txt\n", "no such file"},
        {"1\ta\t2\n", "tabs"},
        {"# nothing\n", "names no book"},
    };
    for (const auto &[manifest, complaint] : cases) {
        dir.WriteFile("books/manifest.tsv", manifest);
        EXPECT_NE(Run(dir.Path("books/manifest.tsv"), out), 0) << manifest;
        EXPECT_TRUE(output.contains(QString::fromStdString(complaint))) << output.toStdString();
        EXPECT_FALSE(std::filesystem::exists(out)) << manifest;
    }
    EXPECT_EQ(Run("", out), 2);
}

}  // namespace
