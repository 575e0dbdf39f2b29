#include "KeyCodes.h"

#include <QKeyEvent>

std::uint16_t KeyCodeFromQtKey(int qtKey, Qt::KeyboardModifiers modifiers)
{
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return static_cast<std::uint16_t>(kKeyA + (qtKey - Qt::Key_A));
    if (qtKey == Qt::Key_Space)
        return kKeySpace;
    if ((qtKey == Qt::Key_Minus || qtKey == Qt::Key_Underscore)
        && !modifiers.testFlag(Qt::KeypadModifier))
        return kKeyHyphen;
    return 0;
}

TKeyStroke KeyStrokeFromKeyEvent(const QKeyEvent &event)
{
    TKeyStroke stroke;
    stroke.Key = KeyCodeFromQtKey(event.key(), event.modifiers());
    stroke.Shift.Shift = event.modifiers().testFlag(Qt::ShiftModifier);
    const QString text = event.text();
    if (stroke.Key >= kKeyA && stroke.Key <= kKeyZ && text.size() == 1 && text[0].isLetter()) {
        const bool capital = text[0].isUpper();
        stroke.Shift.CapsLock = capital != stroke.Shift.Shift;
    }
    return stroke;
}

std::string TypedCharacter(std::uint16_t Key, TShiftState Shift)
{
    if (Key >= kKeyA && Key <= kKeyZ) {
        const bool capital = Shift.Shift != Shift.CapsLock;
        const char upper = static_cast<char>(Key);
        return std::string(1, capital ? upper : static_cast<char>(upper - 'A' + 'a'));
    }
    if (Key == kKeySpace)
        return " ";
    if (Key == kKeyHyphen)
        return "-";
    return {};
}
