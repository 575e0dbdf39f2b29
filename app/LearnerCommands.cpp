// What the main window does for a learner beyond the game itself: the last
// word hit shown whole on the title bar, dictation (TDictation: the words are
// heard, not read), and the guard against an input method (TImeGuard).
#include <QBoxLayout>
#include <QCheckBox>
#include <QFont>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include "Clock.h"
#include "Dictation.h"
#include "Fonts.h"
#include "GbkText.h"
#include "ImeGuard.h"
#include "MemoryParameters.h"
#include "ModalRunner.h"
#include "KivroApplication.h"
#include "Phonetic.h"
#include "UFrmType.h"
#include "USpeechEx.h"
#include "UTypeGameType.h"
#include "dialogs/UFrmLearningSettings.h"

void TFrmType::buildLastWordLine(QWidget *parent, QBoxLayout *column)
{
    auto *panLastWord = new QWidget(parent);
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
    m_imeGuard = new TImeGuard(*panGame, m_flow);
}

void TFrmType::bindBoardEvents()
{
    connect(m_typeGame, &TTypeGameType::wordHit, this, [this](int wordIndex) {
        if (const TWordInfo *word = m_typeGame->WordAt(wordIndex))
            ShowLastWord(*word);
    });
    m_dictation = new TDictation(*m_typeGame, *m_speech,
                                 [this] { return m_flow.State() == TGameState::Playing; });
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

bool TFrmType::ImeNoticeShown() const
{
    return m_imeGuard && m_imeGuard->NoticeShown();
}

void TFrmType::cbDictationClick()
{
    if (m_dictation)
        m_dictation->SetOn(cbDictation->isChecked());
    m_flow.SetPlayMode(cbDictation->isChecked() ? TPlayMode::Dictation : TPlayMode::Normal);
    FocusGame();
}

void TFrmType::nLearningSettingsClick()
{
    // A memory that does not read fails the command and says why.
    const TFsrsParameters current = ReadMemoryParameters();
    TFrmLearningSettings dialog(current, this);
    if (RunModal(dialog) == QDialog::Accepted && dialog.Parameters() != current) {
        ChangeMemoryParameters(dialog.Parameters(), ProgramClock().NowMs());
        ShowDueCount();
    }
    FocusGame();
}
