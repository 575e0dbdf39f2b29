// The board's two drawing stages: word boxes are drawn into the canvas bitmaps
// only when something about them changes; a paint just copies the visible
// parts of the bitmaps to the board and draws the shots.
#include "UTypeGameType.h"

#include <algorithm>

#include <QFontMetrics>
#include <QPainter>
#include <QPaintEvent>

#include "AAFont.h"
#include "BoxAnswers.h"
#include "GbkText.h"
#include "TextUtils.h"

// What one redraw of a canvas needs at hand: the surface the anti-aliased
// renderer draws on, and the measures of the board's fonts.
struct TCanvasDrawing {
    TAASurface Surface;
    TAAFont AA{&Surface};
    QFontMetrics WordMetrics;
    int WordHeight;  // hw: the pixel size of WordFont
    int MeanHeight;  // hm: the pixel size of MeanFont

    TCanvasDrawing(QImage *image, const TBoardFont &wordFont, const TBoardFont &meanFont,
                   TAACache *cache)
        : WordMetrics(wordFont.Font), WordHeight(wordFont.Font.pixelSize()),
          MeanHeight(meanFont.Font.pixelSize())
    {
        Surface.Image = image;
        Surface.BrushClear = true;
        AA.SetCache(cache);
    }

    void Select(const TBoardFont &font)
    {
        Surface.Font = font.Font;
        Surface.FontColor = ColorToQColor(font.Color);
    }
};

namespace {

QRect toQRect(const TRect &r)
{
    return QRect(r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
}

// Text drawn "at y" has the top of its character cell at y.
void drawTextAt(QPainter &painter, const TBoardFont &font, int x, int y, std::string_view gbk)
{
    if (gbk.empty())
        return;
    painter.setFont(font.Font);
    painter.setPen(ColorToQColor(font.Color));
    painter.drawText(x, y + QFontMetrics(font.Font).ascent(), GbkToQString(gbk));
}

}  // namespace

QColor TTypeGameType::PanelColor() const
{
    const QWidget *panel = parentWidget();
    return (panel != nullptr ? panel->palette() : palette()).color(QPalette::Window);
}

void TTypeGameType::RedrawWords()
{
    DrawWordCanvas(1);
    DrawWordCanvas(2);
    update();
}

void TTypeGameType::DrawWordCanvas(int CanvasId)
{
    TWordCanvas &c = Canvas(CanvasId);
    if (c.Bitmap.isNull())
        return;  // a board too small for any word box
    m_canvasRedrawn = true;
    TCanvasDrawing drawing(&c.Bitmap, m_wordFont, m_meanFont, &m_aaCache);
    QPainter painter(&c.Bitmap);
    DrawWordCanvasPass(c, painter, drawing);
}

void TTypeGameType::DrawWordCanvasPass(TWordCanvas &C, QPainter &Painter, TCanvasDrawing &Drawing)
{
    const int w = LogicalSize(C.Bitmap).width();
    const int h = LogicalSize(C.Bitmap).height();
    const int hw = Drawing.WordHeight;
    const int hm = Drawing.MeanHeight;

    // The background inside a one-pixel frame in the panel's colour. Solid
    // rectangles take the raster engine's plain fill; an outlined rectangle
    // would go through its span filler, which hands long edges to threads.
    Painter.setClipping(false);
    Painter.fillRect(0, 0, w, h, ColorToQColor(m_backGroundColor));
    const QColor panel = PanelColor();
    Painter.fillRect(0, 0, w, 1, panel);
    Painter.fillRect(0, h - 1, w, 1, panel);
    Painter.fillRect(0, 0, 1, h, panel);
    Painter.fillRect(w - 1, 0, 1, h, panel);

    const bool showMeaning = m_wordDisType != TWordDisType::wdtSpell;
    const bool showSpelling = !m_dictation && m_wordDisType != TWordDisType::wdtMean;
    for (size_t index = 0; index < C.Items.size(); ++index) {
        TTypeWordItem &item = C.Items[index];
        if (item.ShotDown)
            continue;
        const TRect &box = item.BoxRect;

        // How wide the widest text of the box is, for the repaint of a
        // motion tick (MotionRegion); a few pixels spare for the glyphs'
        // overhang and for the spelling's own measure, which is not the
        // anti-aliased renderer's.
        int widest = 0;
        int lineCount = 0;
        if (showMeaning) {
            const TStringList &lines = MeaningLines(item.WordInfo.Meaning, Drawing);
            lineCount = static_cast<int>(lines.size());
            const int m =
                lineCount >= 2 ? kWordBoxHeight - (hw + 2) * 2 : kWordBoxHeight - (hw + 2);
            Drawing.Select(m_meanFont);
            for (int i = 0; i < std::min(lineCount, 2); ++i) {
                const std::string &line = lines[static_cast<size_t>(i)];
                const int lineWidth = Drawing.AA.TextWidth(line);
                widest = std::max(widest, lineWidth);
                const auto x = static_cast<int>(RoundHalfEven((kWordBoxWidth - lineWidth) / 2.0));
                Drawing.AA.TextOut(box.Left + x, box.Top + m + i * (hm + 2), line);
            }
        }
        const int n = (lineCount >= 2 ? 2 : 1) + 1;

        // Match the pending key; a word out of view loses its progress.
        int d = -1;
        if (!IsWordVisible(C, item))
            ClearBoxTyping(item);
        else
            d = MatchTypedKey(item);

        // The answer the typed letters follow: the word's spelling unless
        // the box accepts others and the player is typing one of them.
        const std::string &spelling = BoxFollowedAnswer(item);
        Drawing.Select(m_wordFont);
        // A blanked box shows its typed letters, then a '_' for each letter
        // still to type, centred as the whole text.
        const size_t typedLength = d > 0 ? static_cast<size_t>(d) : 0;
        const std::string blank =
            item.Blanked
                ? std::string(spelling.size() - std::min(typedLength, spelling.size()), '_')
                : std::string();
        const int spellingWidth =
            item.Blanked ? Drawing.AA.TextWidth(spelling.substr(0, typedLength) + blank)
                         : Drawing.AA.TextWidth(spelling);
        const auto x = static_cast<int>(RoundHalfEven((kWordBoxWidth - spellingWidth) / 2.0));
        const int y = 53 - (hw + 2) * n;
        constexpr int kOverhang = 8;
        item.Overflows = std::max(widest, spellingWidth) + kOverhang > kWordBoxWidth ? 1 : 0;
        item.DrawnTyped = d;

        if (d >= 0) {
            // Typed letters, and the rest after them, run past the box if
            // they must: only the bitmap clips them.
            const std::string_view typed =
                std::string_view(spelling).substr(0, static_cast<size_t>(d));
            drawTextAt(Painter, m_typedFont, box.Left + x, box.Top + y, typed);
            if (item.Blanked || showSpelling) {
                const int typedWidth = Drawing.WordMetrics.horizontalAdvance(GbkToQString(typed));
                drawTextAt(Painter, m_wordFont, box.Left + x + typedWidth, box.Top + y,
                           item.Blanked
                               ? std::string_view(blank)
                               : std::string_view(spelling).substr(static_cast<size_t>(d)));
            }
            if (d == static_cast<int>(spelling.size()) && !item.Typed) {
                // Completed: shoot, count, clear everyone else's progress and
                // run the whole pass again with the same key, so a word whose
                // first letter completed this one starts with it typed.
                AddShoot(C, static_cast<int>(index));
                item.Typed = 1;
                ++m_rightWordCount;
                emit wordTypedAs(item.WordIndex, std::string(spelling));
                emit wordCounted(item.WordIndex, true);
                UpdateScore();
                ResetTyping();
                DrawWordCanvasPass(C, Painter, Drawing);
                // That pass drew and matched every box: going on here would
                // draw the rest twice and apply the key to them once more.
                return;
            }
        } else if (item.Blanked || showSpelling) {
            Painter.setClipRect(toQRect(box));
            drawTextAt(Painter, m_wordFont, box.Left + x, box.Top + y,
                       item.Blanked ? blank : spelling);
            Painter.setClipping(false);
        }
    }
}

void TTypeGameType::ClearTextCaches()
{
    m_aaCache.Clear();
    m_meaningLines.Clear();
}

const TStringList &TTypeGameType::MeaningLines(const std::string &Meaning, TCanvasDrawing &Drawing)
{
    // Cut with widths measured in WordFont, the font the surface holds when
    // the meaning is cut.
    if (const TStringList *kept = m_meaningLines.Find(Meaning))
        return *kept;
    TStringList lines;
    WrapTextByWidth(
        Meaning, kWordBoxWidth,
        [&Drawing](std::string_view s) {
            return Drawing.WordMetrics.horizontalAdvance(GbkToQString(s));
        },
        lines);
    return m_meaningLines.Insert(Meaning, std::move(lines));
}

void TTypeGameType::Paint(QPainter &painter, const QRegion &region)
{
    // Under a clip of many rectangles (a motion tick's region) the raster
    // engine draws an image through its span filler, which hands every
    // tick's lines to a thread pool; clipped to one rectangle at a time it
    // copies them directly.
    if (region.rectCount() > 1) {
        for (const QRect &r : region) {
            painter.setClipRect(r);
            DrawPicture(painter);
        }
        painter.setClipping(false);
    } else {
        DrawPicture(painter);
    }
    CheckShoots();
    m_pendingKey.clear();
}

void TTypeGameType::DrawPicture(QPainter &painter) const
{
    for (const TWordCanvas *c : {&m_wordCanvas1, &m_wordCanvas2}) {
        const QRect src = toQRect(c->SrcRect);
        if (src.isEmpty() || c->Bitmap.isNull())
            continue;
        // The source rectangle is in the bitmap's device pixels.
        const qreal ratio = c->Bitmap.devicePixelRatio();
        const QRect deviceSrc =
            ratio == 1 ? src
                       : QRect(QPoint(qRound(src.left() * ratio), qRound(src.top() * ratio)),
                               QPoint(qRound((src.right() + 1) * ratio) - 1,
                                      qRound((src.bottom() + 1) * ratio) - 1));
        painter.drawImage(QPoint(c->DestRect.Left, c->DestRect.Top), c->Bitmap, deviceSrc);
    }
    for (const TShoot &shot : m_shoots)
        painter.drawImage(QPoint(shot.Left, shot.Top), m_arrow);
}

void TTypeGameType::paintEvent(QPaintEvent *event)
{
    // A move to a screen of another density shows first here.
    SyncPixelRatio();
    QPainter painter(this);
    Paint(painter, event->region());
}
