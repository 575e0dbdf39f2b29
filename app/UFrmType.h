#pragma once
// The main window: tool bar, word look-up bar, status title, the game panel
// hosting the board, and the status bar. It owns the board, the speech
// wrapper and the music player, and turns the board's toll gates into a
// game over a whole book.

#include <memory>

#include <QMainWindow>
#include <QPointer>

#include "AdInterface.h"
#include "FrmAd.h"
#include "InternetCheck.h"
#include "Records.h"
#include "SettingsCommands.h"
#include "TGPlayThread.h"

class QAction;
class QCheckBox;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QMenu;
class QStatusBar;
class QToolBar;
class QToolButton;
class QWidget;
class TAudioLayer;
class TBassEx;
class TBrowserPane;
class TKeyForwarder;
class TMainWindowAdverts;
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

class TFrmType : public QMainWindow, public TSettingsHost {
public:
    explicit TFrmType(TFrmTypeServices services = {}, QWidget *parent = nullptr);
    // FormDestroy: adverts, then the game, then the files of the run.
    ~TFrmType() override;

    // Program start, step 5: the hidden pop-up advert window.
    void CreateAdWindow();

    // Controls, named as the rest of the program and the tests know them.
    QToolBar *tbar = nullptr;
    QToolButton *sbStart = nullptr;
    QToolButton *sbReStart = nullptr;
    QToolButton *btnContinue = nullptr;
    QToolButton *btnPause = nullptr;
    QToolButton *sbLevel = nullptr;
    QMenu *PopupMenu1 = nullptr;
    QAction *N27 = nullptr;
    QAction *N28 = nullptr;
    QAction *N29 = nullptr;
    QCheckBox *cbSpell = nullptr;
    QCheckBox *cbMean = nullptr;
    QCheckBox *cbSpeech = nullptr;
    QCheckBox *cbBackGround = nullptr;
    QToolButton *sbRecord = nullptr;

    QGroupBox *sGroupBox1 = nullptr;
    QWidget *panQueryWord = nullptr;
    QLineEdit *ediQueryWord = nullptr;
    QToolButton *sbQueryWord = nullptr;

    QGroupBox *gbTitle = nullptr;
    QWidget *panTitle = nullptr;
    QLabel *labBook = nullptr;
    QLabel *labGate = nullptr;
    QLabel *labScore = nullptr;
    QLabel *labRightCount = nullptr;
    QLabel *labErrorCount = nullptr;

    QWidget *panGame = nullptr;
    TBrowserPane *wbAd = nullptr;
    TBrowserPane *wbAd1 = nullptr;
    QStatusBar *sStatusBar1 = nullptr;
    QLabel *labAd = nullptr;

    QMenu *nRecently = nullptr;
    QMenu *N14 = nullptr;
    QMenu *miUI = nullptr;
    QMenu *N43 = nullptr;
    QAction *N6 = nullptr, *N15 = nullptr, *N16 = nullptr, *N4 = nullptr, *N2 = nullptr;
    QAction *N8 = nullptr, *N9 = nullptr, *N10 = nullptr;
    QAction *N30 = nullptr, *N31 = nullptr, *N33 = nullptr, *N34 = nullptr, *N35 = nullptr;
    QAction *N11 = nullptr, *N5 = nullptr, *N21 = nullptr, *N17 = nullptr, *sou1 = nullptr;
    QAction *N13 = nullptr, *N23 = nullptr, *N25 = nullptr;

    TGamePara FGamePara;
    int FPrevRightCount = 0;
    int FPrevErrorCount = 0;
    int FPrevScore = 0;

    TTypeGameType *FTypeGame() const;
    TSpeechEx *FSpeech() const { return m_speech.get(); }
    TBassEx *FBass() const { return m_bass.get(); }
    TMainWindowAdverts *Adverts() const { return m_adverts.get(); }
    TFrmAd *FrmAd() const { return m_frmAd; }

    // Start-up and lifecycle.
    void InitGame();
    void FreeGame();
    static void DeleteTempFiles();
    void panGameClick();
    void N2Click();
    void cbBackGroundClick();

    // Game flow.
    void ResetGameDisplay() override;
    void ShowTollGateLabel();
    // Clamps TollGateIndex to 1 .. TollGateCount: a value from an edited
    // settings file, a recent entry or a book whose word count changed must
    // not start beyond the book, or the game would run through empty toll
    // gates for ever.
    void BringTollGateIntoRange();
    void EnableButtons(bool start, bool restart, bool resume, bool pause, bool level);
    void LoadTollGate(int tollGate) override;
    void TypeGameGameOver();
    void TypeGameTypeCheckChange();
    void sbStartClick();
    void sbReStartClick();
    void btnPauseClick();
    void btnContinueClick();
    void N27Click(int level, const QString &caption);

    // Book, import and leaderboard commands.
    void N6Click();
    void N15Click();
    void N4Click();
    void sbRecordClick();

    // Recent toll gates.
    void AddRecentTollGate(const TGamePara &para);
    void BuildRecentMenu();
    void RecentTollGateClick(const std::string &line);

    // Settings commands that open the speech and music dialogs.
    void N33Click();
    void N35Click();

    // The settings commands' view of the window.
    TSettingsBoard *Board() override;
    TGamePara &GamePara() override { return FGamePara; }
    void FocusGame() override;
    QWidget *DialogParent() override { return this; }

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenus();
    void buildToolBar();
    void buildCentralArea();
    void connectCommands();
    void sizeForBoard();
    void FormShow();
    void typeKey(const QKeyEvent &event);
    void setLevelTicks(int level);

    TFrmTypeServices m_services;
    bool m_shown = false;
    bool m_gameParaLoaded = false;
    QPointer<TTypeGameType> m_typeGame;
    QSize m_boardSize;
    std::unique_ptr<TSettingsBoard> m_boardSettings;
    std::unique_ptr<TSpeechEx> m_speech;
    std::unique_ptr<TBassEx> m_bass;
    std::unique_ptr<TMainWindowAdverts> m_adverts;
    QPointer<TFrmAd> m_frmAd;
    std::unique_ptr<TKeyForwarder> m_keys;
};
