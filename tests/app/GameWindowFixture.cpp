#include "GameWindowFixture.h"

#include <sstream>
#include <stdexcept>

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QTest>
#include <QToolButton>

#include "GbkText.h"
#include "ModalRunner.h"
#include "OfflineWindowServices.h"
#include "Random.h"
#include "Settings.h"
#include "StoreProgress.h"
#include "UBookType.h"
#include "UFrmType.h"
#include "UImpExpLib.h"
#include "UTypeGameType.h"
#include "WordTables.h"

std::vector<std::string> Spellings(const TWordInfos &words)
{
    std::vector<std::string> out;
    for (const TWordInfo &w : words)
        out.push_back(w.Spelling);
    return out;
}

std::string TestSpelling(int k, char first)
{
    std::string s(1, first);
    s += static_cast<char>('a' + k / 26);
    s += static_cast<char>('a' + k % 26);
    return s;
}

bool OnView(const TTypeWordItem &item, int canvasId, const TTypeGameType &board)
{
    const TRect &src = (canvasId == 1 ? board.WordCanvas1() : board.WordCanvas2()).SrcRect;
    const TRect &box = item.BoxRect;
    const auto inside = [&src](int x, int y) {
        return x >= src.Left && x <= src.Right && y >= src.Top && y <= src.Bottom;
    };
    return inside(box.Left, box.Top) || inside(box.Right, box.Top) || inside(box.Left, box.Bottom)
           || inside(box.Right, box.Bottom);
}

GameWindowTest::GameWindowTest()
{
    m_boxes.Clear();
    SetModalRunner({});
    SeedProgramRandom(7);
    m_db = std::make_unique<TDataInterface>();
    if (!m_db->ConnectDatabase())
        throw std::runtime_error("the copied program's database does not open");
    SetDataInterface(m_db.get());
}

GameWindowTest::~GameWindowTest()
{
    m_window.reset();
    EXPECT_TRUE(m_dialogScripts.empty()) << "a scripted dialog was never shown";
    EXPECT_EQ(m_boxes.PendingAnswers(), 0U) << "a scripted question was never asked";
    SetModalRunner({});
    SetDataInterface(nullptr);
    m_db.reset();
}

TestBook GameWindowTest::ImportBook(const std::string &utf8Name, int words, char first)
{
    std::vector<std::string> lines;
    lines.reserve(static_cast<size_t>(words));
    for (int k = 0; k < words; ++k)
        lines.push_back(TestSpelling(k, first) + "[p]" + Gbk("词"));
    return ImportLines(utf8Name, lines);
}

TestBook GameWindowTest::ImportLines(const std::string &utf8Name,
                                     const std::vector<std::string> &lines)
{
    std::string bytes;
    for (const std::string &line : lines)
        bytes += line + "\r\n";
    TestBook book;
    book.Id = NextBookId();
    book.Name = Gbk(utf8Name);
    book.Table = LibraryTableName(book.Id);
    book.WordCount = static_cast<int>(lines.size());
    const std::string file = "lists/book" + std::to_string(book.Id) + ".txt";
    m_dir.WriteFile(file, bytes);
    TQuietProgress progress(false);
    if (!ImportWordLibrary(QString::fromStdString(m_dir.Path(file)), book.Name, progress, 4))
        throw std::runtime_error("the test book was not imported");
    return book;
}

void GameWindowTest::UseBook(const TestBook &book, int tollGate, int level, int bookType)
{
    TGamePara para;
    para.StoreTableName = book.Table;
    para.BookName = book.Name;
    para.WordCount = book.WordCount;
    para.TollGateIndex = tollGate;
    para.Level = level;
    para.BookType = bookType;
    SaveGamePara(para);
}

void RemoveKeysFromFile(const TempProgramDir &dir, const std::vector<TSettingKey> &keys)
{
    std::istringstream in(dir.ReadFile("data/typeconfig.ini"));
    std::string kept;
    for (std::string line; std::getline(in, line);) {
        bool drop = false;
        for (const TSettingKey key : keys)
            drop = drop || line.rfind(std::string(key.Name()) + "=", 0) == 0;
        if (!drop)
            kept += line + "\n";
    }
    dir.WriteFile("data/typeconfig.ini", kept);
}

void GameWindowTest::RemoveKeys(const std::vector<TSettingKey> &keys)
{
    RemoveKeysFromFile(m_dir, keys);
}

void GameWindowTest::SetKey(TSettingKey key, const std::string &gbkValue)
{
    m_dir.StoreSetting(key, gbkValue);
}

void GameWindowTest::Start()
{
    if (m_window)
        CloseWindow();
    m_window = std::make_unique<TFrmType>(
        OfflineWindowServices(m_speechLayer != nullptr ? *m_speechLayer : m_speech, m_audio));
    m_window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(m_window.get()));
    // The layout gives the board its size after the first show; speech,
    // music and the Internet check start right after the first paint.
    QApplication::processEvents();
    ASSERT_NE(m_window->FTypeGame(), nullptr);
    ASSERT_TRUE(QTest::qWaitFor([this] { return m_window->ServicesStarted(); }));
}

TTypeGameType &GameWindowTest::Board()
{
    if (!m_window || !m_window->FTypeGame())
        throw std::runtime_error("no board");
    return *m_window->FTypeGame();
}

void GameWindowTest::CloseWindow()
{
    m_window->close();
    m_window.reset();
}

QString GameWindowTest::Text(const char *label)
{
    return Control<QLabel>(*m_window, label)->text();
}

std::string GameWindowTest::Buttons()
{
    std::string s;
    for (const char *button : {"sbStart", "sbReStart", "btnContinue", "btnPause", "sbLevel"})
        s += Control<QToolButton>(*m_window, button)->isEnabled() ? '1' : '0';
    return s;
}

void GameWindowTest::Press(Qt::Key key, const QString &text, bool repeat,
                           Qt::KeyboardModifiers mods)
{
    qt_handleKeyEvent(m_window->windowHandle(), QEvent::KeyPress, key, mods, text, repeat);
}

void GameWindowTest::Release(Qt::Key key, const QString &text, bool repeat,
                             Qt::KeyboardModifiers mods)
{
    qt_handleKeyEvent(m_window->windowHandle(), QEvent::KeyRelease, key, mods, text, repeat);
}

void GameWindowTest::Click(Qt::Key key, const QString &text)
{
    Press(key, text);
    Release(key, text);
}

int GameWindowTest::Ticks(int n)
{
    int ran = 0;
    for (int i = 0; i < n && m_window && m_window->FTypeGame(); ++i)
        ran += Board().RunManualTick() ? 1 : 0;
    return ran;
}

bool GameWindowTest::TickUntil(const std::function<bool()> &done, int limit)
{
    for (int i = 0; i < limit; ++i) {
        if (done())
            return true;
        if (!Board().RunManualTick())
            return done();
    }
    return done();
}

bool GameWindowTest::TypeOneVisibleWord()
{
    TTypeGameType &board = Board();
    for (int canvasId : {1, 2}) {
        const TWordCanvas &canvas = canvasId == 1 ? board.WordCanvas1() : board.WordCanvas2();
        for (const TTypeWordItem &item : canvas.Items) {
            if (item.Typed || item.ShotDown || item.Missed || !OnView(item, canvasId, board))
                continue;
            // Copied: typing redraws the canvas and may change its items.
            const std::string spelling = item.WordInfo.Spelling;
            for (char ch : spelling)
                board.TypeKey(static_cast<std::uint16_t>(ch - 'a' + 'A'), TShiftState{});
            return true;
        }
    }
    return false;
}

void GameWindowTest::PlayTollGate(int right)
{
    TTypeGameType &board = Board();
    const int listed = static_cast<int>(board.Words().size());
    const int start = board.RightWordCount();
    for (int i = 0; i < 40000; ++i) {
        if (board.RightWordCount() - start < right)
            TypeOneVisibleWord();
        // The end of the list may load the next toll gate or end the game,
        // once the last arrows have hit.
        if (board.RightWordCount() + board.ErrorWordCount() >= listed) {
            ASSERT_TRUE(FlyShots()) << "the last arrows did not hit";
            board.RunManualTick();
            return;
        }
        if (!board.RunManualTick())
            return;
    }
    FAIL() << "the toll gate did not end";
}

bool GameWindowTest::FlyShots(int limit)
{
    TTypeGameType &board = Board();
    QImage screen(board.size(), QImage::Format_RGB32);
    for (int i = 0; i < limit && !board.Shoots().empty(); ++i) {
        if (!board.RunManualShootTick())
            return false;
        QPainter painter(&screen);
        board.Paint(painter);
    }
    return board.Shoots().empty();
}

void GameWindowTest::StartGame()
{
    Control<QToolButton>(*m_window, "sbStart")->click();
}

void GameWindowTest::StartFromTheFirstTollGate()
{
    Control<QToolButton>(*m_window, "sbStart")->click();
    Control<QToolButton>(*m_window, "sbReStart")->click();
}

std::string GameWindowTest::Counts()
{
    const QString counts =
        Text("labScore") + u' ' + Text("labRightCount") + u' ' + Text("labErrorCount");
    return counts.toStdString();
}

void GameWindowTest::ScriptDialog(std::function<void(QDialog &)> script)
{
    m_dialogScripts.push_back(std::move(script));
    SetModalRunner([this](QDialog &dialog) {
        if (m_dialogScripts.empty()) {
            ADD_FAILURE() << "an unexpected dialog: " << dialog.objectName().toStdString();
            return int(QDialog::Rejected);
        }
        auto next = std::move(m_dialogScripts.front());
        m_dialogScripts.pop_front();
        dialog.show();
        next(dialog);
        const int result = dialog.result();
        dialog.hide();
        return result;
    });
}
