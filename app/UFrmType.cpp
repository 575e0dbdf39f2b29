#include "UFrmType.h"

#include <cstdio>
#include <filesystem>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDateTime>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "BrowserPane.h"
#include "Clock.h"
#include "Colors.h"
#include "AppLog.h"
#include "DayChangeTimer.h"
#include "Cloze.h"
#include "Dictation.h"
#include "FrmAd.h"
#include "GameBoardAdapter.h"
#include "ExplainedError.h"
#include "HelpCommands.h"
#include "ImeGuard.h"
#include "IniFile.h"
#include "KeyForwarder.h"
#include "KivroApplication.h"
#include "MainWindowAdverts.h"
#include "MemoryFitRun.h"
#include "MemoryTrim.h"
#include "MessageBoxes.h"
#include "UDataInterface.h"
#include "RecentTollGates.h"
#include "Settings.h"
#include "SkinManager.h"
#include "SkinMenu.h"
#include "TextUtils.h"
#include "UBassEx.h"
#include "UFrmGameRecord.h"
#include "USpeechEx.h"
#include "UTypeGameType.h"

namespace {

constexpr int kBoardWidth = 815;
constexpr int kBoardHeight = 424;
// The smallest board that still holds one word box and one row.
constexpr int kMinBoardWidth = 181;
constexpr int kMinBoardHeight = 60;
constexpr TColor kPanGameColor = 11561288;
// The latest the services start when no first paint comes.
constexpr int kServicesAtTheLatestMs = 1000;

QAction *addItem(QMenu *menu, const char *name, const QString &caption)
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

void addSeparator(QMenu *menu, const char *name)
{
    menu->addSeparator()->setObjectName(QString::fromLatin1(name));
}

QToolButton *addButton(QToolBar *bar, const char *name, const QString &caption)
{
    auto *button = new QToolButton(bar);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(caption);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setFocusPolicy(Qt::NoFocus);
    bar->addWidget(button);
    return button;
}

QCheckBox *addCheck(QToolBar *bar, const char *name, const QString &caption)
{
    auto *box = new QCheckBox(caption, bar);
    box->setObjectName(QString::fromLatin1(name));
    box->setChecked(true);
    box->setFocusPolicy(Qt::NoFocus);
    bar->addWidget(box);
    return box;
}

QLabel *addLabel(QHBoxLayout *row, QWidget *parent, const char *name, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    // Book names come from files people edit: never markup.
    label->setTextFormat(Qt::PlainText);
    row->addWidget(label);
    return label;
}

}  // namespace

void TFrmType::buildMenus()
{
    QMenuBar *bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));

    // A command is connected where its item is made: the window keeps only
    // the items it changes later.
    const auto command = [this](QMenu *menu, const char *name, const QString &caption, auto slot) {
        QAction *action = addItem(menu, name, caption);
        connect(action, &QAction::triggered, this, Guarded(action->iconText(), std::move(slot)));
        return action;
    };

    QMenu *file = bar->addMenu(QStringLiteral("  文件(&F)"));
    file->setObjectName(QStringLiteral("N1"));
    command(file, "N6", QStringLiteral("选择课本"), [this] { N6Click(); });
    command(file, "N15", QStringLiteral("导入Kivro词库"), [this] { N15Click(); });
    command(file, "nTextBook", QStringLiteral("从文章生成课本…"), [this] { nTextBookClick(); });
    command(file, "N16", QStringLiteral("下载Kivro词库"), [] { HelpCommands::N16Click(); });
    addSeparator(file, "N7");
    nRecently = file->addMenu(QStringLiteral("最近关卡"));
    nRecently->setObjectName(QStringLiteral("nRecently"));
    // Its count of due words is filled in once the window is on screen.
    nReview = command(file, "nReview", QStringLiteral("今日复习"), [this] { nReviewClick(); });
    command(file, "nStudyProgress", QStringLiteral("学习进度"), [this] { nStudyProgressClick(); });
    command(file, "N4", QStringLiteral("排行榜"), [this] { N4Click(); });
    command(file, "nBackup", QStringLiteral("备份学习记录…"), [this] { nBackupClick(); });
    command(file, "nRestore", QStringLiteral("恢复学习记录…"), [this] { nRestoreClick(); });
    addSeparator(file, "N3");
    command(file, "N2", QStringLiteral("退出游戏"), [this] { N2Click(); });

    QMenu *settings = bar->addMenu(QStringLiteral("  设置(&S)"));
    settings->setObjectName(QStringLiteral("N12"));
    QMenu *levels = settings->addMenu(QStringLiteral("难度"));
    levels->setObjectName(QStringLiteral("N14"));
    N8 = addItem(levels, "N8", QStringLiteral("容易"));
    N9 = addItem(levels, "N9", QStringLiteral("较难"));
    N10 = addItem(levels, "N10", QStringLiteral("困难"));
    addSeparator(settings, "N18");
    command(settings, "N30", QStringLiteral("选择关卡"),
            [this] { SettingsCommands::N30Click(*this); });
    command(settings, "N31", QStringLiteral("难度设置"),
            [this] { SettingsCommands::N31Click(*this); });
    command(settings, "nLearningSettings", QStringLiteral("学习设置"),
            [this] { nLearningSettingsClick(); });
    addSeparator(settings, "N26");
    command(settings, "N33", QStringLiteral("语音设置"), [this] { N33Click(); });
    command(settings, "N34", QStringLiteral("背景色及字体颜色设置"),
            [this] { SettingsCommands::N34Click(*this); });
    command(settings, "N35", QStringLiteral("背景音乐设置"), [this] { N35Click(); });
    addSeparator(settings, "N32");
    miUI = settings->addMenu(QStringLiteral("界面风格"));
    miUI->setObjectName(QStringLiteral("miUI"));

    QMenu *help = bar->addMenu(QStringLiteral("  帮助(&H)"));
    help->setObjectName(QStringLiteral("N19"));
    command(help, "N11", QStringLiteral("官方主页"), [] { HelpCommands::N11Click(); });
    command(help, "N5", QStringLiteral("官方论坛"), [] { HelpCommands::N5Click(); });
    command(help, "N21", QStringLiteral("问题与建议"), [] { HelpCommands::N21Click(); });
    command(help, "N17", QStringLiteral("下载语音引擎"), [] { HelpCommands::N17Click(); });
    addSeparator(help, "N20");
    command(help, "sou1", QStringLiteral("网址导航"), [] { HelpCommands::sou1Click(); });
    command(help, "N13", QStringLiteral("英语学习资源"), [] { HelpCommands::N13Click(); });
    QMenu *series = help->addMenu(QStringLiteral("英语学习系列软件"));
    series->setObjectName(QStringLiteral("N43"));
    HelpCommands::BuildSeriesMenu(*series);
    addSeparator(help, "N24");
    command(help, "N23", QStringLiteral("帮助"), [] { HelpCommands::N23Click(); });
    command(help, "N25", QStringLiteral("关于"), [this] { HelpCommands::N25Click(this); });

    for (QAction *level : {N8, N9, N10})
        level->setCheckable(true);
    N8->setData(1);
    N9->setData(2);
    N10->setData(3);
}

void TFrmType::buildToolBar()
{
    QToolBar *tbar = addToolBar(QString());
    tbar->setObjectName(QStringLiteral("tbar"));
    tbar->setMovable(false);
    tbar->setFloatable(false);
    tbar->setContextMenuPolicy(Qt::PreventContextMenu);

    sbStart = addButton(tbar, "sbStart", QStringLiteral("开始游戏"));
    sbReStart = addButton(tbar, "sbReStart", QStringLiteral("重新游戏"));
    btnContinue = addButton(tbar, "btnContinue", QStringLiteral("继续"));
    btnPause = addButton(tbar, "btnPause", QStringLiteral("暂停"));
    sbLevel = addButton(tbar, "sbLevel", QStringLiteral("容易"));
    auto *levels = new QMenu(sbLevel);
    levels->setObjectName(QStringLiteral("PopupMenu1"));
    N27 = addItem(levels, "N27", QStringLiteral("容易"));
    N28 = addItem(levels, "N28", QStringLiteral("较难"));
    N29 = addItem(levels, "N29", QStringLiteral("困难"));
    N27->setData(1);
    N28->setData(2);
    N29->setData(3);
    for (QAction *level : {N27, N28, N29})
        level->setCheckable(true);
    sbLevel->setMenu(levels);
    sbLevel->setPopupMode(QToolButton::InstantPopup);
    tbar->addSeparator();
    cbSpell = addCheck(tbar, "cbSpell", QStringLiteral("单词"));
    cbMean = addCheck(tbar, "cbMean", QStringLiteral("词意"));
    cbSpeech = addCheck(tbar, "cbSpeech", QStringLiteral("读音"));
    cbDictation = addCheck(tbar, "cbDictation", QStringLiteral("听写"));
    cbDictation->setChecked(false);
    m_cbCloze = addCheck(tbar, "cbCloze", QStringLiteral("例句填空"));
    m_cbCloze->setChecked(false);
    cbBackGround = addCheck(tbar, "cbBackGround", QStringLiteral("背景音乐"));
    tbar->addSeparator();
    sbRecord = addButton(tbar, "sbRecord", QStringLiteral("记录当前成绩"));
}

void TFrmType::buildCentralArea()
{
    auto *central = new QWidget(this);
    central->setObjectName(QStringLiteral("panClient"));
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    // The word look-up bar.
    auto *sGroupBox1 = new QGroupBox(central);
    sGroupBox1->setObjectName(QStringLiteral("sGroupBox1"));
    auto *lookupRow = new QHBoxLayout(sGroupBox1);
    lookupRow->setContentsMargins(4, 2, 4, 2);
    auto *panQueryWord = new QWidget(sGroupBox1);
    panQueryWord->setObjectName(QStringLiteral("panQueryWord"));
    auto *queryRow = new QHBoxLayout(panQueryWord);
    queryRow->setContentsMargins(0, 0, 0, 0);
    auto *queryTitle = new QLabel(QStringLiteral("Kivro在线字典"), panQueryWord);
    queryTitle->setObjectName(QStringLiteral("labQueryTitle"));
    queryRow->addWidget(queryTitle);
    ediQueryWord = new QLineEdit(panQueryWord);
    ediQueryWord->setObjectName(QStringLiteral("ediQueryWord"));
    ediQueryWord->setMinimumWidth(220);
    queryRow->addWidget(ediQueryWord);
    auto *sbQueryWord = new QToolButton(panQueryWord);
    sbQueryWord->setObjectName(QStringLiteral("sbQueryWord"));
    sbQueryWord->setText(QStringLiteral("查词"));
    queryRow->addWidget(sbQueryWord);
    const auto queryWord = [this] { HelpCommands::sbQueryWordClick(ediQueryWord->text()); };
    connect(sbQueryWord, &QToolButton::clicked, this, Guarded(sbQueryWord->text(), queryWord));
    connect(ediQueryWord, &QLineEdit::returnPressed, this, Guarded(sbQueryWord->text(), queryWord));
    lookupRow->addStretch();
    lookupRow->addWidget(panQueryWord);
    lookupRow->addStretch();
    column->addWidget(sGroupBox1);

    // The title bar with the game's status.
    auto *gbTitle = new QGroupBox(central);
    gbTitle->setObjectName(QStringLiteral("gbTitle"));
    auto *titleLines = new QVBoxLayout(gbTitle);
    titleLines->setContentsMargins(4, 2, 4, 2);
    titleLines->setSpacing(2);
    auto *titleRow = new QHBoxLayout;
    titleLines->addLayout(titleRow);
    auto *panTitle = new QWidget(gbTitle);
    panTitle->setObjectName(QStringLiteral("panTitle"));
    auto *status = new QHBoxLayout(panTitle);
    status->setContentsMargins(0, 0, 0, 0);
    status->setSpacing(6);
    labBook = addLabel(status, panTitle, "labBook", QStringLiteral("《最新TOEFL词汇》-顺序"));
    status->addSpacing(16);
    labGate = addLabel(status, panTitle, "labGate", QStringLiteral("关卡：第1关（共1关）"));
    status->addSpacing(16);
    m_labScoreTitle = addLabel(status, panTitle, "labScoreTitle", QStringLiteral("得分："));
    labScore = addLabel(status, panTitle, "labScore", QStringLiteral("0"));
    status->addSpacing(16);
    addLabel(status, panTitle, "labRightTitle", QStringLiteral("正确："));
    labRightCount = addLabel(status, panTitle, "labRightCount", QStringLiteral("0"));
    status->addSpacing(16);
    addLabel(status, panTitle, "labErrorTitle", QStringLiteral("错误："));
    labErrorCount = addLabel(status, panTitle, "labErrorCount", QStringLiteral("0"));
    titleRow->addStretch();
    titleRow->addWidget(panTitle);
    titleRow->addStretch();
    buildLastWordLine(gbTitle, titleLines);
    column->addWidget(gbTitle);
    buildSentenceBar(central, column);

    // The game panel: the board fills it and typing goes to it.
    panGame = new QWidget(central);
    panGame->setObjectName(QStringLiteral("panGame"));
    panGame->setAutoFillBackground(true);
    QPalette palette = panGame->palette();
    palette.setColor(QPalette::Window, ColorToQColor(kPanGameColor));
    panGame->setPalette(palette);
    // Not Qt's click focus: a click reaches the panel through the board's
    // click handler, which a paused (disabled) board does not run.
    panGame->setFocusPolicy(Qt::TabFocus);
    // A Chinese input method left on would swallow the letters.
    panGame->setAttribute(Qt::WA_InputMethodEnabled, false);
    panGame->setMinimumSize(kMinBoardWidth, kMinBoardHeight);
    // The board fills the panel.
    auto *gameLayout = new QVBoxLayout(panGame);
    gameLayout->setContentsMargins(0, 0, 0, 0);
    column->addWidget(panGame, 1);

    // The off-screen advert panes live on the game panel, out of view.
    wbAd = new TBrowserPane(panGame);
    wbAd->setObjectName(QStringLiteral("wbAd"));
    wbAd1 = new TBrowserPane(panGame);
    wbAd1->setObjectName(QStringLiteral("wbAd1"));
    for (TBrowserPane *pane : {wbAd, wbAd1})
        pane->setGeometry(-600, 0, 500, 300);

    setCentralWidget(central);

    QStatusBar *sStatusBar1 = statusBar();
    sStatusBar1->setObjectName(QStringLiteral("sStatusBar1"));
    labAd = new QLabel(sStatusBar1);
    labAd->setObjectName(QStringLiteral("labAd"));
    labAd->setTextFormat(Qt::PlainText);
    sStatusBar1->addWidget(labAd, 1);
    m_labToday = new QLabel(sStatusBar1);
    m_labToday->setObjectName(QStringLiteral("labToday"));
    m_labToday->setTextFormat(Qt::PlainText);
    m_labToday->setToolTip(QStringLiteral("今天玩过的单词和每日目标（设置 → 学习设置）"));
    sStatusBar1->addPermanentWidget(m_labToday);
}

void TFrmType::sizeForBoard()
{
    // The window takes the size that gives the board the size its layout is
    // designed for; the player may shrink it down to the smallest playable board.
    ensurePolished();
    panGame->setMinimumSize(kBoardWidth, kBoardHeight);
    if (QLayout *l = layout())
        l->activate();
    resize(sizeHint().expandedTo(QSize(kBoardWidth, kBoardHeight)));
    setMinimumSize(minimumSizeHint());
    panGame->setMinimumSize(kMinBoardWidth, kMinBoardHeight);
    const QSize room =
        minimumSize() - QSize(kBoardWidth - kMinBoardWidth, kBoardHeight - kMinBoardHeight);
    setMinimumSize(room.expandedTo(QSize(kMinBoardWidth, kMinBoardHeight)));
    if (const QScreen *screen = QApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
}

TFrmType::TFrmType(TFrmTypeServices services, QWidget *parent)
    : QMainWindow(parent), m_services(std::move(services)), m_memoryFit(new TMemoryFitRun(this))
{
    setObjectName(QStringLiteral("FrmType"));
    // A fit re-schedules the cards when it is done.
    connect(m_memoryFit, &TMemoryFitRun::Finished, this, &TFrmType::ShowDueCount);
    setWindowTitle(QStringLiteral("Kivro单词速打"));
    buildMenus();
    buildToolBar();
    buildCentralArea();
    connectCommands();
    // The timers of the adverts count from the window's creation.
    m_adverts = std::make_unique<TMainWindowAdverts>(labAd, wbAd, wbAd1, m_services.Online,
                                                     m_services.Adverts);
    m_keys = std::make_unique<TKeyForwarder>(panGame,
                                             [this](const QKeyEvent &event) { typeKey(event); });
}

TFrmType::~TFrmType()
{
    m_keys.reset();
    // Every advert thread is joined before the label, the panes and the
    // downloaded lists go.
    m_adverts.reset();
    delete m_frmAd;
    FreeGame();
    DeleteTempFiles();
}

void TFrmType::CreateAdWindow()
{
    if (m_frmAd)
        return;
    m_frmAd = new TFrmAd(this, m_services.Online, m_services.Adverts);
    m_adverts->SetPopup(m_frmAd);
}

void TFrmType::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    // A later show (after a restore, say) must not build a second game.
    if (!m_shown) {
        m_shown = true;
        // Sized now, when the skin's sizes are known.
        sizeForBoard();
        FormShow();
    }
}

void TFrmType::FormShow()
{
    PrepareSkinMenu(*miUI);
    wbAd->move(-600, wbAd->y());
    wbAd1->move(-600, wbAd1->y());
    InitGame();
    BuildRecentMenu();
    panGame->setFocus();
    // The first frame needs none of the Internet check, the speech engine
    // and the sound output, and starting them is a good part of the
    // start-up: they start right after the board's first paint. A window
    // that is never painted starts them after a short wait.
    panGame->installEventFilter(this);
    QTimer::singleShot(kServicesAtTheLatestMs, this, &TFrmType::StartServices);
}

void TFrmType::StartServices()
{
    if (m_servicesStarted)
        return;
    m_servicesStarted = true;
    // Counted after the first frame too: the window shows before the memory
    // is read; and again whenever the date changes while the program is open.
    ShowDueCount();
    // The memory's fit counts new reviews from here on.
    m_memoryFit->StartIfDue();
    auto *dayChange = new TDayChangeTimer(this);
    connect(dayChange, &TDayChangeTimer::dayChanged, this, &TFrmType::ShowDueCount);
    dayChange->Start();

    if (m_services.StartInternetCheck)
        m_adverts->StartInternetCheck();

    if (m_speech->InitEngine()) {
        const TSpeechSet set = ReadSpeechSet();
        if (!set.EngineName.empty() && !set.SpeakName.empty())
            m_speech->ApplySpeechSet(set);
    } else {
        ShowMessage(this, QStringLiteral("语音引擎创建失败，请安装语音引擎！"));
    }

    const auto owner = reinterpret_cast<std::uintptr_t>(this);
    m_bass = m_services.Audio ? std::make_unique<TBassEx>(owner, *m_services.Audio)
                              : std::make_unique<TBassEx>(owner);
    StartBackgroundMusic(*m_bass);
    // The first frame has been drawn and its glyphs are cached: the font
    // files' pages it read are not needed until a new character is drawn.
    QTimer::singleShot(0, this, [] { TrimIdleMemory(); });
}

void TFrmType::InitGame()
{
    // The wrapper only: its engine starts with StartServices. The board
    // stands still until then, so no hit can ask it to speak before.
    m_speech = m_services.Speech ? std::make_unique<TSpeechEx>(*m_services.Speech)
                                 : std::make_unique<TSpeechEx>();

    // A change of tick here acts like the player's click on the box (the
    // music itself starts with StartServices).
    cbBackGround->setChecked(ReadSysInteger(Setting::PlayMp3) == 1);
    cbSpeech->setChecked(ReadSysInteger(Setting::PlaySound) == 1);

    m_typeGame = new TTypeGameType(panGame, m_services.Ticks);
    m_typeGame->setObjectName(QStringLiteral("FTypeGame"));
    panGame->layout()->addWidget(m_typeGame);
    m_typeGame->show();
    m_typeGame->installEventFilter(this);
    m_typeGame->SetSpeechEnable(cbSpeech->isChecked());
    // Each listener of the board's events is connected on its own: the flow
    // through the adapter, then the last-word line and dictation.
    m_board = std::make_unique<TGameBoardAdapter>(*m_typeGame, m_flow);
    m_flow.SetBoard(m_board.get());
    bindBoardEvents();

    m_typeGame->SetTollGateWords(2 * TGameFlow::kWordsPerGate);
    m_flow.LoadGame();
    m_typeGame->StartGame(m_flow.OpeningWords(), m_speech.get());
    // The words were drawn by StartGame in the board's own colours.
    m_flow.ApplyBoardSettings();
    m_typeGame->SetLevel(m_flow.GamePara().Level);
    m_typeGame->PauseGame();
    m_boardSize = m_typeGame->size();

    m_flow.ResetGameDisplay();
    AddRecentTollGate(m_flow.GamePara());
}

void TFrmType::closeEvent(QCloseEvent *event)
{
    // The game is saved however the window is closed; a refused write is
    // shown, but the window still closes. A window closed before its game was
    // read (a signal during start-up) has nothing to save.
    try {
        m_flow.LeaveTollGate();
        m_flow.SaveGame();
    } catch (const EExplainedError &e) {
        ShowGeneralError(e.Reason());
    } catch (const std::exception &e) {
        qCWarning(lcApp) << "saving the game:" << e.what();
        ShowGeneralError(QStringLiteral("游戏未能保存。"));
    }
    event->accept();
}

TTypeGameType *TFrmType::FTypeGame() const
{
    return m_typeGame.data();
}

void TFrmType::FreeGame()
{
    // The board goes first: once it is gone no hit can reach the speech.
    // The board's destructor still sends it events; this window's filter
    // must not see a board that is half destroyed.
    if (m_typeGame)
        m_typeGame->removeEventFilter(this);
    m_flow.SetBoard(nullptr);
    delete m_typeGame.data();
    m_board.reset();
    m_speech.reset();
    m_bass.reset();
}

void TFrmType::DeleteTempFiles()
{
    DeleteSkinFiles();
    DeleteAdvertLists();
}

void TFrmType::panGameClick()
{
    panGame->setFocus();
}

void TFrmType::FocusGame()
{
    panGame->setFocus();
}

void TFrmType::N2Click()
{
    close();
}

void TFrmType::cbBackGroundClick()
{
    try {
        WriteSysInteger(Setting::PlayMp3, cbBackGround->isChecked() ? 1 : 0);
    } catch (const ESettingsWriteError &e) {
        ShowGeneralError(e.Reason());
    }
    if (m_bass)
        StartBackgroundMusic(*m_bass);
}

TGameBoard *TFrmType::Board()
{
    return m_typeGame ? m_board.get() : nullptr;
}

void TFrmType::ShowBook(const QString &caption)
{
    labBook->setText(caption);
}

void TFrmType::ShowTollGate(const QString &caption)
{
    labGate->setText(caption);
    // Between toll gates: what the last one's new characters paged in and
    // the heap it freed and the database pages it read are given back, so a
    // long game stays flat.
    ReleaseDatabaseMemory();
    TrimIdleMemory();
}

void TFrmType::ShowTotals(const TGameTotals &totals)
{
    labRightCount->setNum(totals.RightCount);
    labErrorCount->setNum(totals.ErrorCount);
    // A review offers no score: it shows how many words were reviewed.
    const bool review = m_flow.InReview();
    m_labScoreTitle->setText(review ? QStringLiteral("已复习：") : QStringLiteral("得分："));
    labScore->setNum(review ? totals.RightCount + totals.ErrorCount : totals.Score);
    sbRecord->setEnabled(!review);
}

void TFrmType::ShowState(TGameState state)
{
    const bool ready = state == TGameState::Ready;
    sbStart->setEnabled(ready);
    sbReStart->setEnabled(!ready);
    btnContinue->setEnabled(state == TGameState::Paused);
    btnPause->setEnabled(state == TGameState::Playing);
    sbLevel->setEnabled(true);
}

void TFrmType::ShowLevel(int level)
{
    for (QAction *item : {N8, N9, N10, N27, N28, N29})
        item->setChecked(item->data().toInt() == level);
    if (const QString name = LevelName(level); !name.isEmpty())
        sbLevel->setText(name);
}

void TFrmType::ShowNotice(const QString &message)
{
    ShowMessage(this, message);
}

void TFrmType::ShowFailure(const QString &message)
{
    ShowMessage(this, message, TMsgIcon::Exclamation);
}

void TFrmType::ShowDueCount()
{
    const int due = m_flow.DueTodayCount();
    nReview->setText(due < 0 ? QStringLiteral("今日复习")
                             : QStringLiteral("今日复习（%1）").arg(due));

    const int words = m_flow.WordsPlayedToday();
    const int goal = ReadDailyGoal();
    m_labToday->setText(DailyProgressText(words, goal));
    const QDate today = QDateTime::fromMSecsSinceEpoch(ProgramClock().NowMs()).date();
    // Quietly: a note in the status bar, never a box in the middle of play.
    if (m_goalMark.Reached(today, words, goal))
        statusBar()->showMessage(QStringLiteral("今日目标已完成：%1个单词").arg(goal), 10000);
}

void TFrmType::TollGatesRecorded()
{
    m_memoryFit->StartIfDue();
}

bool TFrmType::AskPlayAgain(const QString &message)
{
    return MessageBox(this, message, TMsgIcon::Question, QMessageBox::Yes | QMessageBox::No)
           == QMessageBox::Yes;
}

void TFrmType::RecordScore(int score)
{
    RecordGameScore(this, score);
}

bool TFrmType::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == panGame && event->type() == QEvent::Paint && !m_firstFramePainted) {
        m_firstFramePainted = true;
        // Right after this paint, and before anything queued later (a
        // command started at once must not find the services starting
        // inside its dialog).
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (auto hook = std::move(m_firstFrameHook)) {
                    m_firstFrameHook = nullptr;
                    hook(*this);
                }
                StartServices();
            },
            Qt::QueuedConnection);
    }
    if (m_typeGame && watched == m_typeGame) {
        // Only a real change of the board's size restarts its words.
        if (event->type() == QEvent::Resize && m_typeGame->size() != m_boardSize) {
            m_boardSize = m_typeGame->size();
            m_typeGame->ResizeBoard();
        } else if (event->type() == QEvent::MouseButtonRelease && m_typeGame->isEnabled()) {
            // Filters see the events of disabled widgets too.
            panGameClick();
        }
    }
    if (watched == labLastWord && event->type() == QEvent::MouseButtonRelease)
        RunCommand(QStringLiteral("朗读单词"), [this] { labLastWordClick(); });
    if (watched == m_labLastExample && event->type() == QEvent::MouseButtonRelease)
        RunCommand(QStringLiteral("朗读例句"), [this] { labLastExampleClick(); });
    return QMainWindow::eventFilter(watched, event);
}

void TFrmType::typeKey(const QKeyEvent &event)
{
    if (!m_typeGame)
        return;
    if (event.key() == Qt::Key_F2) {
        labLastWordClick();
        return;
    }
    if (event.key() == Qt::Key_F4) {
        labLastExampleClick();
        return;
    }
    if (event.key() == Qt::Key_F3) {
        if (m_cloze && m_cloze->SpeakLowestSentence())
            return;
        if (m_dictation)
            m_dictation->SpeakLowestWord();
        return;
    }
    TKeyStroke stroke = KeyStrokeFromKeyEvent(event);
    if (stroke.Key == 0)
        return;
    m_imeGuard->KeyTyped(stroke.Key);
    stroke.Shift.CapsLock = stroke.Shift.CapsLock || CapsLockOn(event);
    m_typeGame->TypeKey(stroke.Key, stroke.Shift);
}
