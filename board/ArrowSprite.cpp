#include "ArrowSprite.h"

#include <array>
#include <cmath>

#include <QPainter>
#include <QPainterPath>

namespace {

// The pattern's shape in its own 10 x 15 coordinates, anti-aliased.
QImage drawnArrow(qreal ratio, QRgb head, QRgb shaft)
{
    QImage image(static_cast<int>(std::ceil(10 * ratio)), static_cast<int>(std::ceil(15 * ratio)),
                 QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    image.setDevicePixelRatio(ratio);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor::fromRgb(shaft));
    painter.drawRect(QRectF(4, 4, 2, 11));
    painter.setBrush(QColor::fromRgb(head));
    QPainterPath point;
    point.moveTo(5, 0);
    point.lineTo(10, 4.6);
    point.lineTo(10, 5);
    point.lineTo(7, 5);
    point.lineTo(5, 3.8);
    point.lineTo(3, 5);
    point.lineTo(0, 5);
    point.lineTo(0, 4.6);
    point.closeSubpath();
    painter.drawPath(point);
    QPen fletching(QColor::fromRgb(head), 1.1, Qt::SolidLine, Qt::FlatCap);
    painter.setPen(fletching);
    painter.drawLine(QPointF(3.9, 10.4), QPointF(1.2, 13.8));
    painter.drawLine(QPointF(6.1, 10.4), QPointF(8.8, 13.8));
    return image;
}

}  // namespace

QImage MakeArrowSprite(qreal Ratio)
{
    // '#' the head and fletching, '|' the shaft, '.' transparent.
    static constexpr std::array<const char *, 15> rows = {
        "....##....", "...####...", "..######..", ".########.", "###.||.###",
        "....||....", "....||....", "....||....", "....||....", "....||....",
        "...#||#...", "..##||##..", ".##.||.##.", ".#..||..#.", "....||....",
    };
    const QRgb head = qRgb(255, 244, 190);
    const QRgb shaft = qRgb(255, 255, 255);
    if (Ratio != 1)
        return drawnArrow(Ratio, head, shaft);
    QImage image(10, static_cast<int>(rows.size()), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const char c = rows[static_cast<size_t>(y)][x];
            if (c == '#')
                line[x] = head;
            else if (c == '|')
                line[x] = shaft;
        }
    }
    return image;
}
