#include "Dictation.h"

#include "USpeechEx.h"
#include "UTypeGameType.h"

TDictation::TDictation(TTypeGameType &board, TSpeechEx &speech, std::function<bool()> isPlaying)
    : QObject(&board), m_board(board), m_speech(speech), m_isPlaying(std::move(isPlaying))
{
    connect(&board, &TTypeGameType::wordShown, this, &TDictation::speakWord);
    connect(&board, &TTypeGameType::wordPastMiddle, this, &TDictation::speakWord);
}

bool TDictation::IsOn() const
{
    return m_board.Dictation();
}

void TDictation::SetOn(bool on)
{
    m_board.SetDictation(on);
    m_queued.clear();
}

void TDictation::SpeakLowestWord()
{
    if (const TWordInfo *word = m_board.WordAt(m_board.LowestUntypedWordIndex()))
        m_speech.Speak(word->Spelling);
}

void TDictation::speakWord(int wordIndex)
{
    const TWordInfo *word = m_board.WordAt(wordIndex);
    if (!word || !m_board.Dictation() || !m_isPlaying() || (m_passOver && m_passOver(wordIndex)))
        return;
    const std::string spelling = word->Spelling;
    // What was queued is forgotten once everything queued has been heard.
    if (!m_speech.IsSpeaking())
        m_queued.clear();
    if (m_queued.insert(spelling).second)
        m_speech.Speak(spelling);
}
