#pragma once
// 例句填空 on the window: the board's boxes of words with an example show a
// blank and accept the form their sentence uses (TClozeWords), the sentence
// bar shows the sentence of the lowest untyped box with its blank, and each
// sentence is spoken when its box comes into view while "读音" is ticked and
// the game runs. Words without an example are left to dictation.

#include <functional>
#include <string>

#include <QObject>
#include <QPointer>

#include "ClozeWords.h"

class QLabel;
class TSpeechEx;
class TTypeGameType;

class TCloze : public QObject {
public:
    // isPlaying: whether the game runs; speechTicked: "读音"; bookTable: the
    // word table of the book played, whose own examples come first. The
    // board, the speech and the bar outlive it.
    TCloze(TTypeGameType &board, TSpeechEx &speech, QLabel &sentenceBar,
           std::function<bool()> isPlaying, std::function<bool()> speechTicked,
           std::function<std::string()> bookTable);

    bool IsOn() const { return m_on; }
    // The caller gives the board its accepted answers and dictation after.
    void SetOn(bool on);
    // The word at that place of the board's list put as a sentence: null
    // when the mode is off or the word has no example.
    const TClozeWord *WordAt(int wordIndex);
    // F3: the lowest untyped box's sentence; false when it has none.
    bool SpeakLowestSentence();
    // The bar follows the lowest untyped box.
    void ShowLowestSentence();

private:
    void speakSentence(int wordIndex);

    TTypeGameType &m_board;
    TSpeechEx &m_speech;
    QPointer<QLabel> m_bar;
    std::function<bool()> m_isPlaying;
    std::function<bool()> m_speechTicked;
    std::function<std::string()> m_bookTable;
    TClozeWords m_words;
    bool m_on = false;
};
