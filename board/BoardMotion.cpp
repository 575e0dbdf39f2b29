// The board's motion: one tick moves both word canvases one step down,
// refills a canvas once it has passed through, counts the words that left
// the board untyped and tracks the current toll gate.
#include "UTypeGameType.h"

#include <algorithm>

#include "BoxAnswers.h"
#include "Random.h"

void TTypeGameType::PlayTick()
{
    // A word list that shrank without a restart must not leave the game
    // running forever: more counted than listed ends it too.
    if (m_rightWordCount + m_errorWordCount >= static_cast<int>(m_words.size())) {
        // The last words typed still have their arrows in flight: the game
        // ends once they have hit, so every right word is seen hit and heard.
        if (m_shoots.empty()) {
            GameOver();
            return;
        }
        // An arrow above the board has passed its word, so no paint checked
        // it (a hidden window paints nothing): check here, or the game would
        // wait for a paint that never comes.
        if (std::any_of(m_shoots.begin(), m_shoots.end(),
                        [](const TShoot &s) { return s.Bottom < 0; }))
            CheckShoots();
    }
    m_canvasRedrawn = false;
    MoveStep();
    // A step moves the canvases by m_step pixels over a plain background:
    // only the word boxes and the frame rows change on screen, unless a
    // canvas was refilled (and so redrawn) on the way.
    if (m_canvasRedrawn)
        update();
    else
        update(MotionRegion());
}

QRegion TTypeGameType::MotionRegion() const
{
    const int w = m_boardRect.Right - m_boardRect.Left;
    const int h = m_boardRect.Bottom - m_boardRect.Top;
    QRegion region;
    for (const TWordCanvas *c : {&m_wordCanvas1, &m_wordCanvas2}) {
        if (c->SrcRect.Bottom <= c->SrcRect.Top)
            continue;  // not on view
        // Bitmap row y shows at board row y + offset (not Top + y: the second
        // canvas's Top runs a row ahead of its rectangles). Each band also
        // covers the m_step rows above it, where its pixels were a step ago.
        const int offset = c->DestRect.Top - c->SrcRect.Top;
        region += QRect(0, offset - m_step, w, m_step + 1);
        region += QRect(0, offset + h - 1 - m_step, w, m_step + 1);
        for (const TTypeWordItem &item : c->Items) {
            if (item.ShotDown)
                continue;
            const TRect &box = item.BoxRect;
            const int left = item.Overflows ? 0 : box.Left;
            const int right = item.Overflows ? w : box.Right;
            region +=
                QRect(left, offset + box.Top - m_step, right - left, box.Bottom - box.Top + m_step);
        }
    }
    return region & QRect(0, 0, w, h);
}

void TTypeGameType::SetCanvasRects(TWordCanvas &C)
{
    const int w = LogicalSize(C.Bitmap).width();
    const int h = LogicalSize(C.Bitmap).height();
    if (C.Scrolled < h) {
        // Entering: the lowest rows of the bitmap at the top of the board.
        C.SrcRect = TRect{0, h - C.Scrolled, w, h};
        C.DestRect = TRect{0, 0, w, C.Scrolled};
    } else {
        // Leaving: the upper rows of the bitmap at the bottom of the board.
        C.SrcRect = TRect{0, 0, w, 2 * h - C.Scrolled};
        C.DestRect = TRect{0, C.Scrolled - h, w, h};
    }
}

void TTypeGameType::MoveStep()
{
    const int h = m_boardRect.Bottom - m_boardRect.Top;

    TWordCanvas &c1 = m_wordCanvas1;
    c1.Scrolled += m_step;
    c1.Top += m_step;
    SetCanvasRects(c1);
    TellShownWords(c1);
    CountMissedWords(c1);
    CheckWordsPastMiddle(c1);
    CheckTollGate();
    if (c1.Top == h - 1) {
        c1.Scrolled = 0;
        c1.Top = -h;
        FillWordCanvas(c1);
    }

    TWordCanvas &c2 = m_wordCanvas2;
    c2.Top += m_step;
    if (c2.Top < -h)
        return;  // still wholly above the board
    c2.Scrolled += m_step;
    SetCanvasRects(c2);
    TellShownWords(c2);
    CountMissedWords(c2);
    CheckWordsPastMiddle(c2);
    CheckTollGate();
    if (c2.Top == h - 1) {
        c2.Scrolled = 0;
        c2.Top = -h;
        FillWordCanvas(c2);
    }
}

void TTypeGameType::CountUnfinishedWords(TWordCanvas &C)
{
    // A box in the canvas's top rows (its top at y 0 or 1) never passes
    // wholly below the board before the canvas is refilled, so the miss test
    // never sees it. Whatever is still neither typed, shot down nor counted
    // when its canvas is emptied left the board untyped: count it now, or
    // right plus error words would never reach the word count.
    // By index: an event handler may change the items.
    for (size_t i = 0; i < C.Items.size(); ++i) {
        TTypeWordItem &item = C.Items[i];
        if (item.Typed || item.ShotDown || item.Missed)
            continue;
        ++m_errorWordCount;
        item.Missed = 1;
        emit wordCounted(item.WordIndex, false);
        UpdateScore();
    }
}

void TTypeGameType::FillWordCanvas(TWordCanvas &C)
{
    const int w = LogicalSize(C.Bitmap).width();
    const int h = LogicalSize(C.Bitmap).height();
    const int n = m_tollGateWords;
    const auto wordCount = static_cast<int>(m_words.size());

    if (m_lastWordIndex == -1) {
        m_tollGateIndex = 1;
        emit tollGateChange();
    }
    CountUnfinishedWords(C);
    // Shots hold their targets by index: none may outlive the items.
    DropShoots(C.CanvasId);
    C.Items.clear();

    for (int r = 0; r < m_rowCount; ++r) {
        // ">=": a list shortened by SetWords must not be read past its end.
        if (m_lastWordIndex + 1 >= wordCount)
            break;
        int k = 1;
        int right = 0;
        while (w > right + kWordBoxWidth) {
            if (m_lastWordIndex + 1 >= wordCount)
                break;
            const int left =
                k == 1 ? ProgramRandom().RandomInt(0, w - kWordBoxWidth - 1) : right + kWordBoxGap;
            right = left + kWordBoxWidth;
            const int top = h - (r + 1) * m_rowHeight;

            const int i = m_lastWordIndex + 1;
            TTypeWordItem item;
            item.WordInfo = m_words[static_cast<size_t>(i)];
            item.BoxRect = TRect{left, top, right, top + kWordBoxHeight};
            if (m_acceptedAnswers)
                item.Answers = m_acceptedAnswers(i);
            item.Blanked = m_blankedBoxes && m_blankedBoxes(i) ? 1 : 0;
            ClearBoxTyping(item);
            item.TollGateMark = i % n == 0 ? i / n + 1 : -1;
            item.WordIndex = i;
            C.Items.push_back(std::move(item));

            ++m_lastWordIndex;
            ++k;
            if (k > m_wordsPerRow)
                break;
            // The first word of the next toll gate always starts a new row.
            if ((m_lastWordIndex + 1) % n == 0)
                break;
        }
    }

    DrawWordCanvas(C.CanvasId);
}

bool TTypeGameType::IsWordMissed(const TWordCanvas &C, const TTypeWordItem &Item) const
{
    return !Item.Typed && !Item.ShotDown && !Item.Missed && C.SrcRect.Bottom > 0
           && C.SrcRect.Bottom < Item.BoxRect.Top;
}

void TTypeGameType::CountMissedWords(TWordCanvas &C)
{
    // By index: an event handler may change the items.
    for (size_t i = 0; i < C.Items.size(); ++i) {
        TTypeWordItem &item = C.Items[i];
        if (!IsWordMissed(C, item))
            continue;
        ++m_errorWordCount;
        item.Missed = 1;
        emit wordCounted(item.WordIndex, false);
        UpdateScore();
    }
}

void TTypeGameType::TellShownWords(TWordCanvas &C)
{
    // By index: an event handler may change the items.
    for (size_t i = 0; i < C.Items.size(); ++i) {
        TTypeWordItem &item = C.Items[i];
        if (item.Shown || item.ShotDown || item.Missed || item.BoxRect.Top < C.SrcRect.Top
            || item.BoxRect.Bottom > C.SrcRect.Bottom)
            continue;
        item.Shown = 1;
        emit wordShown(item.WordIndex);
    }
}

void TTypeGameType::CheckTollGate()
{
    for (const TWordCanvas *c : {&m_wordCanvas1, &m_wordCanvas2}) {
        // By index: an event handler may change the items.
        for (size_t i = 0; i < c->Items.size(); ++i) {
            const TTypeWordItem &item = c->Items[i];
            if (item.BoxRect.Bottom > c->SrcRect.Top && item.TollGateMark >= 0
                && c->SrcRect.Top > 0) {
                m_tollGateIndex = item.TollGateMark;
                emit tollGateChange();
            }
        }
    }
}
