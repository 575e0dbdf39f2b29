#pragma once
// The game board: holds a toll gate's words, moves them down on two scrolling
// word canvases driven by a play thread, applies typed keys to the words on
// view, shoots an arrow at each completed word and speaks it when the arrow
// hits, counts right and missed words, keeps the score and draws itself.
//
// How the host uses it:
//   - Create it as a child of the game panel and keep it the panel's size (a
//     layout with no margins); call ResizeBoard after every resize.
//   - StartGame(words, speaker) once; PauseGame right after when play should
//     wait for the player. Later toll gates: SetWords, then Restart.
//   - PauseGame / ContinueGame; properties (Level, intervals, colours,
//     WordDisType, SpeechEnable, TollGateWords) may be written at any time.
//   - Keys: on each key release while the game panel has the focus, call
//     TypeKey with KeyStrokeFromKeyEvent(event) (KeyCodes.h). Typing works in
//     every state, paused included.
//   - Events are signals (see below), so every listener is connected on its
//     own. A word's events name it by its place in Words(), the list the
//     board was last given.
//   - A gameOver slot may restart the board or even destroy it. The other
//     signals come in the middle of moving, typing or drawing: their slots
//     only read the board (counts, Score, TollGateIndex, Words, items).
// Everything runs on the UI thread. The board takes no keyboard focus.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QFont>
#include <QImage>
#include <QRegion>
#include <QTimer>
#include <QWidget>

#include "AAFont.h"
#include "BoardTypes.h"
#include "Colors.h"
#include "KeyCodes.h"
#include "LruCache.h"
#include "Records.h"
#include "Speaker.h"
#include "TGPlayThread.h"

class QPainter;
struct TCanvasDrawing;

// A font with the colour it draws in (0x00BBGGRR).
struct TBoardFont {
    QFont Font;
    TColor Color = 0xFFFFFF;
};

class TTypeGameType : public QWidget {
    Q_OBJECT

public:
    // Ticks come from the play thread; tests and the preview tool pass
    // TTickSource::Manual and run ticks and shot-timer ticks themselves.
    explicit TTypeGameType(QWidget *parent = nullptr, TTickSource Ticks = TTickSource::PlayThread);
    ~TTypeGameType() override;

    // ------------------------------------------------------------ operations

    // Lays out and runs a new game on a copy of Words. Speech is not owned and
    // may be null (hits are then silent); the host keeps it alive.
    void StartGame(const TWordInfos &Words, TSpeaker *Speech);
    // Replaces the word list and nothing else; follow it with Restart.
    void SetWords(const TWordInfos &Words);
    // From the first word with zero counts, running.
    void Restart();
    // Takes the new size and starts the word list again from its first word
    // with zero counts, keeping the paused or running state.
    void ResizeBoard();
    void PauseGame();
    void ContinueGame();
    // One released key: 65-90 letters, 32 space, 189 hyphen; others ignored.
    void TypeKey(std::uint16_t Key, TShiftState Shift);
    // Redraws both word canvases and the board (after colour changes).
    void RedrawWords();
    // Draws canvases and the arrow for this device-pixel ratio instead of
    // the board's screen's (0: the screen's again), redrawing them now; for
    // tests, the preview tool and the benchmark. Geometry stays logical.
    void SetPixelRatio(qreal Ratio);
    // The ratio the canvases are drawn at.
    qreal PixelRatio() const;

    // ------------------------------------------------------------ properties

    TWordDisType WordDisType() const { return m_wordDisType; }
    void SetWordDisType(TWordDisType Value);
    // Dictation: no spelling is drawn whatever WordDisType says (typed
    // letters still are); meanings follow WordDisType.
    bool Dictation() const { return m_dictation; }
    void SetDictation(bool Value);
    bool SpeechEnable() const { return m_speechEnable; }
    void SetSpeechEnable(bool Value);
    // Words per toll gate; values below 1 are ignored.
    int TollGateWords() const { return m_tollGateWords; }
    void SetTollGateWords(int Value);
    int TollGateIndex() const { return m_tollGateIndex; }
    int TollGateCount() const { return m_tollGateCount; }
    // 1, 2 or 3 set the interval and the words per row; any other value is
    // stored (and prices the score) but changes neither.
    int Level() const { return m_level; }
    void SetLevel(int Value);
    int RightWordCount() const { return m_rightWordCount; }
    int ErrorWordCount() const { return m_errorWordCount; }
    int Score() const { return m_score; }
    const TWordInfos &Words() const { return m_words; }
    int LevelInterval1() const { return m_levelInterval1; }
    int LevelInterval2() const { return m_levelInterval2; }
    int LevelInterval3() const { return m_levelInterval3; }
    void SetLevelInterval1(int Value);
    void SetLevelInterval2(int Value);
    void SetLevelInterval3(int Value);
    // Colours (0x00BBGGRR) show at the next redraw of the canvases.
    TColor BackGroundColor() const { return m_backGroundColor; }
    void SetBackGroundColor(TColor Value);
    TColor NormalColor() const { return m_wordFont.Color; }
    void SetNormalColor(TColor Value);  // spellings and meanings
    TColor TypeColor() const { return m_typedFont.Color; }
    void SetTypeColor(TColor Value);  // typed letters

    // The spellings a word's box accepts, by the word's place in Words():
    // empty, its own spelling only; otherwise exactly these, the first drawn
    // until the player's letters part from it (BoxAnswers.h).
    using TAcceptedAnswers = std::function<std::vector<std::string>(int wordIndex)>;
    // Asked for each box as it is placed; the boxes already on the canvases
    // are asked again at once and lose their typed letters. Null: every box
    // accepts its word's spelling only.
    void SetAcceptedAnswers(TAcceptedAnswers answers);
    // The boxes, by their word's place in Words(), that show a blank as long
    // as the followed answer instead of its untyped letters, whatever
    // WordDisType and Dictation say; typed letters are drawn as ever. Asked as
    // SetAcceptedAnswers asks. Null: none.
    using TBlankedBoxes = std::function<bool(int wordIndex)>;
    void SetBlankedBoxes(TBlankedBoxes blanked);

    // The word at that place of Words(); null out of range.
    const TWordInfo *WordAt(int wordIndex) const;

    // ------------------------------------------------------------ state

    // The play thread runs (Running), or is paused (Created, Paused, Over).
    bool IsPlaying() const;
    // The shot timer is on: arrows move while the game runs.
    bool IsShootTimerActive() const { return m_shootTimerActive; }
    // It also has an arrow to move: only then does it run and wake the UI
    // thread (on a manual board: would run).
    bool IsShootTimerRunning() const;
    int PlayInterval() const;
    int WordsPerRow() const { return m_wordsPerRow; }
    int RowCount() const { return m_rowCount; }
    int RowHeight() const { return m_rowHeight; }
    int LastWordIndex() const { return m_lastWordIndex; }
    const TRect &BoardRect() const { return m_boardRect; }
    const TWordCanvas &WordCanvas1() const { return m_wordCanvas1; }
    const TWordCanvas &WordCanvas2() const { return m_wordCanvas2; }
    const TBoardFont &WordFont() const { return m_wordFont; }
    const TBoardFont &TypedFont() const { return m_typedFont; }
    const TBoardFont &MeanFont() const { return m_meanFont; }
    const QImage &Arrow() const { return m_arrow; }
    const TShoots &Shoots() const { return m_shoots; }
    const std::string &PendingKey() const { return m_pendingKey; }
    // The untyped word on view lowest on the board: false when there is none.
    bool LowestUntypedWord(int &CanvasId, int &Index) const;
    // The same word's place in Words(); -1 when there is none.
    int LowestUntypedWordIndex() const;
    TSpeaker *Speech() const { return m_speech; }

    // ------------------------------------------------------------ inner steps
    // Public so that tests, the preview tool and the benchmark can drive the
    // board one step at a time; the host never calls them.

    // One tick of the play loop: ends the game when every word is counted
    // and no shot is in flight, otherwise moves the canvases one step and
    // invalidates the board.
    void PlayTick();
    // Manual ticks: each runs only while its source would (play thread
    // running and bound; shot timer started). Return whether it ran.
    bool RunManualTick();
    bool RunManualShootTick();
    void MoveStep();
    void DrawWordCanvas(int CanvasId);
    // One tick of the shot timer: every shot 5 pixels up.
    void ShootTimerTick();
    // The board's picture: the visible canvas parts and the shots; then the
    // hit check and the pending key cleared. With a region of several
    // rectangles the picture is drawn once per rectangle, clipped to it.
    void Paint(QPainter &painter, const QRegion &region = QRegion());
    // Told after each delivered tick (for measuring the play thread).
    void SetTickObserver(TTGPlayThread::TTickObserver Observer);
    // Play-thread ticks handed to the UI thread so far (TUiTickThread::HandedOver).
    std::uint64_t TicksHandedOver() const;
    // Forgets the kept text measures and masks (for measuring a first draw).
    void ClearTextCaches();
    // What the last motion tick changed on screen, and so repaints: the word
    // boxes and the frame rows of each canvas, at their old and new places.
    QRegion MotionRegion() const;
    // What the last shot-timer tick changed: each arrow's old and new place.
    QRegion ShootsRegion() const;
    // What the last key changed on screen, and so repaints: the boxes whose
    // typing looks otherwise, and any arrow it fired.
    const QRegion &KeyRegion() const { return m_keyRegion; }

signals:
    // The current toll gate was assigned (TollGateIndex).
    void tollGateChange();
    // Every word is counted and every arrow has hit; the counts and Score
    // stay readable.
    void gameOver();
    // The counts (and so perhaps the score) changed.
    void typeCheckChange();
    // A word was completed, typed as this accepted answer; told just before
    // its wordCounted.
    void wordTypedAs(int wordIndex, const std::string &answer);
    // A word was counted: right (typed) or missed (left the board untyped).
    // Told once per box, before typeCheckChange.
    void wordCounted(int wordIndex, bool right);
    // A word box has come wholly into view; once per box.
    void wordShown(int wordIndex);
    // An untyped word's box has moved with its centre past the middle of the
    // board; once per box.
    void wordPastMiddle(int wordIndex);
    // A word's arrow hit it (whether or not it is spoken).
    void wordHit(int wordIndex);
    // A key advanced no word on view.
    void wordSlip(const TWordSlip &slip);
    // A key advanced a word on view: typedLetters of it are now typed (1 is
    // the first key of a run; a word loses its progress when another one is
    // completed or it leaves the view).
    void wordKeyed(int wordIndex, int typedLetters);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TWordCanvas &Canvas(int CanvasId);
    // Logical Width x Height at PixelRatio (a null image when empty).
    void AllocateBitmap(TWordCanvas &C, int Width, int Height);
    // Follows a change of PixelRatio (another screen): new bitmaps, redrawn.
    void SyncPixelRatio();
    void CalcRows();
    void ResetWordCanvases();
    void TakeBoardRect();
    void SetCanvasRects(TWordCanvas &C);
    void FillWordCanvas(TWordCanvas &C);
    void CountUnfinishedWords(TWordCanvas &C);
    void CountMissedWords(TWordCanvas &C);
    void CheckWordsPastMiddle(TWordCanvas &C);
    bool IsWordMissed(const TWordCanvas &C, const TTypeWordItem &Item) const;
    void CheckTollGate();
    void TellShownWords(TWordCanvas &C);
    void TellSlip(char Typed);
    // What a box's drawing depends on that a key can change.
    struct TBoxLook {
        std::int32_t WordIndex;
        std::int32_t DrawnTyped;
        std::int32_t Following;
        std::uint8_t Typed;
        std::uint8_t ShotDown;
        std::uint8_t Overflows;
        bool operator==(const TBoxLook &) const = default;
    };
    static TBoxLook LookOf(const TTypeWordItem &item);
    static std::vector<TBoxLook> BoxLooks(const TWordCanvas &canvas);
    // The boxes of the canvas that look otherwise than before, on the board.
    QRegion LookChanges(const TWordCanvas &canvas, const std::vector<TBoxLook> &before) const;
    void GameOver();
    void UpdateScore();
    void StartShootTimer();
    void StopShootTimer();
    // Starts or stops the real shot timer: it runs while it is on and an
    // arrow flies.
    void SyncShootTimer();
    int MatchTypedKey(TTypeWordItem &Item);
    bool IsWordVisible(const TWordCanvas &C, const TTypeWordItem &Item) const;
    void ResetTyping();
    void AddShoot(TWordCanvas &C, int Index);
    void MoveShoots();
    void CheckShoots();
    // The visible canvas parts and the shots, under the painter's clip.
    void DrawPicture(QPainter &painter) const;
    TRect WordRectOnBoard(const TWordCanvas &C, const TTypeWordItem &Item) const;
    void RemoveShoots(const std::vector<size_t> &Indexes);
    void DropShoots(int CanvasId);
    void ClearShoots();
    // What a restart and a resize share: motion and shots stop, counts go to 0.
    void StopAndZeroCounts();
    // New rows for the board's height, both canvases filled afresh.
    void RefillCanvases();
    void SpeakWord(const std::string &Spelling);
    void DrawWordCanvasPass(TWordCanvas &C, QPainter &Painter, TCanvasDrawing &Drawing);
    const TStringList &MeaningLines(const std::string &Meaning, TCanvasDrawing &Drawing);
    QColor PanelColor() const;
    // Stores a changed interval of one level and applies it when that level plays.
    void ChangeLevelInterval(int &Interval, int Value);

    TWordCanvas m_wordCanvas1;
    TWordCanvas m_wordCanvas2;
    QImage m_arrow;
    TRect m_boardRect;
    TColor m_backGroundColor = 0xB06948;
    std::unique_ptr<TTGPlayThread> m_playThread;
    int m_wordsPerRow = 1;
    TBoardFont m_wordFont;
    TBoardFont m_typedFont;
    TBoardFont m_meanFont;
    TShoots m_shoots;
    // Counts wholesale changes of the shots, so a hit check notices when a
    // redraw it caused has dropped them.
    std::uint64_t m_shootsEpoch = 0;
    TWordInfos m_words;
    std::string m_pendingKey;
    int m_rowCount = 6;
    int m_rowHeight = 60;
    int m_step = 1;
    QTimer m_shootTimer;
    bool m_shootTimerActive = false;
    TSpeaker *m_speech = nullptr;
    bool m_speechEnable = true;
    TWordDisType m_wordDisType = TWordDisType::wdtMeanSpell;
    int m_levelInterval1 = 50;
    int m_levelInterval2 = 30;
    int m_levelInterval3 = 30;
    int m_score = 0;
    int m_level = 1;
    int m_tollGateIndex = 0;
    int m_tollGateCount = 0;
    int m_tollGateWords = 50;
    int m_lastWordIndex = -1;
    int m_rightWordCount = 0;
    QRegion m_keyRegion;
    int m_errorWordCount = 0;
    bool m_dictation = false;
    qreal m_pixelRatioOverride = 0;  // 0: the screen's
    TTickSource m_tickSource;
    // A canvas bitmap was redrawn since the last motion tick began: that
    // tick repaints the whole board, not only what moved.
    bool m_canvasRedrawn = false;
    // The fonts never change, so text measures and masks are kept from one
    // redraw to the next: a key redraws the same words again. Both forget
    // the texts used longest ago, so a long game leaves them the same size.
    TAACache m_aaCache;
    TLruCache<std::string, TStringList> m_meaningLines{512};
    TAcceptedAnswers m_acceptedAnswers;
    TBlankedBoxes m_blankedBoxes;
};
