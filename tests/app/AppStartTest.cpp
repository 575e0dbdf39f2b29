// Start-up of the main window, what it restores of the last game, and what it
// leaves in the settings file when it closes.
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "ChildProcess.h"
#include "EspeakLibrary.h"
#include "FliteVoices.h"
#include "GameWindowFixture.h"
#include "GbkText.h"
#include "IniFile.h"
#include "MessageBoxes.h"
#include "OfflineWindowServices.h"
#include "ProgramChildRun.h"
#include "Settings.h"
#include "SpeechEngine.h"
#include "UDataInterface.h"
#include "UFrmType.h"
#include "UTypeGameType.h"

namespace {

std::vector<std::string> TestSpellings(std::initializer_list<std::pair<int, int>> ranges)
{
    std::vector<std::string> out;
    for (const auto &[from, to] : ranges) {
        for (int k = from; k <= to; ++k)
            out.push_back(TestSpelling(k));
    }
    return out;
}

std::string Key(TSettingKey key)
{
    return TIniFile(ConfigFilePath()).ReadValue(kSystemSection, key.Name()).value_or("<missing>");
}

const std::vector<TSettingKey> kGameKeys = {Setting::StoreTableName, Setting::WordCount,
                                            Setting::BookName,       Setting::TollGateIndex,
                                            Setting::Level,          Setting::BookType};

// ---- what start-up restores ------------------------------------------------

using AppStartRestore = GameWindowTest;

TEST_F(AppStartRestore, SettingsWithoutTheGameKeysStartTheShippedToeflBookReadyToPlay)
{
    RemoveKeys(kGameKeys);
    Start();
    const TFrmType &w = Window();

    EXPECT_EQ(w.Flow().GamePara().StoreTableName, "lib109");
    EXPECT_EQ(w.Flow().GamePara().WordCount, 3480);
    EXPECT_EQ(w.Flow().GamePara().TollGateCount, 174);
    EXPECT_EQ(w.Flow().GamePara().TollGateIndex, 1);
    EXPECT_EQ(w.Flow().GamePara().Level, 1);
    EXPECT_EQ(w.Flow().GamePara().BookType, 1);
    EXPECT_EQ(Text("labBook"), QStringLiteral("《最新TOEFL词汇》-顺序"));
    EXPECT_EQ(Text("labGate"), QStringLiteral("关卡：第1关（共174关）"));
    for (const char *count : {"labScore", "labRightCount", "labErrorCount"})
        EXPECT_EQ(Text(count), QStringLiteral("0"));
    EXPECT_EQ(Buttons(), "10001");
    EXPECT_EQ(Control<QToolButton>(w, "sbLevel")->text(), QStringLiteral("容易"));
    EXPECT_TRUE(Control<QAction>(w, "N8")->isChecked());
    EXPECT_TRUE(Control<QAction>(w, "N27")->isChecked());
    for (const char *item : {"N9", "N10", "N28", "N29"})
        EXPECT_FALSE(Control<QAction>(w, item)->isChecked()) << item;

    // The words of the book's first toll gate, standing still.
    EXPECT_EQ(Board().Level(), 1);
    EXPECT_FALSE(Board().IsPlaying());
    EXPECT_EQ(Ticks(5), 0);
    ASSERT_EQ(Board().Words().size(), 40U);
    EXPECT_FALSE(Board().Words()[0].Spelling.empty());

    // The board fills the game panel at the size its layout is made for.
    EXPECT_EQ(Control<QWidget>(w, "panGame")->size(), QSize(815, 424));
    EXPECT_EQ(Board().size(), QSize(815, 424));
    EXPECT_TRUE(Control<QWidget>(w, "panGame")->hasFocus());
    EXPECT_TRUE(m_boxes.Shown().empty()) << m_boxes.Texts().join(u'|').toStdString();
}

TEST_F(AppStartRestore, TollGatesAreTheWordCountInTwentiesRoundedUp)
{
    for (const auto &[words, gates] : {std::pair{3481, 175}, std::pair{20, 1}, std::pair{21, 2}}) {
        SetKey(Setting::WordCount, std::to_string(words));
        Start();
        EXPECT_EQ(Window().Flow().GamePara().TollGateCount, gates) << words;
        EXPECT_EQ(Text("labGate"), QStringLiteral("关卡：第1关（共%1关）").arg(gates));
        CloseWindow();
    }
}

TEST_F(AppStartRestore, TheFirstTollGateComesTwiceAtStartAndOnceAfterARestart)
{
    Start();
    const TWordInfos first = Board().Words();
    ASSERT_EQ(first.size(), 40U);
    for (size_t k = 0; k < 20; ++k)
        EXPECT_EQ(first[k + 20].Spelling, first[k].Spelling) << k;

    StartGame();
    Control<QToolButton>(Window(), "sbReStart")->click();
    const TWordInfos again = Board().Words();
    ASSERT_EQ(again.size(), 20U);
    const std::vector<std::string> firstTwenty = Spellings(first);
    EXPECT_EQ(Spellings(again), std::vector(firstTwenty.begin(), firstTwenty.begin() + 20));
}

TEST_F(AppStartRestore, ARestoredLastTollGateOfSevenWordsIsRepeatedToTwentySevenEntries)
{
    const TestBook book = ImportBook("四十七", 47);
    UseBook(book, 3);
    Start();
    EXPECT_EQ(Window().Flow().GamePara().TollGateCount, 3);
    EXPECT_EQ(Text("labGate"), QStringLiteral("关卡：第3关（共3关）"));
    // The 7 words, twice more, then the first 6 again.
    EXPECT_EQ(Spellings(Board().Words()), TestSpellings({{40, 46}, {40, 46}, {40, 46}, {40, 45}}));
}

TEST_F(AppStartRestore, ATollGateBeyondTheBookStartsAtItsLastTollGate)
{
    const TestBook book = ImportBook("三十", 30);
    UseBook(book, 9);
    Start();
    EXPECT_EQ(Window().Flow().GamePara().TollGateIndex, 2);
    EXPECT_EQ(Text("labGate"), QStringLiteral("关卡：第2关（共2关）"));
    EXPECT_EQ(Spellings(Board().Words()), TestSpellings({{20, 29}, {20, 29}, {20, 29}}));
}

TEST_F(AppStartRestore, TheSavedLevelAndShuffledOrderAreShown)
{
    const TestBook book = ImportBook("三十", 30);
    UseBook(book, 1, 3, 2);
    Start();
    EXPECT_EQ(Board().Level(), 3);
    EXPECT_EQ(Control<QToolButton>(Window(), "sbLevel")->text(), QStringLiteral("困难"));
    EXPECT_TRUE(Control<QAction>(Window(), "N10")->isChecked());
    EXPECT_TRUE(Control<QAction>(Window(), "N29")->isChecked());
    EXPECT_FALSE(Control<QAction>(Window(), "N8")->isChecked());
    EXPECT_FALSE(Control<QAction>(Window(), "N27")->isChecked());
    EXPECT_EQ(Text("labBook"), QStringLiteral("三十-打乱"));
}

TEST_F(AppStartRestore, ALaterShowDoesNotBuildASecondGame)
{
    Start();
    StartGame();
    Ticks(300);
    TTypeGameType *board = &Board();
    const int last = board->LastWordIndex();
    Window().hide();
    Window().show();
    QApplication::processEvents();
    EXPECT_EQ(&Board(), board);
    EXPECT_EQ(Board().LastWordIndex(), last);
    EXPECT_EQ(Buttons(), "01011");
}

TEST_F(AppStartRestore, TheWindowShowsTheGameUnderItsMenusAndKeepsAPlayableBoardWhenSmall)
{
    const TestBook book = ImportBook("<b>粗</b>", 20);
    UseBook(book);
    Start();
    TFrmType &w = Window();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Kivro单词速打"));
    QStringList menus;
    for (const QAction *menu : w.menuBar()->actions())
        menus << menu->text();
    EXPECT_EQ(menus, (QStringList{QStringLiteral("  文件(&F)"), QStringLiteral("  设置(&S)"),
                                  QStringLiteral("  帮助(&H)")}));
    EXPECT_EQ(Control<QWidget>(w, "panGame")->palette().color(QPalette::Window),
              QColor(0x48, 0x69, 0xB0));
    // A book name is shown as written, never as markup.
    EXPECT_EQ(Control<QLabel>(w, "labBook")->textFormat(), Qt::PlainText);
    EXPECT_EQ(Text("labBook"), QStringLiteral("<b>粗</b>-顺序"));

    w.resize(w.minimumSize());
    QApplication::processEvents();
    EXPECT_GE(Board().width(), 181);
    EXPECT_GE(Board().height(), 60);
    EXPECT_EQ(Board().size(), Control<QWidget>(w, "panGame")->size());
}

TEST_F(AppStartRestore, TheSavedColoursShowOnTheFirstScreenBeforeAnyKey)
{
    SetKey(Setting::BackGroundColor, "16384");  // 0x004000: dark green
    SetKey(Setting::NormalColor, "255");        // 0x0000FF: red
    Start();
    const QImage &canvas = Board().WordCanvas1().Bitmap;
    ASSERT_FALSE(canvas.isNull());
    ASSERT_FALSE(Board().WordCanvas1().Items.empty());
    EXPECT_EQ(canvas.pixelColor(5, 5), QColor(0, 64, 0));
    int red = 0;
    int white = 0;
    for (int y = 1; y < canvas.height() - 1; ++y) {
        for (int x = 1; x < canvas.width() - 1; ++x) {
            const QColor c = canvas.pixelColor(x, y);
            red += c == QColor(255, 0, 0) ? 1 : 0;
            white += c == QColor(255, 255, 255) ? 1 : 0;
        }
    }
    // The words are drawn in the player's colour, none in the board's own white.
    EXPECT_GT(red, 50);
    EXPECT_EQ(white, 0);
}

// ---- speech and music as the settings file says ----------------------------

class AppStartSound : public GameWindowTest {
protected:
    // Types the first word on view and lets its arrow fly until it hits.
    void HitOneWord()
    {
        // The engine's own probe at start-up is not a word.
        m_speech.state.spoken.clear();
        StartGame();
        ASSERT_TRUE(TickUntil([this] { return TypeOneVisibleWord(); }));
        ASSERT_EQ(Board().RightWordCount(), 1);
        QImage image(Board().size(), QImage::Format_RGB32);
        for (int i = 0; i < 200 && !Board().Shoots().empty(); ++i) {
            Board().RunManualShootTick();
            QPainter painter(&image);
            Board().Paint(painter);
        }
        ASSERT_TRUE(Board().Shoots().empty()) << "the arrow never hit";
    }
};

TEST_F(AppStartSound, SavedTicksPlayTheMusicAndSpeakTheWords)
{
    const TestBook book = ImportBook("二十", 20);
    UseBook(book);
    Start();
    EXPECT_TRUE(Control<QCheckBox>(Window(), "cbSpeech")->isChecked());
    EXPECT_TRUE(Control<QCheckBox>(Window(), "cbBackGround")->isChecked());
    ASSERT_NE(m_audio.Playing(), nullptr);
    EXPECT_NE(m_audio.Playing()->path.find("默认背景音乐.mp3"), std::string::npos);

    HitOneWord();
    ASSERT_EQ(m_speech.state.spoken.size(), 1U);
    EXPECT_EQ(m_speech.state.spoken[0].text.substr(0, 2), "qa");
}

TEST_F(AppStartSound, SpeechAndMusicStartRightAfterTheFirstFrameNotBefore)
{
    const TestBook book = ImportBook("二十", 20);
    UseBook(book);
    TFrmType window(OfflineWindowServices(m_speech, m_audio));
    window.show();
    // Shown, the game is built but nothing has been painted yet.
    ASSERT_NE(window.FTypeGame(), nullptr);
    EXPECT_FALSE(window.ServicesStarted());
    EXPECT_EQ(window.FBass(), nullptr);
    EXPECT_EQ(m_audio.Playing(), nullptr);

    ASSERT_TRUE(QTest::qWaitFor([&window] { return window.ServicesStarted(); }));
    ASSERT_NE(window.FBass(), nullptr);
    ASSERT_NE(m_audio.Playing(), nullptr);
    EXPECT_NE(m_audio.Playing()->path.find("默认背景音乐.mp3"), std::string::npos);
    window.close();
}

TEST_F(AppStartSound, WithoutFliteVoicesOrEspeakNgThePlayerIsToldAndTheGamePlaysOn)
{
    const QTemporaryDir empty;
    ASSERT_TRUE(empty.isValid());
    SetFliteVoiceDir(empty.path().toStdString());
    SetEspeakLibrary(empty.filePath(QStringLiteral("libespeak-ng.so.1")).toStdString());
    m_speechLayer = &RealSpeechEngineLayer();
    const TestBook book = ImportBook("二十", 20);
    UseBook(book);
    Start();
    EXPECT_EQ(m_boxes.Texts(), QStringList{QStringLiteral("语音引擎创建失败，请安装语音引擎！")});
    ASSERT_NE(m_audio.Playing(), nullptr);
    HitOneWord();
    EXPECT_EQ(Board().RightWordCount(), 1);
    EXPECT_EQ(m_boxes.Shown().size(), 1U);
}

TEST_F(AppStartSound, MissingTicksLeaveBothBoxesUntickedWithoutMusicOrSpeech)
{
    const TestBook book = ImportBook("二十", 20);
    UseBook(book);
    RemoveKeys({Setting::PlaySound, Setting::PlayMp3});
    Start();
    EXPECT_FALSE(Control<QCheckBox>(Window(), "cbSpeech")->isChecked());
    EXPECT_FALSE(Control<QCheckBox>(Window(), "cbBackGround")->isChecked());
    EXPECT_FALSE(Board().SpeechEnable());
    EXPECT_EQ(m_audio.Playing(), nullptr);
    // Unticking at start-up counts as the player's click: it is saved.
    EXPECT_EQ(Key(Setting::PlayMp3), "0");

    HitOneWord();
    EXPECT_TRUE(m_speech.state.spoken.empty());

    // Ticking the box later starts the music.
    Control<QCheckBox>(Window(), "cbBackGround")->click();
    EXPECT_EQ(Key(Setting::PlayMp3), "1");
    EXPECT_NE(m_audio.Playing(), nullptr);
}

TEST_F(AppStartSound, ZeroTicksAreTheSameAsMissingOnes)
{
    SetKey(Setting::PlaySound, "0");
    SetKey(Setting::PlayMp3, "0");
    Start();
    EXPECT_FALSE(Control<QCheckBox>(Window(), "cbSpeech")->isChecked());
    EXPECT_FALSE(Control<QCheckBox>(Window(), "cbBackGround")->isChecked());
    EXPECT_FALSE(Board().SpeechEnable());
    EXPECT_EQ(m_audio.Playing(), nullptr);
}

// ---- closing ----------------------------------------------------------------

using AppStartClose = GameWindowTest;

TEST_F(AppStartClose, ClosingWritesAllSixGameKeysIncludingATollGateReachedByPlaying)
{
    const TestBook book = ImportBook("六十个词", 60);
    UseBook(book, 1, 2, 0);
    Start();
    StartGame();
    PlayTollGate(0);
    ASSERT_EQ(Window().Flow().GamePara().TollGateIndex, 2);
    // Whatever the file holds now, closing puts the game back into it.
    RemoveKeys(kGameKeys);

    Control<QAction>(Window(), "N2")->trigger();
    EXPECT_FALSE(Window().isVisible());
    EXPECT_EQ(Key(Setting::StoreTableName), book.Table);
    EXPECT_EQ(Key(Setting::WordCount), "60");
    EXPECT_EQ(Key(Setting::BookName), Gbk("六十个词"));
    EXPECT_EQ(Key(Setting::TollGateIndex), "2");
    EXPECT_EQ(Key(Setting::Level), "2");
    EXPECT_EQ(Key(Setting::BookType), "0");
    CloseWindow();
}

TEST_F(AppStartClose, ARefusedSettingsWriteAtCloseIsShownAndTheWindowStillCloses)
{
    Start();
    namespace fs = std::filesystem;
    fs::rename(m_dir.Path("data"), m_dir.Path("data.away"));
    m_dir.WriteFile("data", "not a folder");

    EXPECT_TRUE(Window().close());
    EXPECT_FALSE(Window().isVisible());
    ASSERT_EQ(m_boxes.Shown().size(), 1U);
    EXPECT_EQ(m_boxes.Shown()[0].icon, TMsgIcon::Exclamation);
    EXPECT_TRUE(m_boxes.Shown()[0].text.contains(QStringLiteral("typeconfig.ini")))
        << m_boxes.Shown()[0].text.toStdString();
    CloseWindow();
}

TEST_F(AppStartClose, ARefusedSettingsWriteAtStartUpIsShownAndTheGameStillComesUp)
{
    // The settings cannot be read either: the music box starts unticked, and
    // saving that tick is refused.
    namespace fs = std::filesystem;
    fs::rename(m_dir.Path("data"), m_dir.Path("data.away"));
    m_dir.WriteFile("data", "not a folder");
    Start();
    ASSERT_EQ(m_boxes.Shown().size(), 1U) << m_boxes.Texts().join(u'|').toStdString();
    EXPECT_EQ(m_boxes.Shown()[0].icon, TMsgIcon::Exclamation);
    EXPECT_FALSE(Control<QCheckBox>(Window(), "cbBackGround")->isChecked());
    // The board exists and the game is ready.
    EXPECT_EQ(Buttons(), "10001");
    EXPECT_EQ(Board().Words().size(), 40U);
    StartGame();
    EXPECT_EQ(Ticks(3), 3);
}

// ---- the program's own start, in a process of its own ------------------------

TEST(AppStartProgram, AMissingDatabaseIsReportedAndTheProgramExitsWithStatusOne)
{
    TempProgramDir dir(TempProgramDir::Contents::CopyOfBuilt);
    std::filesystem::remove(dir.Path("data/kivrotype.mdb"));
    const std::string settings = dir.ReadFile("data/typeconfig.ini");

    const ChildRun run = RunProgram(dir, {QStringLiteral("KIVRO_CHILD_FIRST_FRAME=1")});
    EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
    const QString message = QStringLiteral("无法打开单词数据库：")
                            + QString::fromStdString(dir.Path("data/kivrotype.mdb"));
    EXPECT_TRUE(run.err.contains(message + u'\n')) << run.err.toStdString();
    // One exclamation box with the same words, and no window ever shown.
    EXPECT_EQ(run.out, QStringLiteral("BOX 2 ") + message + u'\n');
    // Nothing of a game was saved.
    EXPECT_EQ(dir.ReadFile("data/typeconfig.ini"), settings);
}

// A start-up that cannot go on: exit status 1, one exclamation box and the
// same words on standard error, nothing written.
void ExpectStartUpFailure(const TempProgramDir &dir, const QString &message)
{
    const std::string settings = std::filesystem::is_regular_file(dir.Path("data/typeconfig.ini"))
                                     ? dir.ReadFile("data/typeconfig.ini")
                                     : std::string();
    const ChildRun run = RunProgram(dir, {QStringLiteral("KIVRO_CHILD_FIRST_FRAME=1")});
    EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(message + u'\n')) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("BOX 2 ") + message + u'\n');
    if (!settings.empty()) {
        EXPECT_EQ(dir.ReadFile("data/typeconfig.ini"), settings);
    }
}

TEST(AppStartProgram, ADatabaseWithoutItsTablesIsReportedAsOneThatCannotBeOpened)
{
    TempProgramDir dir(TempProgramDir::Contents::CopyOfBuilt);
    // SQLite opens a 0-byte file as a new, empty database.
    std::filesystem::resize_file(dir.Path("data/kivrotype.mdb"), 0);
    ExpectStartUpFailure(dir, QStringLiteral("无法打开单词数据库：")
                                  + QString::fromStdString(dir.Path("data/kivrotype.mdb")));
    EXPECT_EQ(std::filesystem::file_size(dir.Path("data/kivrotype.mdb")), 0u);
}

TEST(AppStartProgram, SettingsThatCannotBeReadAreNamed)
{
    TempProgramDir dir(TempProgramDir::Contents::CopyOfBuilt);
    std::filesystem::remove(dir.Path("data/typeconfig.ini"));
    std::filesystem::create_directory(dir.Path("data/typeconfig.ini"));
    ExpectStartUpFailure(dir, QStringLiteral("无法读取设置文件：")
                                  + QString::fromStdString(dir.Path("data/typeconfig.ini")));
}

TEST(AppStartProgram, ADatabaseHeldByAnotherProgramIsNamed)
{
    TempProgramDir dir(TempProgramDir::Contents::CopyOfBuilt);
    const std::string database = dir.Path("data/kivrotype.mdb");
    THoldingChild holder([database] {
        // Lives until the child ends; an exclusive lock keeps readers out.
        static std::unique_ptr<TSqlConnection> held;
        held = std::make_unique<TSqlConnection>(database, DatabasePassword(),
                                                TSqlConnection::OpenMode::ExistingOnly);
        held->Execute("BEGIN EXCLUSIVE");
    });
    ASSERT_TRUE(holder.Ready());
    ExpectStartUpFailure(dir, QStringLiteral("单词数据库正被其他程序使用：")
                                  + QString::fromStdString(database));
    EXPECT_EQ(holder.Release(), 0);
}

TEST(AppStartProgram, WithItsDatabaseTheProgramPaintsTheGameAndSavesItOnClosing)
{
    if (!NetworkCanBeCut())
        GTEST_SKIP() << "the real Internet check must not reach the network";
    TempProgramDir dir(TempProgramDir::Contents::CopyOfBuilt);
    RemoveKeysFromFile(dir, {Setting::TollGateIndex});

    const ChildRun run = RunProgram(dir, {QStringLiteral("KIVRO_CHILD_FIRST_FRAME=1")});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("FIRST FRAME 关卡：第1关（共174关）\n")))
        << run.out.toStdString();
    EXPECT_EQ(Key(Setting::TollGateIndex), "1");
}

// Every file under a folder with its contents, to see that nothing changed.
std::map<std::string, std::string> FolderContents(const std::string &root)
{
    std::map<std::string, std::string> files;
    for (const auto &entry : std::filesystem::recursive_directory_iterator(root)) {
        if (!entry.is_regular_file())
            continue;
        std::ifstream in(entry.path(), std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        files[std::filesystem::relative(entry.path(), root).string()] = bytes.str();
    }
    return files;
}

TEST(AppStartProgram, AnInstalledProgramFillsThePlayersFolderAndLeavesItsOwnAlone)
{
    if (!NetworkCanBeCut())
        GTEST_SKIP() << "the real Internet check must not reach the network";
    TempProgramDir installed(TempProgramDir::Contents::CopyOfBuilt);
    TempProgramDir player(TempProgramDir::Contents::Empty);
    // The player chose toll gate 3 before; the first start keeps that.
    player.WriteFile("data/typeconfig.ini", installed.ReadFile("data/typeconfig.ini"));
    player.StoreSetting(Setting::TollGateIndex, "3");
    const auto before = FolderContents(installed.Dir());

    const ChildRun run = RunProgram(player, {QStringLiteral("KIVRO_CHILD_FIRST_FRAME=1"),
                                             QStringLiteral("KIVRO_CHILD_INSTALLED_DIR=")
                                                 + QString::fromStdString(installed.Dir())});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(QStringLiteral("FIRST FRAME 关卡：第3关（共174关）\n")))
        << run.out.toStdString();
    EXPECT_EQ(player.ReadFile("data/kivrotype.mdb").size(),
              installed.ReadFile("data/kivrotype.mdb").size());
    EXPECT_TRUE(std::filesystem::exists(player.Path("UseRecord.txt")));
    EXPECT_TRUE(std::filesystem::is_directory(player.Path("source/mp3")));
    EXPECT_EQ(player.StoredSetting(Setting::TollGateIndex), "3");
    EXPECT_EQ(FolderContents(installed.Dir()), before);
}

// Every path under a folder, folders too, with each file's contents.
std::map<std::string, std::string> EverythingUnder(const std::string &root)
{
    std::map<std::string, std::string> entries = FolderContents(root);
    for (const auto &entry : std::filesystem::recursive_directory_iterator(root)) {
        if (entry.is_directory())
            entries[std::filesystem::relative(entry.path(), root).string() + "/"] = "";
    }
    return entries;
}

TEST(AppStartProgram, AHomeThatCannotBeWrittenIsNamedAndNothingIsWritten)
{
    if (!FoldersCanBeMadeReadOnly())
        GTEST_SKIP() << "no private mount namespace with a read-only folder";
    TempProgramDir root(TempProgramDir::Contents::Empty);
    // Read-only for the program: a data home without the program's folder, a
    // home without .local/share, a data home holding the player's folder.
    std::filesystem::create_directories(root.Path("ro/share"));
    std::filesystem::create_directories(root.Path("ro/kept/kivrotype/data"));
    std::filesystem::create_directories(root.Path("user"));
    const QString ro = QString::fromStdString(root.Path("ro"));
    const QString user = QString::fromStdString(root.Path("user"));
    struct Case {
        QStringList env;
        QString message;
    };
    const QString xdg = QStringLiteral("XDG_DATA_HOME=");
    const QString homeIs = QStringLiteral("HOME=");
    const Case cases[] = {
        {{xdg + ro + QStringLiteral("/share"), homeIs + user},
         QStringLiteral("无法创建玩家文件夹：") + ro + QStringLiteral("/share/kivrotype")},
        {{xdg, homeIs + ro},
         QStringLiteral("无法创建玩家文件夹：") + ro + QStringLiteral("/.local/share/kivrotype")},
        {{xdg + ro + QStringLiteral("/kept"), homeIs + user},
         QStringLiteral("玩家文件夹不可写：") + ro + QStringLiteral("/kept/kivrotype")},
    };
    const auto before = EverythingUnder(root.Dir());
    for (const Case &c : cases) {
        SCOPED_TRACE(c.message.toStdString());
        // The folders the program finds for itself, as when installed.
        const ChildRun run = RunProgram(
            root, QStringList{QStringLiteral("KIVRO_CHILD_PROGRAM_DIR=")} + c.env, {}, ro);
        EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
        EXPECT_TRUE(run.out.contains(QStringLiteral("BOX %1 %2\n")
                                         .arg(static_cast<int>(TMsgIcon::Exclamation))
                                         .arg(c.message)))
            << run.out.toStdString();
        EXPECT_TRUE(run.err.contains(c.message + u'\n')) << run.err.toStdString();
        EXPECT_FALSE(run.out.contains(QStringLiteral("无法打开单词数据库")));
        EXPECT_EQ(EverythingUnder(root.Dir()), before);
    }
}

TEST(AppStartProgram, AReadOnlyPortableDataFolderIsNamedAndLeftAlone)
{
    if (!FoldersCanBeMadeReadOnly())
        GTEST_SKIP() << "no private mount namespace with a read-only folder";
    TempProgramDir dir(TempProgramDir::Contents::CopyOfBuilt);
    const auto before = EverythingUnder(dir.Dir());
    const ChildRun run = RunProgram(dir, {}, {}, QString::fromStdString(dir.Path("data")));
    EXPECT_EQ(run.exitCode, 1) << run.err.toStdString();
    const QString message =
        QStringLiteral("玩家文件夹不可写：") + QString::fromStdString(dir.Path("data"));
    EXPECT_TRUE(run.err.contains(message + u'\n')) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains(message)) << run.out.toStdString();
    EXPECT_EQ(EverythingUnder(dir.Dir()), before);
}

}  // namespace
