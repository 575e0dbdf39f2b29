#include "ArrowSprite.h"

#include <array>

QImage MakeArrowSprite()
{
    // '#' the head and fletching, '|' the shaft, '.' transparent.
    static constexpr std::array<const char *, 15> rows = {
        "....##....",
        "...####...",
        "..######..",
        ".########.",
        "###.||.###",
        "....||....",
        "....||....",
        "....||....",
        "....||....",
        "....||....",
        "...#||#...",
        "..##||##..",
        ".##.||.##.",
        ".#..||..#.",
        "....||....",
    };
    const QRgb head = qRgb(255, 244, 190);
    const QRgb shaft = qRgb(255, 255, 255);
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
