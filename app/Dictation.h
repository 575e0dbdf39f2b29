#pragma once
// Dictation: the words are heard, not read. The board draws no spellings,
// and each word is spoken when it has come into view and again when it
// passes the middle of the board untyped, only while the game runs, and never
// queued twice while the speech is still busy. F3 speaks the lowest untyped
// word on view.

#include <functional>
#include <set>
#include <string>

#include <QObject>

class TSpeechEx;
class TTypeGameType;

class TDictation : public QObject {
public:
    // isPlaying: whether the game runs. The board and the speech outlive it.
    TDictation(TTypeGameType &board, TSpeechEx &speech, std::function<bool()> isPlaying);

    bool IsOn() const;
    void SetOn(bool on);
    void SpeakLowestWord();
    // Words spoken another way (例句填空's sentences), by their place in the
    // board's list: dictation leaves them alone. Null: none.
    void SetPassOver(std::function<bool(int wordIndex)> passOver)
    {
        m_passOver = std::move(passOver);
    }

private:
    void speakWord(int wordIndex);

    TTypeGameType &m_board;
    TSpeechEx &m_speech;
    std::function<bool()> m_isPlaying;
    std::function<bool(int)> m_passOver;
    // Words queued since the speech was last quiet.
    std::set<std::string> m_queued;
};
