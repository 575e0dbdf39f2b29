#pragma once
// Colours are stored (settings file, board properties) as 32-bit integers in
// the layout 0x00BBGGRR: red in the low byte.

#include <cstdint>

#include <QColor>

using TColor = std::int32_t;

// The high byte is ignored; the result is opaque.
QColor ColorToQColor(TColor color);
// Alpha is dropped.
TColor QColorToColor(const QColor &color);
