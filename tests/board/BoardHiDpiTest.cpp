// The board at a device-pixel ratio of 2: the same logical geometry, drawn
// with real detail at device pixels instead of a blown-up 1x picture.
#include <algorithm>

#include <gtest/gtest.h>

#include "AAFont.h"
#include "BoardTestSupport.h"

namespace {

// The board at 815 x 424 with both canvases partly on view.
struct Board815 {
    RandomScript random;
    PanelledBoard b{815, 424};

    explicit Board815(qreal ratio)
    {
        random->Fallback = 60;
        b->SetPixelRatio(ratio);
        b->StartGame(
            {Word("hello", "你好；喂"), Word("dragonfly", "蜻蜓"), Word("sharp", "锋利的")},
            nullptr);
        b.Ticks(300);
    }

    // One paint at the board's ratio onto an image of device pixels.
    QImage Frame() const
    {
        const qreal ratio = b->PixelRatio();
        QImage image((QSizeF(b->size()) * ratio).toSize(), QImage::Format_RGB32);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::black);
        QPainter painter(&image);
        b->Paint(painter);
        return image;
    }
};

QImage blownUp(const QImage &image)
{
    QImage big = image.scaled(image.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    big.setDevicePixelRatio(2);
    return big;
}

// Of the aligned 2 x 2 blocks that hold any pixel other than Ground and
// black (what the paint left uncovered), the share whose four pixels are
// not all the same: 0 for a 2x blow-up.
double detailedShare(const QImage &image, QRgb ground)
{
    int inked = 0;
    int detailed = 0;
    for (int y = 0; y + 1 < image.height(); y += 2) {
        const auto *a = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        const auto *b = reinterpret_cast<const QRgb *>(image.constScanLine(y + 1));
        for (int x = 0; x + 1 < image.width(); x += 2) {
            const QRgb p[4] = {a[x], a[x + 1], b[x], b[x + 1]};
            if (std::all_of(std::begin(p), std::end(p),
                            [ground](QRgb q) { return q == ground || q == qRgb(0, 0, 0); }))
                continue;
            ++inked;
            if (!std::all_of(std::begin(p), std::end(p), [&p](QRgb q) { return q == p[0]; }))
                ++detailed;
        }
    }
    return inked == 0 ? 0 : static_cast<double>(detailed) / inked;
}

// The smallest rectangle, in logical pixels, holding every pixel that is
// neither Ground nor black (what the paint left uncovered).
QRect inkBounds(const QImage &image, QRgb ground)
{
    const qreal ratio = image.devicePixelRatio();
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (line[x] != ground && line[x] != qRgb(0, 0, 0))
                bounds |= QRect(static_cast<int>(x / ratio), static_cast<int>(y / ratio), 1, 1);
    }
    return bounds;
}

// The default background 0xB06948, which is also the test panel's colour.
const QRgb kCanvas = qRgb(0x48, 0x69, 0xB0);

}  // namespace

TEST(BoardHiDpi, GeometryStaysLogicalWhileTheBitmapsHoldDevicePixels)
{
    Board815 one(1);
    Board815 two(2);
    const TWordCanvas &c = two.b->WordCanvas1();
    EXPECT_EQ(c.Bitmap.size(), QSize(1630, 848));
    EXPECT_EQ(c.Bitmap.devicePixelRatio(), 2);
    EXPECT_EQ(LogicalSize(c.Bitmap), QSize(815, 424));
    EXPECT_EQ(two.b->Arrow().size(), QSize(20, 30));
    EXPECT_EQ(LogicalSize(two.b->Arrow()), QSize(10, 15));
    EXPECT_EQ(two.b->RowHeight(), 60);
    EXPECT_EQ(two.b->RowCount(), 7);
    // Same layout, same motion, box for box.
    EXPECT_EQ(c.SrcRect, one.b->WordCanvas1().SrcRect);
    EXPECT_EQ(c.DestRect, one.b->WordCanvas1().DestRect);
    ASSERT_EQ(c.Items.size(), one.b->WordCanvas1().Items.size());
    for (size_t i = 0; i < c.Items.size(); ++i) {
        const TRect &box = c.Items[i].BoxRect;
        EXPECT_EQ(box, one.b->WordCanvas1().Items[i].BoxRect);
        EXPECT_EQ(box.Right - box.Left, 180);
        EXPECT_EQ(box.Bottom - box.Top, 55);
    }
}

TEST(BoardHiDpi, TheFrameHasDetailAtDevicePixelsInTheSamePlaces)
{
    const QImage one = Board815(1).Frame();
    const QImage two = Board815(2).Frame();
    ASSERT_EQ(two.size(), QSize(1630, 848));

    // The measure tells a blow-up: none of its blocks has detail.
    EXPECT_EQ(detailedShare(blownUp(one), kCanvas), 0.0);
    // Spellings, meanings and frame edges drawn at device pixels: a good
    // share of the inked blocks mix pixels within themselves.
    EXPECT_GT(detailedShare(two, kCanvas), 0.3);

    // And it is the same picture: the text lies where it lies at 1x (a
    // glyph's anti-aliased edge may reach a pixel further).
    const QRect a = inkBounds(one, kCanvas);
    const QRect b = inkBounds(two, kCanvas);
    ASSERT_FALSE(a.isEmpty());
    EXPECT_LE(std::abs(a.left() - b.left()), 1) << a.left() << " " << b.left();
    EXPECT_LE(std::abs(a.top() - b.top()), 1) << a.top() << " " << b.top();
    EXPECT_LE(std::abs(a.right() - b.right()), 1) << a.right() << " " << b.right();
    EXPECT_LE(std::abs(a.bottom() - b.bottom()), 1) << a.bottom() << " " << b.bottom();
}

TEST(BoardHiDpi, BackToTheScreensRatioRedrawsExactlyAsAtOneX)
{
    Board815 plain(1);
    Board815 switched(2);
    switched.b->SetPixelRatio(1);
    EXPECT_EQ(switched.b->WordCanvas1().Bitmap.size(), QSize(815, 424));
    EXPECT_EQ(switched.Frame(), plain.Frame());
    EXPECT_EQ(switched.b->Arrow(), plain.b->Arrow());
}

TEST(BoardHiDpi, TheTextRendererKeepsDeviceMasksApartFromOneXMasks)
{
    TAACache cache;
    QImage image1(200, 40, QImage::Format_RGB32);
    QImage image2(400, 80, QImage::Format_RGB32);
    image2.setDevicePixelRatio(2);
    QFont font;
    font.setPixelSize(14);
    TAASurface s1;
    s1.Image = &image1;
    s1.Font = font;
    TAASurface s2 = s1;
    s2.Image = &image2;
    TAAFont aa1(&s1);
    TAAFont aa2(&s2);
    aa1.SetCache(&cache);
    aa2.SetCache(&cache);

    const std::string text = Gbk("Mixed 中文");
    const QSize extent = aa1.TextExtent(text);
    EXPECT_EQ(aa2.TextExtent(text), extent);  // measures stay logical
    aa1.Mask().Rasterize(text);
    aa2.Mask().Rasterize(text);
    EXPECT_EQ(aa1.Mask().Width(), aa1.TextWidth(text));
    EXPECT_EQ(aa2.Mask().Width(), 2 * extent.width());
    EXPECT_EQ(aa2.Mask().Height(), 2 * extent.height());

    // Blended at the device position of the logical point: nothing above
    // device row 20 for text whose cell starts at logical row 10.
    image2.fill(Qt::black);
    aa2.TextOut(5, 10, Gbk("Ink"));
    bool above = false;
    bool inked = false;
    for (int y = 0; y < image2.height(); ++y)
        for (int x = 0; x < image2.width(); ++x)
            if (image2.pixel(x, y) != qRgb(0, 0, 0))
                (y < 20 || x < 10 ? above : inked) = true;
    EXPECT_FALSE(above);
    EXPECT_TRUE(inked);
}
