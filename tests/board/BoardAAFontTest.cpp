// The supersampling text renderer: extents, the 3 x 3 weighting, the blend.
#include <set>

#include <gtest/gtest.h>

#include <QFontMetrics>

#include "AAFont.h"
#include "Fonts.h"
#include "GbkText.h"

namespace {

struct Surface {
    QImage Image;
    TAASurface S;
    explicit Surface(QColor fill, QSize size = QSize(64, 48)) : Image(size, QImage::Format_RGB32)
    {
        Image.fill(fill);
        S.Image = &Image;
        S.Font = QFont(ArialFamily());
        S.Font.setPixelSize(16);
        S.FontColor = Qt::white;
    }
};

TEST(BoardAAFont, FullInkMovesWhite254Of256OfTheWay)
{
    Surface s(QColor(72, 105, 176));
    TAAFont aa(&s.S);
    TAAMask mask(aa);
    mask.Resize(3, 1);
    mask.ScanLine(0)[0] = 254;
    mask.ScanLine(0)[1] = 0;
    mask.ScanLine(0)[2] = 128;
    TAABlend blend(aa);
    blend.Blend(10, 10, mask);
    EXPECT_EQ(s.Image.pixelColor(10, 10), QColor(253, 253, 254));
    EXPECT_EQ(s.Image.pixelColor(11, 10), QColor(72, 105, 176));
    // 72 + 183 * 128 / 256 = 163.5, 105 + 75, 176 + 39.5: rounded down.
    EXPECT_EQ(s.Image.pixelColor(12, 10), QColor(163, 180, 215));
    EXPECT_EQ(s.Image.pixelColor(13, 10), QColor(72, 105, 176));
}

TEST(BoardAAFont, BlendRoundsTowardsMinusInfinity)
{
    Surface s(QColor(255, 255, 255));
    s.S.FontColor = QColor(0, 0, 0);
    TAAFont aa(&s.S);
    TAAMask mask(aa);
    mask.Resize(1, 1);
    mask.ScanLine(0)[0] = 128;
    TAABlend blend(aa);
    blend.Blend(0, 0, mask);
    // 255 + floor(-255 * 128 / 256) = 255 - 128.
    EXPECT_EQ(s.Image.pixelColor(0, 0), QColor(127, 127, 127));
    // Half opacity halves the coverage: k = 128 * 128 div 256 = 64.
    Surface t(QColor(255, 255, 255));
    t.S.FontColor = QColor(0, 0, 0);
    TAAFont aa2(&t.S);
    TAABlend half(aa2);
    half.Blend(0, 0, mask, 50);
    EXPECT_EQ(t.Image.pixelColor(0, 0), QColor(191, 191, 191));
}

TEST(BoardAAFont, CoverageWeighsTheOtherCornersHalf)
{
    const std::uint8_t full[3] = {255, 255, 255};
    const std::uint8_t none[3] = {0, 0, 0};
    EXPECT_EQ(AACoverage3x3(full, full, full), 254);
    EXPECT_EQ(AACoverage3x3(none, none, none), 0);
    const std::uint8_t topRight[3] = {0, 0, 255};
    const std::uint8_t bottomLeft[3] = {255, 0, 0};
    const std::uint8_t topLeft[3] = {255, 0, 0};
    EXPECT_EQ(AACoverage3x3(topRight, none, none), 127 / 8);
    EXPECT_EQ(AACoverage3x3(none, none, bottomLeft), 127 / 8);
    EXPECT_EQ(AACoverage3x3(topLeft, none, none), 255 / 8);
    EXPECT_EQ(AACoverage3x3(none, full, none), 765 / 8);
}

TEST(BoardAAFont, ExtentIsTheScaledExtentDividedByThreeRoundedUp)
{
    EXPECT_EQ(AAExtentFromScaled(QSize(50, 48), 3), QSize(17, 16));
    EXPECT_EQ(AAExtentFromScaled(QSize(51, 49), 3), QSize(17, 17));
    EXPECT_EQ(AAExtentFromScaled(QSize(0, 0), 3), QSize(0, 0));

    Surface s(Qt::black);
    TAAFont aa(&s.S);
    const QFontMetrics scaled(aa.ScaledFont(3));
    const int cx = scaled.horizontalAdvance(QStringLiteral("apple"));
    EXPECT_EQ(aa.TextWidth("apple"), (cx + 2) / 3);
    EXPECT_EQ(aa.TextHeight("apple"), (scaled.height() + 2) / 3);
    EXPECT_EQ(aa.ScaledFont(3).pixelSize(), 48);
    EXPECT_EQ(aa.TextWidth(""), 0);
}

TEST(BoardAAFont, ReadingARowOutsideTheMaskRaises)
{
    Surface s(Qt::black);
    TAAFont aa(&s.S);
    TAAMask mask(aa);
    mask.Resize(5, 4);
    EXPECT_NO_THROW(mask.ScanLine(3));
    EXPECT_THROW(mask.ScanLine(4), EInvalidLine);
    try {
        mask.ScanLine(-1);
        ADD_FAILURE() << "no exception";
    } catch (const EInvalidLine &e) {
        EXPECT_STREQ(e.what(), "Invalid line!");
    }
}

TEST(BoardAAFont, AnEmptyTextDrawsNothing)
{
    Surface s(QColor(72, 105, 176));
    const QImage before = s.Image;
    TAAFont aa(&s.S);
    aa.TextOut(0, 0, "");
    EXPECT_EQ(s.Image, before);
}

TEST(BoardAAFont, TextIsDrawnInsideItsCellWithFullInkAtMost254)
{
    Surface s(QColor(72, 105, 176), QSize(200, 120));
    s.S.Font.setPixelSize(60);
    s.S.Font.setBold(true);
    TAAFont aa(&s.S);
    const QSize extent = aa.TextExtent("IH");
    aa.TextOut(20, 30, "IH");
    int inked = 0;
    int full = 0;
    for (int y = 0; y < s.Image.height(); ++y)
        for (int x = 0; x < s.Image.width(); ++x) {
            const QColor c = s.Image.pixelColor(x, y);
            if (c == QColor(72, 105, 176))
                continue;
            ++inked;
            EXPECT_TRUE(x >= 20 && x < 20 + extent.width() && y >= 30 && y < 30 + extent.height())
                << x << "," << y;
            // Never more than full ink, which stops just short of white.
            EXPECT_LE(c.red(), 253);
            EXPECT_LE(c.blue(), 254);
            if (c == QColor(253, 253, 254))
                ++full;
        }
    EXPECT_GT(inked, 100);
    EXPECT_GT(full, 100);  // thick strokes hold whole 3 x 3 blocks
}

TEST(BoardAAFont, MasksAreSmoothedOnlyByTheirOwnWeighting)
{
    // The scaled text is rasterised without Qt's smoothing: every sample is 0
    // or 255, so every coverage value is a sum of whole and half samples / 8.
    Surface s(Qt::black);
    s.S.Font = QFont(SongTiFamily());
    s.S.Font.setPixelSize(13);
    s.S.Font.setBold(true);
    TAAFont aa(&s.S);
    EXPECT_TRUE(aa.ScaledFont(3).styleStrategy() & QFont::NoAntialias);
    aa.Mask().Rasterize(Gbk("中文"));
    std::set<int> possible;
    for (int whole = 0; whole <= 7; ++whole)
        for (int half = 0; half <= 2; ++half)
            possible.insert((whole * 255 + half * 127) / 8);
    int inked = 0;
    for (int y = 0; y < aa.Mask().Height(); ++y)
        for (int x = 0; x < aa.Mask().Width(); ++x) {
            const int v = aa.Mask().ScanLine(y)[x];
            inked += v > 0;
            EXPECT_TRUE(possible.count(v)) << v;
        }
    EXPECT_GT(inked, 20);
}

TEST(BoardAAFont, TextPartlyOffTheSurfaceIsClipped)
{
    Surface s(QColor(72, 105, 176), QSize(20, 10));
    TAAFont aa(&s.S);
    EXPECT_NO_THROW(aa.TextOut(-10, -8, "WWWW"));
    EXPECT_NO_THROW(aa.TextOut(15, 5, "WWWW"));
    bool changed = false;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            changed |= s.Image.pixelColor(x, y) != QColor(72, 105, 176);
    EXPECT_TRUE(changed);
}

}  // namespace

namespace {

TEST(BoardAAFont, ASharedCacheGivesTheSameMeasuresAndPixels)
{
    TAACache cache;
    Surface plain(QColor(72, 105, 176), QSize(200, 40));
    Surface cached(QColor(72, 105, 176), QSize(200, 40));
    TAAFont a(&plain.S);
    TAAFont b(&cached.S);
    b.SetCache(&cache);
    for (int round = 0; round < 2; ++round) {
        for (const char *text : {"apple", "banana"}) {
            EXPECT_EQ(a.TextExtent(text), b.TextExtent(text));
            a.TextOut(3, 4 + 12 * round, text);
            b.TextOut(3, 4 + 12 * round, text);
        }
    }
    EXPECT_EQ(plain.Image, cached.Image);
    EXPECT_GT(cache.Size(), 0u);

    // Another font is another entry, not a stale hit.
    const int narrow = b.TextWidth("apple");
    cached.S.Font.setPixelSize(32);
    plain.S.Font.setPixelSize(32);
    EXPECT_GT(b.TextWidth("apple"), narrow);
    EXPECT_EQ(b.TextWidth("apple"), a.TextWidth("apple"));
    b.TextOut(3, 4, "apple");
    a.TextOut(3, 4, "apple");
    EXPECT_EQ(plain.Image, cached.Image);
}

}  // namespace
