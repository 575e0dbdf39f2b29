#include "Cloze.h"

#include <QLabel>

#include "GbkText.h"
#include "BookExamples.h"
#include "USpeechEx.h"
#include "UTypeGameType.h"

TCloze::TCloze(TTypeGameType &board, TSpeechEx &speech, QLabel &sentenceBar,
               std::function<bool()> isPlaying, std::function<bool()> speechTicked,
               std::function<std::string()> bookTable)
    : QObject(&board), m_board(board), m_speech(speech), m_bar(&sentenceBar),
      m_isPlaying(std::move(isPlaying)), m_speechTicked(std::move(speechTicked)),
      m_bookTable(std::move(bookTable)),
      m_words([this](const std::string &spelling) { return WordExamples(m_bookTable(), spelling); })
{
    connect(&board, &TTypeGameType::wordShown, this, [this](int wordIndex) {
        speakSentence(wordIndex);
        ShowLowestSentence();
    });
    // Counted: typed or missed, so the lowest box is another.
    connect(&board, &TTypeGameType::wordCounted, this, &TCloze::ShowLowestSentence);
    connect(&board, &TTypeGameType::tollGateChange, this, &TCloze::ShowLowestSentence);
}

void TCloze::SetOn(bool on)
{
    m_on = on;
    m_words.Clear();
    ShowLowestSentence();
}

const TClozeWord *TCloze::WordAt(int wordIndex)
{
    const TWordInfo *word = m_board.WordAt(wordIndex);
    if (!m_on || word == nullptr)
        return nullptr;
    return m_words.At(wordIndex, word->Spelling);
}

bool TCloze::SpeakLowestSentence()
{
    const TClozeWord *word = WordAt(m_board.LowestUntypedWordIndex());
    if (word == nullptr)
        return false;
    m_speech.Speak(word->Sentence);
    return true;
}

void TCloze::ShowLowestSentence()
{
    if (m_bar.isNull())
        return;
    const TClozeWord *word = WordAt(m_board.LowestUntypedWordIndex());
    const QString text = word != nullptr ? GbkToQString(word->Blanked) : QString();
    if (m_bar->text() != text)
        m_bar->setText(text);
}

void TCloze::speakSentence(int wordIndex)
{
    if (!m_isPlaying() || !m_speechTicked())
        return;
    if (const TClozeWord *word = WordAt(wordIndex))
        m_speech.Speak(word->Sentence);
}
