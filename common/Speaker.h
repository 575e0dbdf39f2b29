#pragma once
// What the board needs of speech: one word spoken without waiting. The speech
// wrapper implements it, so board and speech never depend on each other.

#include <string>

class TSpeaker {
public:
    virtual ~TSpeaker() = default;
    // Returns at once and never throws; the spelling is GBK.
    virtual void Speak(const std::string &spelling) = 0;
};
