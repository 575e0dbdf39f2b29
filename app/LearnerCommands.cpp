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

#include "Accent.h"
#include "BookExamples.h"
#include "BothSpellings.h"
#include "Clock.h"
#include "Cloze.h"
#include "Dictation.h"
#include "Fonts.h"
#include "GbkText.h"
#include "ImeGuard.h"
#include "MemoryParameters.h"
#include "MessageBoxes.h"
#include "ModalRunner.h"
#include "KivroApplication.h"
#include "LastWordLine.h"
#include "Phonetic.h"
#include "ReferenceData.h"
#include "ReminderEntry.h"
#include "Settings.h"
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
    row->addWidget(labLastWord);
    // An example of the word after its meaning, the word as the sentence
    // uses it in bold. A long one is cut at the line's end rather than
    // widen the window; the tooltip holds it whole.
    m_labLastExample = new QLabel(panLastWord);
    m_labLastExample->setObjectName(QStringLiteral("labLastExample"));
    m_labLastExample->setFont(labLastWord->font());
    m_labLastExample->setTextFormat(Qt::RichText);
    m_labLastExample->setCursor(Qt::PointingHandCursor);
    m_labLastExample->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_labLastExample->setMinimumHeight(labLastWord->minimumHeight());
    m_labLastExample->installEventFilter(this);
    row->addWidget(m_labLastExample, 1);
    sbLastWordQuery = new QToolButton(panLastWord);
    sbLastWordQuery->setObjectName(QStringLiteral("sbLastWordQuery"));
    sbLastWordQuery->setText(QStringLiteral("查"));
    sbLastWordQuery->setFocusPolicy(Qt::NoFocus);
    sbLastWordQuery->setEnabled(false);
    row->addWidget(sbLastWordQuery);
    column->addWidget(panLastWord);
}

void TFrmType::buildSentenceBar(QWidget *parent, QBoxLayout *column)
{
    // Above the board, the sentence of 例句填空's lowest box. Always there and
    // two lines high, so the board keeps its size when the mode changes and a
    // sentence too long for one line wraps rather than runs under anything.
    m_labClozeSentence = new QLabel(parent);
    m_labClozeSentence->setObjectName(QStringLiteral("labClozeSentence"));
    QFont font(ArialReplacements().value(0));
    font.setPixelSize(16);
    m_labClozeSentence->setFont(font);
    m_labClozeSentence->setTextFormat(Qt::PlainText);
    m_labClozeSentence->setAlignment(Qt::AlignCenter);
    m_labClozeSentence->setWordWrap(true);
    m_labClozeSentence->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    m_labClozeSentence->setContentsMargins(6, 2, 6, 2);
    m_labClozeSentence->setFixedHeight(m_labClozeSentence->fontMetrics().lineSpacing() * 2 + 4);
    column->addWidget(m_labClozeSentence);
}

void TFrmType::connectLearnerCommands()
{
    connect(sbLastWordQuery, &QToolButton::clicked, this,
            Guarded(sbLastWordQuery->text(), this, &TFrmType::sbLastWordQueryClick));
    connect(cbDictation, &QCheckBox::clicked, this,
            Guarded(cbDictation->text(), this, &TFrmType::cbDictationClick));
    connect(m_cbCloze, &QCheckBox::clicked, this,
            Guarded(m_cbCloze->text(), this, &TFrmType::cbClozeClick));
    m_imeGuard = new TImeGuard(*panGame, m_flow);
}

void TFrmType::bindBoardEvents()
{
    connect(m_typeGame, &TTypeGameType::wordHit, this, [this](int wordIndex) {
        if (const TWordInfo *word = m_typeGame->WordAt(wordIndex))
            ShowLastWord(*word);
    });
    const auto playing = [this] { return m_flow.State() == TGameState::Playing; };
    m_cloze = new TCloze(
        *m_typeGame, *m_speech, *m_labClozeSentence, playing,
        [this] { return cbSpeech->isChecked(); },
        [this] { return m_flow.GamePara().StoreTableName; });
    m_dictation = new TDictation(*m_typeGame, *m_speech, playing);
    m_dictation->SetPassOver(
        [this](int wordIndex) { return m_cloze->WordAt(wordIndex) != nullptr; });
    m_typeGame->SetBlankedBoxes(
        [this](int wordIndex) { return m_cloze->WordAt(wordIndex) != nullptr; });
    ApplyBothSpellings();
}

void TFrmType::ShowLastWord(const TWordInfo &word)
{
    m_lastWord = word;
    labLastWord->setText(LastWordLine(word, WordVariantsOf(ProgramReferenceData(), word.Spelling),
                                      ReadAccent(), ReadSysInteger(Setting::BothSpellings) != 0));
    sbLastWordQuery->setEnabled(!word.Spelling.empty());

    const std::vector<TExample> examples =
        WordExamples(m_flow.GamePara().StoreTableName, word.Spelling);
    m_lastExample = {};
    if (!examples.empty()) {
        size_t *turn = m_exampleTurns.Find(word.Spelling);
        if (turn == nullptr)
            turn = &m_exampleTurns.Insert(word.Spelling, 0);
        m_lastExample = examples[*turn % examples.size()];
        ++*turn;
    }
    m_labLastExample->setText(ExampleHtml(m_lastExample));
    m_labLastExample->setToolTip(m_lastExample.Sentence.empty()
                                     ? QString()
                                     : GbkToQString(m_lastExample.Sentence)
                                           + QStringLiteral("\n单击或按F4朗读例句"));
}

QString ExampleHtml(const TExample &example)
{
    const QString sentence = GbkToQString(example.Sentence);
    const size_t at = FindWholeWord(example.Sentence, example.Form);
    if (at == std::string::npos)
        return sentence.toHtmlEscaped();
    // The examples are ASCII, so byte positions are character positions.
    const auto start = static_cast<qsizetype>(at);
    const auto length = static_cast<qsizetype>(example.Form.size());
    return sentence.left(start).toHtmlEscaped() + QStringLiteral("<b>")
           + sentence.mid(start, length).toHtmlEscaped() + QStringLiteral("</b>")
           + sentence.mid(start + length).toHtmlEscaped();
}

void TFrmType::labLastExampleClick()
{
    if (m_speech && !m_lastExample.Sentence.empty())
        m_speech->Speak(m_lastExample.Sentence);
}

void TFrmType::ApplyBothSpellings()
{
    if (m_typeGame == nullptr)
        return;
    const bool both = ReadSysInteger(Setting::BothSpellings) != 0;
    if (!both && !(m_cloze && m_cloze->IsOn())) {
        m_typeGame->SetAcceptedAnswers(nullptr);
        return;
    }
    // A sentence's box accepts the form the sentence uses, and only that.
    m_typeGame->SetAcceptedAnswers([this, both](int wordIndex) {
        if (const TClozeWord *cloze = m_cloze ? m_cloze->WordAt(wordIndex) : nullptr)
            return std::vector<std::string>{cloze->Answer};
        const TWordInfo *word = m_typeGame->WordAt(wordIndex);
        return word != nullptr && both ? BothSpellingsOf(ProgramReferenceData(), word->Spelling)
                                       : std::vector<std::string>{};
    });
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
    applyPlayMode();
    FocusGame();
}

void TFrmType::cbClozeClick()
{
    applyPlayMode();
    FocusGame();
}

void TFrmType::applyPlayMode()
{
    const bool cloze = m_cbCloze->isChecked();
    // A word without an example falls as in dictation: no spelling drawn.
    if (m_dictation)
        m_dictation->SetOn(cbDictation->isChecked() || cloze);
    if (m_cloze && m_cloze->IsOn() != cloze) {
        m_cloze->SetOn(cloze);
        ApplyBothSpellings();
        m_typeGame->SetBlankedBoxes(
            [this](int wordIndex) { return m_cloze->WordAt(wordIndex) != nullptr; });
    }
    m_flow.SetPlayMode(cloze                      ? TPlayMode::Cloze
                       : cbDictation->isChecked() ? TPlayMode::Dictation
                                                  : TPlayMode::Normal);
}

void TFrmType::nLearningSettingsClick()
{
    // A memory that does not read fails the command and says why.
    const TFsrsParameters current = ReadMemoryParameters();
    const bool reminding = ReadSysInteger(Setting::RemindDaily) == 1;
    TFrmLearningSettings dialog(current, ReadDailyGoal(), reminding, this);
    if (RunModal(dialog) == QDialog::Accepted) {
        if (dialog.Parameters() != current)
            ChangeMemoryParameters(dialog.Parameters(), ProgramClock().NowMs());
        WriteSysValues({{Setting::DailyGoal, dialog.DailyGoal()},
                        {Setting::RemindDaily, dialog.RemindDaily() ? 1 : 0}});
        ShowDueCount();
        // Only a box turned off removes the entry: one left by another
        // folder whose reminder is on stays while this one's stays off.
        if (dialog.RemindDaily() && !WriteReminderEntry(ThisProgramsReminder())) {
            ShowMessage(this,
                        QStringLiteral("每天的复习提醒未能设置：无法写入") + ReminderEntryPath(),
                        TMsgIcon::Exclamation);
        } else if (!dialog.RemindDaily() && reminding && !RemoveReminderEntry()) {
            ShowMessage(this,
                        QStringLiteral("每天的复习提醒未能取消：无法删除") + ReminderEntryPath(),
                        TMsgIcon::Exclamation);
        }
    }
    FocusGame();
}
