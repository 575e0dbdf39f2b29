#pragma once
// A colour selector: a button that shows its colour as a swatch and opens the
// platform colour picker when clicked. Colours are 0x00BBGGRR values (red in
// the low byte), the layout the board and the settings file use.

#include <cstdint>
#include <functional>
#include <optional>

#include <QColor>
#include <QPushButton>

QColor ColorRefToQColor(std::uint32_t colorRef);
std::uint32_t QColorToColorRef(const QColor &color);

// Asks the player for a colour; nullopt when the picker was cancelled.
using TColorPicker = std::function<std::optional<QColor>(QWidget *parent, const QColor &initial)>;

// An empty picker goes back to QColorDialog.
void SetColorPicker(TColorPicker picker);

class TColorSelector : public QPushButton {
    Q_OBJECT
public:
    explicit TColorSelector(QWidget *parent = nullptr);

    std::uint32_t ColorValue() const { return m_color; }
    void SetColorValue(std::uint32_t colorRef);

    // Opens the picker; a chosen colour becomes the selector's colour.
    void PickColor();

private:
    void showSwatch();

    std::uint32_t m_color = 0;
};
