#pragma once
// Anti-aliased text by supersampling: the text is rasterised without Qt's own
// smoothing, white on black, at three times the font size into an 8-bit grey
// image; each 3 x 3 block becomes one coverage value, and the coverage blends
// the font colour into the pixels already on the surface. Done by hand rather
// than with Qt's anti-aliasing so the board's meaning lines look the same on
// every machine, whatever the font engine's hinting and gamma.
//
// On an image with a device-pixel ratio above 1 the mask is rasterised and
// blended at device pixels, while positions and extents stay logical.
//
// Texts are GBK bytes, like every string of the core.

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <QColor>
#include <QFont>
#include <QImage>
#include <QSize>

#include "LruCache.h"

// Reading a mask row that does not exist.
class EInvalidLine : public std::out_of_range {
public:
    EInvalidLine() : std::out_of_range("Invalid line!") {}
};

// What the renderer draws on: an RGB32 image with its current font, font
// colour and brush, the way the board's canvas drawing sets them.
struct TAASurface {
    QImage *Image = nullptr;  // not owned
    QFont Font;
    QColor FontColor = Qt::white;
    bool BrushClear = true;  // clear: text goes over what is there
    QColor BrushColor = Qt::white;
};

class TAAFont;

// A mask's values: Width x Height bytes, rows Stride bytes apart.
struct TAAMaskBits {
    int Width = 0;
    int Height = 0;
    int Stride = 0;
    std::vector<std::uint8_t> Bits;
};

// Extents and masks depend only on the font, the quality and the text, and a
// board redraws the same few texts on every key: renderers that share a cache
// measure and rasterise each text once. Each kind keeps at most Limit texts
// and forgets the one used longest ago, so a long game does not grow it; the
// board's default holds the texts of well over two toll gates of words.
class TAACache {
public:
    explicit TAACache(size_t limit = 512) : m_extents(limit), m_masks(limit) {}
    void Clear()
    {
        m_extents.Clear();
        m_masks.Clear();
        m_fontKeys.clear();
    }
    size_t Size() const { return m_extents.Size() + m_masks.Size(); }
    size_t Limit() const { return m_extents.Capacity(); }

    // QFont::key() of the font, kept for the few fonts a board draws in:
    // building it is dearer than the look-up it serves.
    const std::string &FontKey(const QFont &font)
    {
        for (const auto &[known, key] : m_fontKeys)
            if (known == font)
                return key;
        if (m_fontKeys.size() >= 8)
            m_fontKeys.clear();
        return m_fontKeys.emplace_back(font, font.key().toStdString()).second;
    }

private:
    friend class TAAFont;
    friend class TAAMask;
    TLruCache<std::string, QSize> m_extents;
    // Shared: a mask that shows a cached entry keeps it alive after the
    // cache has forgotten it.
    TLruCache<std::string, std::shared_ptr<const TAAMaskBits>> m_masks;
    std::vector<std::pair<QFont, std::string>> m_fontKeys;
};

// The coverage mask of one text: one byte per pixel, 0 no ink .. 254 full ink.
class TAAMask {
public:
    explicit TAAMask(TAAFont &owner) : m_owner(owner) {}

    // 0 gives 4x supersampling, 1 (the default, the board's) 3x, 2 gives 2x,
    // anything else 1x.
    std::uint8_t Quality = 1;
    int Scale() const;

    // Renders Text (GBK) in the surface's font; the mask takes its extent
    // in device pixels.
    void Rasterize(std::string_view Text);

    int Width() const { return m_shown->Width; }
    int Height() const { return m_shown->Height; }
    // Sets the size and clears every value.
    void Resize(int width, int height);
    // Rows 0 .. Height() - 1; any other row raises EInvalidLine.
    std::uint8_t *ScanLine(int y);
    const std::uint8_t *ScanLine(int y) const;

private:
    void Render(std::string_view Text);

    TAAFont &m_owner;
    TAAMaskBits m_bits;  // rows padded to a multiple of 4 bytes
    // What the mask shows: m_bits, or a cached mask (not copied: a key
    // redraws a dozen texts).
    std::shared_ptr<const TAAMaskBits> m_cached;
    const TAAMaskBits *m_shown = &m_bits;
    QImage m_work;  // the scaled text, reused from call to call
};

// Composites a mask onto the surface in the surface's font colour.
class TAABlend {
public:
    explicit TAABlend(TAAFont &owner) : m_owner(owner) {}
    // Opacity in percent.
    void Blend(int X, int Y, const TAAMask &mask, int opacity = 100);

private:
    TAAFont &m_owner;
    QImage m_work;  // 24-bit working copy, reused from call to call
};

class TAAFont {
public:
    // Binds the renderer to a surface it does not own.
    explicit TAAFont(TAASurface *surface);
    TAAFont(const TAAFont &) = delete;
    TAAFont &operator=(const TAAFont &) = delete;

    TAASurface *Surface() const { return m_surface; }
    TAAMask &Mask() { return m_mask; }
    // Shares measures and masks with other renderers; not owned.
    void SetCache(TAACache *cache) { m_cache = cache; }
    TAACache *Cache() const { return m_cache; }

    // The text's extent in the surface's font: the extent at three times the
    // size, each part divided by three and rounded up.
    QSize TextExtent(std::string_view Text) const;
    int TextWidth(std::string_view Text) const { return TextExtent(Text).width(); }
    int TextHeight(std::string_view Text) const { return TextExtent(Text).height(); }

    // Draws Text with its cell's top-left corner at (X, Y). Blur is not
    // supported; the board never asks for it.
    void TextOut(int X, int Y, std::string_view Text, int opacity = 100, int blur = 0);

    // The surface's font at Scale times its size, without Qt's smoothing.
    QFont ScaledFont(qreal scale) const;
    // The surface image's device-pixel ratio (1 without an image): masks
    // are that many times the extent.
    qreal DeviceRatio() const;
    // What identifies a text's extent and mask in the cache.
    std::string CacheKey(std::string_view Text) const;

private:
    QSize MeasureExtent(std::string_view Text) const;

    TAASurface *m_surface;
    TAACache *m_cache = nullptr;
    TAAMask m_mask;
    TAABlend m_blend;
};

// An extent measured at Scale times the size, brought back to the surface's:
// each part divided by Scale and rounded up.
QSize AAExtentFromScaled(QSize scaled, int scale);

// One 3 x 3 block reduced to a coverage value: the top-right and bottom-left
// samples count half, so full ink gives 254.
inline std::uint8_t AACoverage3x3(const std::uint8_t *a, const std::uint8_t *b,
                                  const std::uint8_t *c)
{
    const int sum = a[0] + a[1] + a[2] / 2 + b[0] + b[1] + b[2] + c[0] / 2 + c[1] + c[2];
    return static_cast<std::uint8_t>(sum / 8);
}

// One channel moved k/256 of the way towards the target, rounding down.
inline int AABlendChannel(int channel, int target, int k)
{
    const int delta = (target - channel) * k;
    // Floor division: a negative delta rounds towards minus infinity.
    return channel + (delta >= 0 ? delta / 256 : -((-delta + 255) / 256));
}
