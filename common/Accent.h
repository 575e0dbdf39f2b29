#pragma once
// British and American English: which accent the player wants to hear and
// read first (Setting::Accent), and how a voice or a pronunciation is marked.

#include <cstdint>

#include <QString>

enum class TAccent { British = 0, American = 1 };

// The stored value: 1 American, anything else (the key missing included) British.
TAccent AccentFromSetting(std::int32_t value);
std::int32_t AccentSetting(TAccent accent);
// Setting::Accent, read now.
TAccent ReadAccent();
// "英" or "美", as a voice or a pronunciation is marked.
QString AccentMark(TAccent accent);
// "英音" or "美音", as the choice is offered.
QString AccentName(TAccent accent);
