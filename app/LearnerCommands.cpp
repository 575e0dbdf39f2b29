// What the main window does for a learner beyond the game itself: the last
// word hit shown whole on the title bar, dictation (the words are heard, not
// read), and the notice when an input method keeps the letters from the board.
#include <QBoxLayout>
#include <QCheckBox>
#include <QFont>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include "Fonts.h"
#include "GbkText.h"
#include "KivroApplication.h"
#include "Phonetic.h"
#include "UFrmType.h"
#include "USpeechEx.h"
#include "UTypeGameType.h"

namespace {

const TTypeWordItem &itemOf(const TTypeGameType &board, int canvasId, int index)
{
    const TWordCanvas &c = canvasId == 1 ? board.WordCanvas1() : board.WordCanvas2();
    return c.Items.at(static_cast<size_t>(index));
}

}  // namespace

void TFrmType::buildLastWordLine(QWidget *parent, QBoxLayout *column)
{
    panLastWord = new QWidget(parent);
    panLastWord->setObjectName(QStringLiteral("panLastWord"));
    auto *row = new QHBoxLayout(panLastWord);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    labLastWord = new QLabel(panLastWord);
    labLastWord->setObjectName(QStringLiteral("labLastWord"));
    // The board's Chinese face lacks ə ʒ ʌ ˈ ˌ; the meaning's characters fall
    // back to a CJK face.
    labLastWord->setFont(QFont(ArialReplacements().value(0)));
    labLastWord->setTextFormat(Qt::PlainText);
    labLastWord->setCursor(Qt::PointingHandCursor);
    labLastWord->setToolTip(QStringLiteral("单击或按F2再读一遍"));
    // Holds its height when empty, so the window does not change size at the first hit.
    labLastWord->setMinimumHeight(labLastWord->fontMetrics().height());
    labLastWord->installEventFilter(this);
    row->addWidget(labLastWord, 1);
    sbLastWordQuery = new QToolButton(panLastWord);
    sbLastWordQuery->setObjectName(QStringLiteral("sbLastWordQuery"));
    sbLastWordQuery->setText(QStringLiteral("查"));
    sbLastWordQuery->setFocusPolicy(Qt::NoFocus);
    sbLastWordQuery->setEnabled(false);
    row->addWidget(sbLastWordQuery);
    column->addWidget(panLastWord);
}

void TFrmType::connectLearnerCommands()
{
    connect(sbLastWordQuery, &QToolButton::clicked, this,
            Guarded(sbLastWordQuery->text(), this, &TFrmType::sbLastWordQueryClick));
    connect(cbDictation, &QCheckBox::clicked, this,
            Guarded(cbDictation->text(), this, &TFrmType::cbDictationClick));
    panGame->installEventFilter(this);

    labImeNotice = new QLabel(QStringLiteral("请切换到英文输入法"), panGame);
    labImeNotice->setObjectName(QStringLiteral("labImeNotice"));
    labImeNotice->setAlignment(Qt::AlignCenter);
    labImeNotice->setStyleSheet(QStringLiteral("QLabel { background: #FFF8DC; color: #8B0000; "
                                               "border: 2px solid #8B0000; padding: 12px; }"));
    QFont font = labImeNotice->font();
    font.setPixelSize(24);
    labImeNotice->setFont(font);
    labImeNotice->hide();
}

void TFrmType::bindBoardEvents()
{
    m_typeGame->SetOnWordHit([this](TTypeGameType *sender, int canvasId, int index) {
        ShowLastWord(itemOf(*sender, canvasId, index).WordInfo);
    });
    // Dictation speaks each word twice: when it has come into view, and when
    // it passes the middle of the board still untyped.
    const auto speak = [this](TTypeGameType *sender, int canvasId, int index) {
        if (sender->Dictation())
            speakForDictation(itemOf(*sender, canvasId, index).WordInfo.Spelling);
    };
    m_typeGame->SetOnWordShown(speak);
    m_typeGame->SetOnWordPastMiddle(speak);
}

void TFrmType::ShowLastWord(const TWordInfo &word)
{
    m_lastWord = word;
    QString text = GbkToQString(word.Spelling);
    if (!word.Pronunciation.empty())
        text +=
            QStringLiteral("  [") + PronunciationToIpa(word.Pronunciation) + QStringLiteral("]");
    if (!word.Meaning.empty())
        text += QStringLiteral("  ") + GbkToQString(word.Meaning);
    labLastWord->setText(text);
    sbLastWordQuery->setEnabled(!word.Spelling.empty());
}

void TFrmType::labLastWordClick()
{
    if (m_speech && !m_lastWord.Spelling.empty())
        m_speech->Speak(m_lastWord.Spelling);
}

void TFrmType::sbLastWordQueryClick()
{
    ediQueryWord->setText(GbkToQString(m_lastWord.Spelling));
    FocusGame();
}

void TFrmType::cbDictationClick()
{
    if (m_typeGame)
        m_typeGame->SetDictation(cbDictation->isChecked());
    m_dictationQueued.clear();
    FocusGame();
}

void TFrmType::SpeakLowestWord()
{
    int canvasId = 0;
    int index = -1;
    if (m_speech && m_typeGame && m_typeGame->LowestUntypedWord(canvasId, index))
        m_speech->Speak(itemOf(*m_typeGame, canvasId, index).WordInfo.Spelling);
}

void TFrmType::speakForDictation(const std::string &spelling)
{
    if (!m_speech || m_flow.State() != TGameState::Playing)
        return;
    // What was queued is forgotten once everything queued has been heard.
    if (!m_speech->IsSpeaking())
        m_dictationQueued.clear();
    if (!m_dictationQueued.insert(spelling).second)
        return;
    m_speech->Speak(spelling);
}

bool TFrmType::ImeNoticeShown() const
{
    return labImeNotice != nullptr && labImeNotice->isVisible();
}

void TFrmType::showImeNotice()
{
    if (!ImeNoticeShown()) {
        m_imeResume = m_flow.State() == TGameState::Playing;
        if (m_imeResume)
            m_flow.Pause();
    }
    labImeNotice->adjustSize();
    labImeNotice->move((panGame->width() - labImeNotice->width()) / 2,
                       (panGame->height() - labImeNotice->height()) / 2);
    labImeNotice->raise();
    labImeNotice->show();
}

void TFrmType::hideImeNotice()
{
    labImeNotice->hide();
    if (m_imeResume && m_flow.State() == TGameState::Paused)
        m_flow.Continue();
    m_imeResume = false;
}
