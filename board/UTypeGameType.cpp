#include "UTypeGameType.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include <QPainter>
#include <QPaintEvent>

#include "ArrowSprite.h"
#include "BoxAnswers.h"
#include "Fonts.h"
#include "TextUtils.h"

namespace {

// 12 pt and 10 pt at 96 dots per inch, fixed in pixels so that the word boxes
// keep their designed layout on every screen.
constexpr int kWordPixelSize = 16;
constexpr int kMeanPixelSize = 13;

// The designed 1 ms period was bounded by the original windowing system's
// timer resolution to about 15.6 ms, and the shots' speed (5 pixels a tick)
// was tuned to that. A Qt timer really fires every millisecond here, which
// would fly shots fifteen times too fast and repaint a thousand times a
// second, so the period the design actually ran at is asked for directly.
constexpr int kShootTimerInterval = 15;

// Level x 100 per right word, held within the 32-bit range: the level comes
// from a settings file a player may edit, so it can be anything.
int wordsScore(int level, int rightWords)
{
    const std::int64_t perWord = std::int64_t{level} * 100;
    std::int64_t score = 0;
    if (__builtin_mul_overflow(perWord, std::int64_t{rightWords}, &score))
        score = (perWord < 0) != (rightWords < 0) ? std::numeric_limits<std::int64_t>::min()
                                                  : std::numeric_limits<std::int64_t>::max();
    return static_cast<int>(std::clamp<std::int64_t>(
        score, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

TBoardFont makeFont(const QString &family, int pixelSize, bool bold, TColor color)
{
    TBoardFont f;
    f.Font = QFont(family);
    f.Font.setPixelSize(pixelSize);
    f.Font.setBold(bold);
    f.Color = color;
    return f;
}

}  // namespace

TTypeGameType::TTypeGameType(QWidget *parent, TTickSource Ticks)
    : QWidget(parent), m_tickSource(Ticks)
{
    // A plain child widget has no native window and is painted in its
    // parent's paint cycle; the board never takes the keyboard focus, the
    // host's panel does and hands keys over.
    setFocusPolicy(Qt::NoFocus);
    resize(600, 400);

    m_wordsPerRow = 1;
    m_levelInterval1 = 50;
    m_levelInterval2 = 30;
    m_levelInterval3 = 30;

    TakeBoardRect();
    CalcRows();

    m_playThread = std::make_unique<TTGPlayThread>(this, m_tickSource);
    m_playThread->SetInterval(50);

    m_arrow = MakeArrowSprite(PixelRatio());
    m_backGroundColor = 0xB06948;

    m_wordCanvas1.CanvasId = 1;
    m_wordCanvas2.CanvasId = 2;
    ResetWordCanvases();

    m_wordFont = makeFont(ArialFamily(), kWordPixelSize, false, 0xFFFFFF);
    m_typedFont = makeFont(ArialFamily(), kWordPixelSize, false, 0x00FF00);
    m_meanFont = makeFont(SongTiFamily(), kMeanPixelSize, true, 0xFFFFFF);

    m_step = 1;
    m_pendingKey.clear();
    m_wordDisType = TWordDisType::wdtMeanSpell;
    m_speechEnable = true;

    m_shootTimer.setInterval(kShootTimerInterval);
    connect(&m_shootTimer, &QTimer::timeout, this, &TTypeGameType::ShootTimerTick);

    m_tollGateWords = 50;
    m_lastWordIndex = -1;
    m_rightWordCount = 0;
    m_errorWordCount = 0;
    m_level = 1;
}

TTypeGameType::~TTypeGameType()
{
    // First of all: no tick may run once destruction has begun.
    m_playThread->Stop();
    StopShootTimer();
}

// ---------------------------------------------------------------- lifecycle

void TTypeGameType::TakeBoardRect()
{
    m_boardRect = TRect{0, 0, width(), height()};
}

void TTypeGameType::CalcRows()
{
    m_rowHeight = 60;
    m_rowCount = (m_boardRect.Bottom - m_boardRect.Top) / m_rowHeight;
}

void TTypeGameType::ResetWordCanvases()
{
    const int w = std::max(m_boardRect.Right - m_boardRect.Left, 0);
    const int h = std::max(m_boardRect.Bottom - m_boardRect.Top, 0);
    // The old boxes go with the old picture, and so do shots aimed at them.
    ClearShoots();
    for (TWordCanvas *c : {&m_wordCanvas1, &m_wordCanvas2}) {
        AllocateBitmap(*c, w, h);
        c->Items.clear();
        c->Scrolled = 0;
        c->SrcRect = TRect{0, 0, w, 0};
        c->DestRect = TRect{0, 0, w, 0};
    }
    m_wordCanvas1.Top = -h;
    m_wordCanvas2.Top = -2 * h;
    m_arrow = MakeArrowSprite(PixelRatio());
}

qreal TTypeGameType::PixelRatio() const
{
    return m_pixelRatioOverride > 0 ? m_pixelRatioOverride : devicePixelRatioF();
}

void TTypeGameType::AllocateBitmap(TWordCanvas &C, int Width, int Height)
{
    // Device pixels, so text and frames are drawn at the screen's density
    // while every coordinate of the board stays logical.
    const qreal ratio = PixelRatio();
    const int dw = qRound(Width * ratio);
    const int dh = qRound(Height * ratio);
    if (C.Bitmap.width() != dw || C.Bitmap.height() != dh)
        C.Bitmap = Width > 0 && Height > 0 ? QImage(dw, dh, QImage::Format_RGB32) : QImage();
    C.Bitmap.setDevicePixelRatio(ratio);
}

void TTypeGameType::SetPixelRatio(qreal Ratio)
{
    m_pixelRatioOverride = Ratio > 0 ? Ratio : 0;
    SyncPixelRatio();
}

void TTypeGameType::SyncPixelRatio()
{
    const qreal ratio = PixelRatio();
    if (m_arrow.devicePixelRatio() == ratio)
        return;
    // Another screen (or a forced ratio): the same canvases, drawn afresh at
    // the new density; the game's state is untouched.
    for (TWordCanvas *c : {&m_wordCanvas1, &m_wordCanvas2}) {
        const QSize size = LogicalSize(c->Bitmap);
        AllocateBitmap(*c, size.width(), size.height());
    }
    m_arrow = MakeArrowSprite(ratio);
    RedrawWords();
}

TWordCanvas &TTypeGameType::Canvas(int CanvasId)
{
    return CanvasId == 2 ? m_wordCanvas2 : m_wordCanvas1;
}

void TTypeGameType::StartGame(const TWordInfos &Words, TSpeaker *Speech)
{
    m_speech = Speech;
    m_words = Words;
    m_tollGateCount = CeilDiv(m_tollGateWords, static_cast<std::int32_t>(m_words.size()));
    TakeBoardRect();
    CalcRows();
    ResetWordCanvases();
    FillWordCanvas(m_wordCanvas1);
    FillWordCanvas(m_wordCanvas2);
    StartShootTimer();
    m_playThread->Bind([this] { PlayTick(); });
    m_playThread->ResumePlay();
    update();
}

void TTypeGameType::SetWords(const TWordInfos &Words)
{
    m_words = Words;
}

void TTypeGameType::StopAndZeroCounts()
{
    m_playThread->SuspendPlay();
    StopShootTimer();
    ClearShoots();
    m_lastWordIndex = -1;
    m_rightWordCount = 0;
    m_errorWordCount = 0;
    UpdateScore();
}

void TTypeGameType::RefillCanvases()
{
    CalcRows();
    ResetWordCanvases();
    FillWordCanvas(m_wordCanvas1);
    FillWordCanvas(m_wordCanvas2);
}

void TTypeGameType::Restart()
{
    StopAndZeroCounts();
    m_tollGateIndex = 1;
    emit tollGateChange();
    RefillCanvases();

    m_playThread->ResumePlay();
    StartShootTimer();
    update();
}

void TTypeGameType::ResizeBoard()
{
    const bool wasPaused = m_playThread->IsPaused();
    StopAndZeroCounts();
    TakeBoardRect();
    RefillCanvases();

    if (!wasPaused) {
        m_playThread->ResumePlay();
        StartShootTimer();
    }
    update();
}

void TTypeGameType::PauseGame()
{
    StopShootTimer();
    m_playThread->SuspendPlay();
}

void TTypeGameType::ContinueGame()
{
    StartShootTimer();
    m_playThread->ResumePlay();
}

void TTypeGameType::GameOver()
{
    m_playThread->SuspendPlay();
    StopShootTimer();
    ClearShoots();
    m_lastWordIndex = -1;
    m_wordCanvas1.Items.clear();
    m_wordCanvas2.Items.clear();
    update();
    // The last thing done: a slot may restart or destroy the board.
    emit gameOver();
}

bool TTypeGameType::IsPlaying() const
{
    return !m_playThread->IsPaused();
}

int TTypeGameType::PlayInterval() const
{
    return m_playThread->Interval();
}

void TTypeGameType::SetTickObserver(TTGPlayThread::TTickObserver Observer)
{
    m_playThread->SetTickObserver(std::move(Observer));
}

std::uint64_t TTypeGameType::TicksHandedOver() const
{
    return m_playThread->HandedOver();
}

bool TTypeGameType::RunManualTick()
{
    return m_tickSource == TTickSource::Manual && m_playThread->RunManualTick();
}

bool TTypeGameType::RunManualShootTick()
{
    if (m_tickSource != TTickSource::Manual || !m_shootTimerActive)
        return false;
    ShootTimerTick();
    return true;
}

void TTypeGameType::StartShootTimer()
{
    m_shootTimerActive = true;
    SyncShootTimer();
}

void TTypeGameType::StopShootTimer()
{
    m_shootTimerActive = false;
    SyncShootTimer();
}

bool TTypeGameType::IsShootTimerRunning() const
{
    if (m_tickSource == TTickSource::PlayThread)
        return m_shootTimer.isActive();
    return m_shootTimerActive && !m_shoots.empty();
}

void TTypeGameType::SyncShootTimer()
{
    // The timer is on all game long, but with no arrow in flight a tick
    // would move nothing: the real timer runs only while one flies, so a
    // board nobody shoots at wakes the UI thread only for its motion.
    const bool run =
        m_tickSource == TTickSource::PlayThread && m_shootTimerActive && !m_shoots.empty();
    if (run && !m_shootTimer.isActive())
        m_shootTimer.start();
    else if (!run && m_shootTimer.isActive())
        m_shootTimer.stop();
}

void TTypeGameType::SetAcceptedAnswers(TAcceptedAnswers answers)
{
    m_acceptedAnswers = std::move(answers);
    for (TWordCanvas *c : {&m_wordCanvas1, &m_wordCanvas2})
        for (TTypeWordItem &item : c->Items)
            if (!item.Typed && !item.ShotDown)
                SetBoxAnswers(item, m_acceptedAnswers ? m_acceptedAnswers(item.WordIndex)
                                                      : std::vector<std::string>{});
    RedrawWords();
}

void TTypeGameType::SetBlankedBoxes(TBlankedBoxes blanked)
{
    m_blankedBoxes = std::move(blanked);
    for (TWordCanvas *c : {&m_wordCanvas1, &m_wordCanvas2})
        for (TTypeWordItem &item : c->Items)
            item.Blanked = m_blankedBoxes && m_blankedBoxes(item.WordIndex) ? 1 : 0;
    RedrawWords();
}

const TWordInfo *TTypeGameType::WordAt(int wordIndex) const
{
    if (wordIndex < 0 || static_cast<size_t>(wordIndex) >= m_words.size())
        return nullptr;
    return &m_words[static_cast<size_t>(wordIndex)];
}

// ---------------------------------------------------------------- properties

void TTypeGameType::SetWordDisType(TWordDisType Value)
{
    if (Value == m_wordDisType)
        return;
    m_wordDisType = Value;
    RedrawWords();
}

void TTypeGameType::SetDictation(bool Value)
{
    if (Value == m_dictation)
        return;
    m_dictation = Value;
    RedrawWords();
}

void TTypeGameType::SetSpeechEnable(bool Value)
{
    m_speechEnable = Value;
}

void TTypeGameType::SetTollGateWords(int Value)
{
    // Toll gates of no words would divide by zero when words are marked.
    if (Value < 1 || Value == m_tollGateWords)
        return;
    m_tollGateWords = Value;
}

void TTypeGameType::SetLevel(int Value)
{
    m_level = Value;
    switch (Value) {
    case 1:
        m_playThread->SetInterval(m_levelInterval1);
        m_wordsPerRow = 1;
        break;
    case 2:
        m_playThread->SetInterval(m_levelInterval2);
        m_wordsPerRow = 1;
        break;
    case 3:
        m_playThread->SetInterval(m_levelInterval3);
        m_wordsPerRow = 2;
        break;
    default:
        break;
    }
}

void TTypeGameType::ChangeLevelInterval(int &Interval, int Value)
{
    if (Value == Interval)
        return;
    Interval = Value;
    SetLevel(m_level);
}

void TTypeGameType::SetLevelInterval1(int Value)
{
    ChangeLevelInterval(m_levelInterval1, Value);
}
void TTypeGameType::SetLevelInterval2(int Value)
{
    ChangeLevelInterval(m_levelInterval2, Value);
}
void TTypeGameType::SetLevelInterval3(int Value)
{
    ChangeLevelInterval(m_levelInterval3, Value);
}

void TTypeGameType::SetBackGroundColor(TColor Value)
{
    m_backGroundColor = Value;
}

void TTypeGameType::SetNormalColor(TColor Value)
{
    m_wordFont.Color = Value;
    m_meanFont.Color = Value;
}

void TTypeGameType::SetTypeColor(TColor Value)
{
    m_typedFont.Color = Value;
}

void TTypeGameType::UpdateScore()
{
    if (m_errorWordCount <= 20)
        m_score = wordsScore(m_level, m_rightWordCount);
    emit typeCheckChange();
}
