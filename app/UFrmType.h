#pragma once
// The main window: tool bar, word look-up bar, status title, the game panel
// hosting the board, and the status bar. It owns the board, the speech
// wrapper and the music player, and shows the game over a whole book that
// its game flow plays on the board.

#include <functional>
#include <map>
#include <memory>
#include <string>

#include <QMainWindow>
#include <QPointer>

#include "AdInterface.h"
#include "DailyGoal.h"
#include "FrmAd.h"
#include "GameFlow.h"
#include "InternetCheck.h"
#include "LruCache.h"
#include "Records.h"
#include "ReferenceData.h"
#include "SettingsCommands.h"
#include "TGPlayThread.h"

class QAction;
class QBoxLayout;
class QCheckBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QToolButton;
class QWidget;
class TAudioLayer;
class TBassEx;
class TBrowserPane;
class TCloze;
class TDictation;
class TImeGuard;
class TKeyForwarder;
class TMainWindowAdverts;
class TMemoryFitRun;
class TSpeechEngineLayer;
class TSpeechEx;
class TTypeGameType;

// The services the window builds on. The defaults are the real ones; tests
// drive the board by hand, speak and play into fakes and stay offline.
struct TFrmTypeServices {
    TTickSource Ticks = TTickSource::PlayThread;
    TSpeechEngineLayer *Speech = nullptr;  // null: espeak-ng
    TAudioLayer *Audio = nullptr;          // null: the sound card
    TOnlineFlag Online = ProgramOnlineFlag();
    TAdServices Adverts = {};
    bool StartInternetCheck = true;
};

// An example as rich text, the form it uses set off in bold; empty for none.
QString ExampleHtml(const TExample &example);

class TFrmType : public QMainWindow, public TSettingsHost, private TGameView {
public:
    explicit TFrmType(TFrmTypeServices services = {}, QWidget *parent = nullptr);
    // FormDestroy: adverts, then the game, then the files of the run.
    ~TFrmType() override;

    // Program start, step 5: the hidden pop-up advert window.
    void CreateAdWindow();

    // The game over the book: its parameters and totals.
    TGameFlow &Flow() { return m_flow; }
    const TGameFlow &Flow() const { return m_flow; }
    // The game panel, which takes the typing.
    QWidget *GamePanel() const { return panGame; }

    TTypeGameType *FTypeGame() const;
    TSpeechEx *FSpeech() const { return m_speech.get(); }
    TBassEx *FBass() const { return m_bass.get(); }
    TMainWindowAdverts *Adverts() const { return m_adverts.get(); }
    TFrmAd *FrmAd() const { return m_frmAd; }

    // Start-up and lifecycle.
    void InitGame();
    // The Internet check, the speech engine and the music: started once,
    // right after the first frame has been painted.
    void StartServices();
    bool ServicesStarted() const { return m_servicesStarted; }
    // Called once, after the first paint and before the services start (for
    // a probe that measures the first frame).
    void SetFirstFrameHook(std::function<void(TFrmType &)> hook)
    {
        m_firstFrameHook = std::move(hook);
    }
    void FreeGame();
    static void DeleteTempFiles();
    void panGameClick();
    void N2Click();
    void cbBackGroundClick();

    // Game flow. The board's events reach the flow through the board adapter.
    void sbStartClick() { m_flow.Start(); }
    void sbReStartClick() { m_flow.Restart(); }
    void btnPauseClick() { m_flow.Pause(); }
    void btnContinueClick() { m_flow.Continue(); }
    void N27Click(int level) { m_flow.ChooseLevel(level); }

    // Book, import and leaderboard commands.
    void N6Click();
    void N15Click();
    void nTextBookClick();
    void N4Click();
    void sbRecordClick();

    // Recent toll gates.
    void AddRecentTollGate(const TGamePara &para) { m_flow.AddRecentTollGate(para); }
    void BuildRecentMenu();
    void RecentTollGateClick(const std::string &line) { m_flow.PlayRecent(line); }

    // 今日复习: a game of the words due today.
    void nReviewClick();

    // "学习进度": the progress window over the learning memory.
    void nStudyProgressClick();
    // 备份学习记录… and 恢复学习记录… (BackupCommands.cpp).
    void nBackupClick();
    void nRestoreClick();
    // "学习设置": the retention; a change re-schedules every word.
    void nLearningSettingsClick();

    // Settings commands that open the speech and music dialogs.
    void N33Click();
    void N35Click();

    // The last word hit, whole, on the title bar's second line: both
    // pronunciations (the chosen accent's first) and its other spelling.
    void ShowLastWord(const TWordInfo &word);
    // Setting::BothSpellings on the board: on, a word with a British and an
    // American spelling accepts both.
    void ApplyBothSpellings();
    const TWordInfo &LastWord() const { return m_lastWord; }
    // A click on the line, or F2: the last word is spoken again, whatever "读音" says.
    void labLastWordClick();
    // Speaks the example sentence shown after the last word (a click, F4).
    void labLastExampleClick();
    const TExample &LastExample() const { return m_lastExample; }
    // "查": the last word's spelling into the look-up edit.
    void sbLastWordQueryClick();

    // Dictation (TDictation): the words are heard, not read.
    void cbDictationClick();
    // 例句填空 (TCloze): the words are put as sentences with a blank.
    void cbClozeClick();
    // The notice of the input-method guard (TImeGuard) is on view.
    bool ImeNoticeShown() const;

    // The settings commands' view of the window.
    TGameBoard *Board() override;
    const TGamePara &GamePara() const override { return m_flow.GamePara(); }
    void ChooseTollGate(int tollGate) override { m_flow.ChooseTollGate(tollGate); }
    void SetLevelIntervals(int interval1, int interval2, int interval3) override
    {
        m_flow.SetLevelIntervals(interval1, interval2, interval3);
    }
    void SetBoardColors(const TBoardColors &colors) override { m_flow.SetBoardColors(colors); }
    void FocusGame() override;
    QWidget *DialogParent() override { return this; }

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The game flow's view of the window.
    void ShowBook(const QString &caption) override;
    void ShowTollGate(const QString &caption) override;
    void ShowTotals(const TGameTotals &totals) override;
    void ShowState(TGameState state) override;
    void ShowLevel(int level) override;
    bool AskPlayAgain(const QString &message) override;
    void RecordScore(int score) override;
    void ShowRecentList() override { BuildRecentMenu(); }
    void ShowNotice(const QString &message) override;
    void ShowFailure(const QString &message) override;
    void ShowDueCount() override;
    void TollGatesRecorded() override;

    void buildMenus();
    void buildToolBar();
    void buildCentralArea();
    void connectCommands();
    void sizeForBoard();
    void FormShow();
    void typeKey(const QKeyEvent &event);
    void buildLastWordLine(QWidget *parent, QBoxLayout *column);
    void buildSentenceBar(QWidget *parent, QBoxLayout *column);
    // Dictation, 例句填空 and the play mode as the two ticks say.
    void applyPlayMode();
    void connectLearnerCommands();
    void bindBoardEvents();

    // Controls, named as the rest of the program knows them; tests find them
    // by these object names.
    QToolButton *sbStart = nullptr;
    QToolButton *sbReStart = nullptr;
    QToolButton *btnContinue = nullptr;
    QToolButton *btnPause = nullptr;
    QToolButton *sbLevel = nullptr;
    QAction *N27 = nullptr;
    QAction *N28 = nullptr;
    QAction *N29 = nullptr;
    QCheckBox *cbSpell = nullptr;
    QCheckBox *cbMean = nullptr;
    QCheckBox *cbSpeech = nullptr;
    QCheckBox *cbDictation = nullptr;
    QCheckBox *m_cbCloze = nullptr;
    QCheckBox *cbBackGround = nullptr;
    QToolButton *sbRecord = nullptr;

    QLineEdit *ediQueryWord = nullptr;

    QLabel *labBook = nullptr;
    QLabel *labGate = nullptr;
    QLabel *labScore = nullptr;
    QLabel *labRightCount = nullptr;
    QLabel *labErrorCount = nullptr;
    QLabel *labLastWord = nullptr;
    QLabel *m_labLastExample = nullptr;
    QLabel *m_labClozeSentence = nullptr;
    QToolButton *sbLastWordQuery = nullptr;
    QLabel *m_labScoreTitle = nullptr;

    QWidget *panGame = nullptr;
    TBrowserPane *wbAd = nullptr;
    TBrowserPane *wbAd1 = nullptr;
    QLabel *labAd = nullptr;
    QLabel *m_labToday = nullptr;  // today's words against the daily goal
    TDailyGoalMark m_goalMark;

    QMenu *nRecently = nullptr;
    QAction *nReview = nullptr;
    QMenu *miUI = nullptr;
    QAction *N8 = nullptr, *N9 = nullptr, *N10 = nullptr;

    TFrmTypeServices m_services;
    bool m_shown = false;
    bool m_servicesStarted = false;
    bool m_firstFramePainted = false;
    std::function<void(TFrmType &)> m_firstFrameHook;
    TGameFlow m_flow{*this};
    // Fits of the memory parameters; a child, so its worker is joined when the window goes.
    TMemoryFitRun *m_memoryFit = nullptr;
    QPointer<TTypeGameType> m_typeGame;
    QSize m_boardSize;
    std::unique_ptr<TGameBoard> m_board;
    std::unique_ptr<TSpeechEx> m_speech;
    std::unique_ptr<TBassEx> m_bass;
    std::unique_ptr<TMainWindowAdverts> m_adverts;
    QPointer<TFrmAd> m_frmAd;
    std::unique_ptr<TKeyForwarder> m_keys;
    TWordInfo m_lastWord;
    TExample m_lastExample;
    // How many times each spelling's examples were shown: the next hit of the
    // word shows the next one. Kept across toll gates for the words met
    // lately, so a long game through a large book does not grow it.
    TLruCache<std::string, size_t> m_exampleTurns{2048};
    // Both live on the game panel or the board, which own them.
    QPointer<TDictation> m_dictation;
    QPointer<TCloze> m_cloze;
    TImeGuard *m_imeGuard = nullptr;
};
