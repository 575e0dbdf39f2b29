#include "AAFont.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

#include <QFontMetrics>
#include <QPainter>

#include "GbkText.h"

namespace {

bool isRgb32(const QImage &image)
{
    switch (image.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
        return true;
    default:
        return false;
    }
}

}  // namespace

// ---------------------------------------------------------------- TAAMask

int TAAMask::Scale() const
{
    switch (Quality) {
    case 0:
        return 4;
    case 1:
        return 3;
    case 2:
        return 2;
    default:
        return 1;
    }
}

void TAAMask::Resize(int width, int height)
{
    m_cached.reset();
    m_shown = &m_bits;
    m_bits.Width = std::max(width, 0);
    m_bits.Height = std::max(height, 0);
    m_bits.Stride = (m_bits.Width + 3) / 4 * 4;
    m_bits.Bits.assign(static_cast<size_t>(m_bits.Stride) * static_cast<size_t>(m_bits.Height), 0);
}

std::uint8_t *TAAMask::ScanLine(int y)
{
    if (m_shown != &m_bits) {
        // Writable rows: a private copy of the cached mask.
        m_bits = *m_shown;
        m_cached.reset();
        m_shown = &m_bits;
    }
    if (y < 0 || y >= m_bits.Height)
        throw EInvalidLine();
    return m_bits.Bits.data() + static_cast<size_t>(y) * static_cast<size_t>(m_bits.Stride);
}

const std::uint8_t *TAAMask::ScanLine(int y) const
{
    if (y < 0 || y >= m_shown->Height)
        throw EInvalidLine();
    return m_shown->Bits.data() + static_cast<size_t>(y) * static_cast<size_t>(m_shown->Stride);
}

void TAAMask::Rasterize(std::string_view Text)
{
    TAACache *cache = m_owner.Cache();
    if (cache == nullptr) {
        Render(Text);
        return;
    }
    std::string key = m_owner.CacheKey(Text);
    if (const auto *hit = cache->m_masks.Find(key)) {
        m_cached = *hit;
        m_shown = m_cached.get();
        return;
    }
    Render(Text);
    m_cached = cache->m_masks.Insert(std::move(key), std::make_shared<const TAAMaskBits>(m_bits));
    m_shown = m_cached.get();
}

void TAAMask::Render(std::string_view Text)
{
    const int s = Scale();
    const qreal ratio = m_owner.DeviceRatio();
    QSize extent = m_owner.TextExtent(Text);
    if (ratio != 1)
        extent = QSize(static_cast<int>(std::ceil(extent.width() * ratio)),
                       static_cast<int>(std::ceil(extent.height() * ratio)));
    Resize(extent.width(), extent.height());
    const int w = m_bits.Width;
    const int h = m_bits.Height;
    if (w == 0 || h == 0)
        return;

    // The working image: the text in white on black at s times the size.
    // Qt's raster engine blits glyphs into 32-bit images directly (into 8-bit
    // ones it goes through generic span fills, several times slower); white
    // on black leaves every channel 0 or 255, so one channel is the grey.
    const int gw = w * s;
    const int gh = h * s;
    if (m_work.width() < gw || m_work.height() < gh)
        m_work = QImage(std::max(gw, m_work.width()), std::max(gh, m_work.height()),
                        QImage::Format_RGB32);
    m_work.fill(Qt::black);
    {
        const QFont font = m_owner.ScaledFont(s * ratio);
        QPainter painter(&m_work);
        painter.setClipRect(0, 0, gw, gh);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(0, QFontMetrics(font).ascent(), GbkToQString(Text));
    }
    const auto row = [this](int y) {
        return reinterpret_cast<const QRgb *>(m_work.constScanLine(y));
    };

    for (int y = 0; y < h; ++y) {
        std::uint8_t *out = ScanLine(y);
        if (s == 3) {
            const QRgb *a = row(3 * y);
            const QRgb *b = row(3 * y + 1);
            const QRgb *c = row(3 * y + 2);
            const auto grey = [](const QRgb *p, int x) {
                return static_cast<std::uint8_t>(qGreen(p[x]));
            };
            for (int x = 0; x < w; ++x) {
                const int i = 3 * x;
                const std::uint8_t ra[3] = {grey(a, i), grey(a, i + 1), grey(a, i + 2)};
                const std::uint8_t rb[3] = {grey(b, i), grey(b, i + 1), grey(b, i + 2)};
                const std::uint8_t rc[3] = {grey(c, i), grey(c, i + 1), grey(c, i + 2)};
                out[x] = AACoverage3x3(ra, rb, rc);
            }
        } else {
            // Other qualities: the plain mean of the block.
            for (int x = 0; x < w; ++x) {
                int sum = 0;
                for (int j = 0; j < s; ++j) {
                    const QRgb *samples = row(s * y + j) + static_cast<ptrdiff_t>(s) * x;
                    for (int i = 0; i < s; ++i)
                        sum += qGreen(samples[i]);
                }
                out[x] = static_cast<std::uint8_t>(sum / (s * s));
            }
        }
    }
}

// ---------------------------------------------------------------- TAABlend

void TAABlend::Blend(int X, int Y, const TAAMask &mask, int opacity)
{
    TAASurface *surface = m_owner.Surface();
    if (surface == nullptr || surface->Image == nullptr || surface->Image->isNull())
        return;
    const int w = mask.Width();
    const int h = mask.Height();
    if (w == 0 || h == 0)
        return;
    QImage &target = *surface->Image;
    // The mask is in device pixels; so is where it goes.
    if (const qreal ratio = target.devicePixelRatio(); ratio != 1) {
        X = qRound(X * ratio);
        Y = qRound(Y * ratio);
    }
    const int f = opacity * 256 / 100;
    const QColor colour = surface->FontColor.toRgb();
    const int R = colour.red();
    const int G = colour.green();
    const int B = colour.blue();

    const QRect area = QRect(X, Y, w, h).intersected(target.rect());
    const bool direct = isRgb32(target);

    if (surface->BrushClear && target.format() == QImage::Format_RGB32) {
        // The board's case: straight into the surface, with the same
        // arithmetic as through the working copy below but without its
        // copies in and out (and its reallocation for every new size of
        // text). Pixels without ink are left alone: in RGB32 their alpha is
        // already the 0xFF the copy back would write.
        if (area.isEmpty())
            return;
        int weight[256];
        for (int m = 0; m < 256; ++m)
            weight[m] = m * f / 256;
        uchar *bits = target.bits();
        const qsizetype stride = target.bytesPerLine();
        for (int y = area.top(); y <= area.bottom(); ++y) {
            const std::uint8_t *m = mask.ScanLine(y - Y) + (area.left() - X);
            auto *out = reinterpret_cast<QRgb *>(bits + y * stride);
            for (int x = area.left(); x <= area.right(); ++x, ++m) {
                // Most of a text's cell has no ink: skip it eight bytes at a time.
                if (x + 8 <= area.right() + 1) {
                    std::uint64_t eight = 0;
                    std::memcpy(&eight, m, sizeof eight);
                    if (eight == 0) {
                        x += 7;
                        m += 7;
                        continue;
                    }
                }
                const int k = weight[*m];
                if (k == 0)
                    continue;
                if (k >= 255) {
                    out[x] = qRgb(R, G, B);
                    continue;
                }
                const QRgb p = out[x];
                out[x] = qRgb(AABlendChannel(qRed(p), R, k), AABlendChannel(qGreen(p), G, k),
                              AABlendChannel(qBlue(p), B, k));
            }
        }
        return;
    }

    if (m_work.width() != w || m_work.height() != h)
        m_work = QImage(w, h, QImage::Format_RGB888);

    // Fill the working copy: what the surface shows there, or the brush.
    if (surface->BrushClear) {
        m_work.fill(Qt::black);
        for (int y = area.top(); y <= area.bottom(); ++y) {
            std::uint8_t *out =
                m_work.scanLine(y - Y) + 3 * static_cast<ptrdiff_t>(area.left() - X);
            const auto *in =
                direct ? reinterpret_cast<const QRgb *>(target.constScanLine(y)) : nullptr;
            for (int x = area.left(); x <= area.right(); ++x, out += 3) {
                const QRgb p = direct ? in[x] : target.pixel(x, y);
                out[0] = static_cast<std::uint8_t>(qRed(p));
                out[1] = static_cast<std::uint8_t>(qGreen(p));
                out[2] = static_cast<std::uint8_t>(qBlue(p));
            }
        }
    } else {
        m_work.fill(surface->BrushColor.toRgb());
    }

    for (int y = 0; y < h; ++y) {
        const std::uint8_t *m = mask.ScanLine(y);
        std::uint8_t *px = m_work.scanLine(y);
        for (int x = 0; x < w; ++x, px += 3) {
            const int k = m[x] * f / 256;
            if (k == 0)
                continue;
            if (k >= 255) {
                px[0] = static_cast<std::uint8_t>(R);
                px[1] = static_cast<std::uint8_t>(G);
                px[2] = static_cast<std::uint8_t>(B);
                continue;
            }
            px[0] = static_cast<std::uint8_t>(AABlendChannel(px[0], R, k));
            px[1] = static_cast<std::uint8_t>(AABlendChannel(px[1], G, k));
            px[2] = static_cast<std::uint8_t>(AABlendChannel(px[2], B, k));
        }
    }

    // Copy back what lies on the surface.
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const std::uint8_t *in =
            m_work.constScanLine(y - Y) + 3 * static_cast<ptrdiff_t>(area.left() - X);
        auto *out = direct ? reinterpret_cast<QRgb *>(target.scanLine(y)) : nullptr;
        for (int x = area.left(); x <= area.right(); ++x, in += 3) {
            const QRgb p = qRgb(in[0], in[1], in[2]);
            if (direct)
                out[x] = p;
            else
                target.setPixel(x, y, p);
        }
    }
}

// ---------------------------------------------------------------- TAAFont

TAAFont::TAAFont(TAASurface *surface) : m_surface(surface), m_mask(*this), m_blend(*this) {}

qreal TAAFont::DeviceRatio() const
{
    const QImage *image = m_surface != nullptr ? m_surface->Image : nullptr;
    return image != nullptr && !image->isNull() ? image->devicePixelRatio() : 1;
}

QFont TAAFont::ScaledFont(qreal scale) const
{
    QFont font = m_surface != nullptr ? m_surface->Font : QFont();
    if (font.pixelSize() > 0)
        font.setPixelSize(qRound(font.pixelSize() * scale));
    else
        font.setPointSizeF(font.pointSizeF() * scale);
    font.setStyleStrategy(QFont::StyleStrategy(font.styleStrategy() | QFont::NoAntialias));
    return font;
}

QSize AAExtentFromScaled(QSize scaled, int scale)
{
    const auto up = [scale](int v) { return v <= 0 ? 0 : (v + scale - 1) / scale; };
    return {up(scaled.width()), up(scaled.height())};
}

std::string TAAFont::CacheKey(std::string_view Text) const
{
    std::string key = m_surface == nullptr ? std::string()
                      : m_cache != nullptr ? m_cache->FontKey(m_surface->Font)
                                           : m_surface->Font.key().toStdString();
    key += '\0';
    key += static_cast<char>(m_mask.Quality);
    if (const qreal ratio = DeviceRatio(); ratio != 1) {
        key += 'x';
        key += std::to_string(ratio);
        key += '\0';
    }
    key.append(Text);
    return key;
}

QSize TAAFont::TextExtent(std::string_view Text) const
{
    if (m_cache == nullptr)
        return MeasureExtent(Text);
    std::string key = CacheKey(Text);
    if (const QSize *hit = m_cache->m_extents.Find(key))
        return *hit;
    return m_cache->m_extents.Insert(std::move(key), MeasureExtent(Text));
}

QSize TAAFont::MeasureExtent(std::string_view Text) const
{
    const int s = m_mask.Scale();
    const QFontMetrics metrics(ScaledFont(s));
    const QSize scaled(metrics.horizontalAdvance(GbkToQString(Text)), metrics.height());
    return AAExtentFromScaled(scaled, s);
}

void TAAFont::TextOut(int X, int Y, std::string_view Text, int opacity, int blur)
{
    (void)blur;
    if (m_surface == nullptr || Text.empty())
        return;
    m_mask.Rasterize(Text);
    m_blend.Blend(X, Y, m_mask, opacity);
}
