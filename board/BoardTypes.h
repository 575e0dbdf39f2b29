#pragma once
// The records the game board is built from. Rectangles are (left, top,
// right, bottom) with right and bottom just outside the area.

#include <cstdint>
#include <string>
#include <vector>

#include <QImage>

#include "Records.h"
#include "TextUtils.h"

// An image's size in logical pixels (its device pixels over its ratio).
inline QSize LogicalSize(const QImage &Image)
{
    return Image.deviceIndependentSize().toSize();
}

// What each word box shows.
enum class TWordDisType {
    wdtMean = 0,      // meaning only (typed letters still appear)
    wdtSpell = 1,     // spelling only
    wdtMeanSpell = 2  // meaning and spelling
};

// The size of every word box, and the gap between two boxes of a row.
inline constexpr int kWordBoxWidth = 180;
inline constexpr int kWordBoxHeight = 55;
inline constexpr int kWordBoxGap = 20;

// One word box on a canvas.
struct TTypeWordItem {
    TWordInfo WordInfo;
    TRect BoxRect;  // in its canvas's bitmap; always 180 x 55
    // One per byte of the answer being followed (BoxAnswers.h); the 1s form a prefix.
    TIntAry TypedFlags;
    std::uint8_t Typed = 0;          // completed and counted right
    std::uint8_t ShotDown = 0;       // its shot hit: no longer drawn or matched
    std::uint8_t Missed = 0;         // left the board untyped: counted as an error
    std::uint8_t Shown = 0;          // has been wholly on view (told once)
    std::uint8_t PastMiddle = 0;     // its centre has passed the board's middle (told once)
    std::int32_t TollGateMark = -1;  // the toll gate this word opens, or -1
    std::int32_t WordIndex = -1;     // its place in the list the board was given
    // A text of the box is (nearly) wider than the box: drawn unclipped, it
    // may run past the box's sides. Set by each redraw of its canvas.
    std::uint8_t Overflows = 0;
    // How the last redraw of its canvas drew the typing: -1 the untyped look
    // (clipped to the box), else that many letters typed; a key repaints the
    // boxes whose look changed (KeyRegion).
    std::int32_t DrawnTyped = -1;
    // The spellings the box accepts (BoxAnswers.h); empty: the word's own only.
    std::vector<std::string> Answers;
    std::int32_t Following = 0;  // the answer the typed letters follow
    std::uint8_t Blanked = 0;    // a blank stands for the untyped letters
};

using TTypeWordItems = std::vector<TTypeWordItem>;

// An off-screen strip the size of the board that carries word boxes and
// scrolls down through the board.
struct TWordCanvas {
    QImage Bitmap;     // W x H logical pixels, RGB32, at the board's device-pixel ratio
    TRect SrcRect;     // the part of Bitmap on view
    TRect DestRect;    // where that part is drawn on the board
    int Scrolled = 0;  // rows of the canvas that have entered the board so far
    int Top = 0;       // the canvas's top edge in board coordinates
    TTypeWordItems Items;
    int CanvasId = 0;  // 1 or 2
};

// A shot in flight: its sprite rectangle on the board and its target, held as
// a canvas and an index into that canvas's Items (never as a reference, which
// a refill would leave dangling).
struct TShoot {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    int TargetIndex = 0;
    int CanvasId = 0;
};

using TShoots = std::vector<TShoot>;

// A key that advanced no word on view. It is held against the visible word
// that had the longest typed prefix (WordIndex, its place in the board's
// list; -1 when none had any): Position is the byte it stopped at, Expected
// the letter there.
struct TWordSlip {
    int WordIndex = -1;
    int Position = 0;
    char Expected = 0;
    char Typed = 0;
};
