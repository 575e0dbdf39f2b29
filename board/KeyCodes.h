#pragma once
// The keys the board accepts, as toolkit-neutral key codes: 65-90 for the
// letters, 32 for the space bar and 189 for the hyphen key of the main
// keyboard. The host turns each key release into a code and a shift state
// with KeyStrokeFromKeyEvent and hands them to the board's TypeKey.

#include <cstdint>
#include <string>

#include <Qt>

class QKeyEvent;

inline constexpr std::uint16_t kKeySpace = 32;
inline constexpr std::uint16_t kKeyA = 65;
inline constexpr std::uint16_t kKeyZ = 90;
inline constexpr std::uint16_t kKeyHyphen = 189;

// The modifier set TypeKey needs: Shift held, Caps Lock toggled on.
struct TShiftState {
    bool Shift = false;
    bool CapsLock = false;
};

// The code of a Qt key, or 0 for a key the board ignores. Key_Minus and
// Key_Underscore (the hyphen key with or without Shift) map to the hyphen
// key only off the keypad.
std::uint16_t KeyCodeFromQtKey(int qtKey, Qt::KeyboardModifiers modifiers);

struct TKeyStroke {
    std::uint16_t Key = 0;  // 0: not a key the board accepts
    TShiftState Shift;
};

// A key release as the board takes it. Qt reports no lock state, so Caps
// Lock is read from a letter's text: a capital without Shift, or a small
// letter with Shift, means it is on. For other keys it does not matter.
TKeyStroke KeyStrokeFromKeyEvent(const QKeyEvent &event);

// The character a key types (GBK, one byte), or empty for an ignored key.
// A letter is small unless exactly one of Shift and Caps Lock holds.
std::string TypedCharacter(std::uint16_t Key, TShiftState Shift);
