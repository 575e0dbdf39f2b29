#pragma once
// The main window in a copy of the built program folder, with its board
// driven by hand, speech and music going into fakes and no network. Tests
// set up the settings file and small books first, then Start() the window
// and play it through its buttons, menus and the board.

#include <deque>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include <QObject>
#include <QString>

#include <gtest/gtest.h>

#include "FakeAudioLayer.h"
#include "FakeSpeechLayer.h"
#include "Records.h"
#include "ScriptedMessageBoxes.h"
#include "TempProgramDir.h"
#include "UDataInterface.h"

class QDialog;
class TFrmType;
class TTypeGameType;
struct TTypeWordItem;

// A book imported for a test: what the settings file needs to play it.
struct TestBook {
    int Id = 0;
    std::string Table;  // GBK
    std::string Name;   // GBK
    int WordCount = 0;
};

// Spelling of word k (from 0) of a test book: "qaa", "qab", … (another first
// letter for another book). All have the same length and differ, so typing
// one never completes another.
std::string TestSpelling(int k, char first = 'q');
// The spellings of a word list, in order.
std::vector<std::string> Spellings(const TWordInfos &words);

class GameWindowTest : public ::testing::Test {
protected:
    GameWindowTest();
    ~GameWindowTest() override;

    // ---- before Start()

    // Imports a book of n test words through the program's import.
    TestBook ImportBook(const std::string &utf8Name, int words, char first = 'q');
    // Imports a book of these lines (GBK, spelling[pronunciation]meaning).
    TestBook ImportLines(const std::string &utf8Name, const std::vector<std::string> &lines);
    // The settings file's game keys point at the book.
    void UseBook(const TestBook &book, int tollGate = 1, int level = 1, int bookType = 0);
    // Removes keys from section "system" of the settings file.
    void RemoveKeys(const std::vector<TSettingKey> &keys);
    // Stores the text as it is, as an installed settings file may hold it.
    void SetKey(TSettingKey key, const std::string &gbkValue);
    // Builds and shows the window, which runs its first-show set-up.
    void Start();

    // ---- the running window

    TFrmType &Window() { return *m_window; }
    TTypeGameType &Board();
    // Closes the window as the player does and destroys it.
    void CloseWindow();
    // The text of the window's label of that name.
    QString Text(const char *label);
    // "start restart continue pause level", 1 for an enabled button.
    std::string Buttons();

    // Key events as the window system delivers them: to the focus widget of
    // the window.
    void Press(Qt::Key key, const QString &text, bool repeat = false,
               Qt::KeyboardModifiers mods = Qt::NoModifier);
    void Release(Qt::Key key, const QString &text, bool repeat = false,
                 Qt::KeyboardModifiers mods = Qt::NoModifier);
    void Click(Qt::Key key, const QString &text);

    // Runs up to n manual ticks; returns how many ran.
    int Ticks(int n);
    // Ticks until done() holds (checked before each tick); false when limit
    // ticks ran without it, or the board stopped.
    bool TickUntil(const std::function<bool()> &done, int limit = 20000);
    // Types the whole spelling of one word on view that is neither typed nor
    // counted yet, key by key as TypeKey takes them. False when none is on view.
    bool TypeOneVisibleWord();
    // Plays the board's current word list to its end: `right` words are typed
    // as they come on view, the rest go by. The list must hold at least
    // `right` distinct words.
    void PlayTollGate(int right);

    // Shot-timer ticks, each followed by a paint as on screen, until every
    // arrow in flight has hit its word; false when some are still flying
    // after limit ticks (or the shot timer stands still).
    bool FlyShots(int limit = 400);

    // Ready, then the words of the current toll gate run.
    void StartGame();
    // "开始游戏", then "重新游戏": toll gate 1 runs as loaded (not doubled).
    void StartFromTheFirstTollGate();
    // Score, right and error labels, space separated.
    std::string Counts();

    // The next modal dialog is shown, worked by the script and ends with the
    // result it leaves. Scripts are used in order; a dialog without one fails
    // the test and is rejected.
    void ScriptDialog(std::function<void(QDialog &)> script);

    TempProgramDir m_dir{TempProgramDir::Contents::CopyOfBuilt};
    std::unique_ptr<TDataInterface> m_db;
    FakeSpeechLayer m_speech{{"Microsoft Mary"}};
    TSpeechEngineLayer *m_speechLayer = nullptr;  // the window's speech when set, else m_speech
    FakeAudioLayer m_audio;
    std::unique_ptr<TFrmType> m_window;
    std::deque<std::function<void(QDialog &)>> m_dialogScripts;
    ScriptedMessageBoxes &m_boxes = ScriptedMessageBoxes::Global();
};

// The control of that object name in a window or dialog; throws when there is none.
template <typename T>
T *Control(const QObject &parent, const char *name)
{
    T *control = parent.findChild<T *>(QString::fromLatin1(name));
    if (!control)
        throw std::runtime_error(std::string("no control ") + name);
    return control;
}

// Removes keys from the settings file of a program folder.
void RemoveKeysFromFile(const TempProgramDir &dir, const std::vector<TSettingKey> &keys);

// True when any corner of the box lies on view in its canvas.
bool OnView(const TTypeWordItem &item, int canvasId, const TTypeGameType &board);
