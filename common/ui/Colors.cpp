#include "Colors.h"

QColor ColorToQColor(TColor color)
{
    const auto v = static_cast<std::uint32_t>(color);
    return QColor(static_cast<int>(v & 0xFFu), static_cast<int>((v >> 8) & 0xFFu),
                  static_cast<int>((v >> 16) & 0xFFu));
}

TColor QColorToColor(const QColor &color)
{
    const QColor rgb = color.toRgb();
    const auto v = static_cast<std::uint32_t>(rgb.red())
                   | (static_cast<std::uint32_t>(rgb.green()) << 8)
                   | (static_cast<std::uint32_t>(rgb.blue()) << 16);
    return static_cast<TColor>(v);
}
