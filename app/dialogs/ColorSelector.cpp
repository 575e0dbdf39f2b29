#include "ColorSelector.h"

#include <QColorDialog>
#include <QPainter>
#include <QPixmap>

namespace {

const QSize kSwatchSize(56, 16);

TColorPicker &currentPicker()
{
    static TColorPicker picker;
    return picker;
}

std::optional<QColor> pickWithDialog(QWidget *parent, const QColor &initial)
{
    const QColor chosen = QColorDialog::getColor(initial, parent, QStringLiteral("选择颜色"));
    if (!chosen.isValid())
        return std::nullopt;
    return chosen;
}

}  // namespace

QColor ColorRefToQColor(std::uint32_t colorRef)
{
    return QColor(static_cast<int>(colorRef & 0xFF), static_cast<int>((colorRef >> 8) & 0xFF),
                  static_cast<int>((colorRef >> 16) & 0xFF));
}

std::uint32_t QColorToColorRef(const QColor &color)
{
    const QColor rgb = color.toRgb();
    return static_cast<std::uint32_t>(rgb.red()) | (static_cast<std::uint32_t>(rgb.green()) << 8)
           | (static_cast<std::uint32_t>(rgb.blue()) << 16);
}

void SetColorPicker(TColorPicker picker)
{
    currentPicker() = std::move(picker);
}

TColorSelector::TColorSelector(QWidget *parent) : QPushButton(parent)
{
    setIconSize(kSwatchSize);
    setToolTip(QStringLiteral("单击选择颜色"));
    connect(this, &QPushButton::clicked, this, &TColorSelector::PickColor);
    showSwatch();
}

void TColorSelector::SetColorValue(std::uint32_t colorRef)
{
    // Only the low 24 bits carry a colour.
    colorRef &= 0xFFFFFF;
    if (colorRef == m_color)
        return;
    m_color = colorRef;
    showSwatch();
}

void TColorSelector::PickColor()
{
    const TColorPicker picker = currentPicker();
    const QColor initial = ColorRefToQColor(m_color);
    const std::optional<QColor> chosen =
        picker ? picker(this, initial) : pickWithDialog(this, initial);
    if (chosen && chosen->isValid())
        SetColorValue(QColorToColorRef(*chosen));
}

void TColorSelector::showSwatch()
{
    // The swatch is an icon, so no skin can paint over the colour it shows.
    QPixmap swatch(kSwatchSize);
    swatch.fill(ColorRefToQColor(m_color));
    QPainter painter(&swatch);
    painter.setPen(QColor(64, 64, 64));
    painter.drawRect(swatch.rect().adjusted(0, 0, -1, -1));
    painter.end();
    setIcon(QIcon(swatch));
    setAccessibleDescription(ColorRefToQColor(m_color).name());
}
