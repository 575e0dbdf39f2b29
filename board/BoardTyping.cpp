// Typing, shots and hits: each released key is applied to every word on view;
// a completed word is counted right and shot at, and when the arrow reaches it
// the word disappears and is spoken.
#include "UTypeGameType.h"
#include "BoardLog.h"
#include "BoxAnswers.h"

#include <algorithm>

void TTypeGameType::TypeKey(std::uint16_t Key, TShiftState Shift)
{
    std::string character = TypedCharacter(Key, Shift);
    if (character.empty())
        return;
    TellSlip(character[0]);
    m_pendingKey = std::move(character);
    // Each redraw applies the pending key to its canvas's visible words; the
    // next paint shows the result and clears the key.
    const std::vector<TBoxLook> before1 = BoxLooks(m_wordCanvas1);
    const std::vector<TBoxLook> before2 = BoxLooks(m_wordCanvas2);
    DrawWordCanvas(1);
    const int rightAfterFirst = m_rightWordCount;
    DrawWordCanvas(2);
    // A word completed on the second canvas cleared the first one's progress
    // after it had taken the key: it takes it again, as on its own canvas.
    if (m_rightWordCount != rightAfterFirst)
        DrawWordCanvas(1);
    m_keyRegion =
        LookChanges(m_wordCanvas1, before1) + LookChanges(m_wordCanvas2, before2) + ShootsRegion();
    update(m_keyRegion);
}

std::vector<TTypeGameType::TBoxLook> TTypeGameType::BoxLooks(const TWordCanvas &canvas)
{
    std::vector<TBoxLook> looks;
    looks.reserve(canvas.Items.size());
    for (const TTypeWordItem &item : canvas.Items)
        looks.push_back(LookOf(item));
    return looks;
}

TTypeGameType::TBoxLook TTypeGameType::LookOf(const TTypeWordItem &item)
{
    return {item.WordIndex, item.DrawnTyped, item.Following,
            item.Typed,     item.ShotDown,   item.Overflows};
}

QRegion TTypeGameType::LookChanges(const TWordCanvas &canvas,
                                   const std::vector<TBoxLook> &before) const
{
    const int w = m_boardRect.Right - m_boardRect.Left;
    const int h = m_boardRect.Bottom - m_boardRect.Top;
    const QRect board(0, 0, w, h);
    // The canvas was refilled meanwhile (a handler of the key's events):
    // nothing of it is where it was.
    if (canvas.Items.size() != before.size())
        return board;
    QRegion region;
    const int offset = canvas.DestRect.Top - canvas.SrcRect.Top;
    for (size_t i = 0; i < canvas.Items.size(); ++i) {
        const TTypeWordItem &item = canvas.Items[i];
        const TBoxLook &was = before[i];
        if (was == LookOf(item))
            continue;
        const TRect &box = item.BoxRect;
        const bool wide = item.Overflows || was.Overflows;
        const int left = wide ? 0 : box.Left;
        const int right = wide ? w : box.Right;
        region += QRect(left, offset + box.Top, right - left, box.Bottom - box.Top);
    }
    return region & board;
}

int TTypeGameType::MatchTypedKey(TTypeWordItem &Item)
{
    if (BoxComplete(Item))
        return static_cast<int>(BoxFollowedAnswer(Item).size());
    const auto typed = static_cast<int>(BoxTypedLength(Item));
    if (m_pendingKey.empty())
        return typed == 0 ? -1 : typed;
    if (m_pendingKey.size() == 1 && AdvanceBox(Item, m_pendingKey[0])) {
        emit wordKeyed(Item.WordIndex, typed + 1);
        return typed + 1;
    }
    // A wrong key changes nothing: the progress stays.
    return typed;
}

void TTypeGameType::TellSlip(char Typed)
{
    // Decided before the redraw applies the key, on the same test: a word on
    // view whose next letter is the key advances, so the key is no slip.
    TWordSlip slip;
    slip.Typed = Typed;
    for (const TWordCanvas *c : {&m_wordCanvas1, &m_wordCanvas2}) {
        for (size_t i = 0; i < c->Items.size(); ++i) {
            const TTypeWordItem &item = c->Items[i];
            if (item.Typed || item.ShotDown || !IsWordVisible(*c, item))
                continue;
            if (BoxComplete(item))
                continue;
            if (BoxAwaits(item, Typed))
                return;
            const size_t typed = BoxTypedLength(item);
            if (typed > static_cast<size_t>(slip.Position)) {
                slip.WordIndex = item.WordIndex;
                slip.Position = static_cast<int>(typed);
                slip.Expected = BoxFollowedAnswer(item)[typed];
            }
        }
    }
    emit wordSlip(slip);
}

bool TTypeGameType::IsWordVisible(const TWordCanvas &C, const TTypeWordItem &Item) const
{
    return RectCornerInRect(Item.BoxRect, C.SrcRect);
}

void TTypeGameType::ResetTyping()
{
    for (TWordCanvas *c : {&m_wordCanvas1, &m_wordCanvas2})
        for (TTypeWordItem &item : c->Items)
            if (!item.ShotDown && !item.Typed)
                ClearBoxTyping(item);
}

void TTypeGameType::AddShoot(TWordCanvas &C, int Index)
{
    const TTypeWordItem &item = C.Items[static_cast<size_t>(Index)];
    const int w = LogicalSize(m_arrow).width();
    const int h = LogicalSize(m_arrow).height();
    const int b = height();
    TShoot shot;
    shot.Left = item.BoxRect.Left + static_cast<int>(RoundHalfEven((kWordBoxWidth - w) / 2.0));
    shot.Right = shot.Left + w;
    shot.Top = b - h;
    shot.Bottom = b;
    shot.TargetIndex = Index;
    shot.CanvasId = C.CanvasId;
    m_shoots.push_back(shot);
    SyncShootTimer();
}

void TTypeGameType::ShootTimerTick()
{
    MoveShoots();
    // Only the arrows moved: the rest of the board is repainted by nobody.
    if (!m_shoots.empty())
        update(ShootsRegion());
}

QRegion TTypeGameType::ShootsRegion() const
{
    QRegion region;
    for (const TShoot &shot : m_shoots)
        region += QRect(shot.Left, shot.Top, shot.Right - shot.Left, shot.Bottom - shot.Top + 5);
    return region;
}

void TTypeGameType::MoveShoots()
{
    for (TShoot &shot : m_shoots) {
        shot.Top -= 5;
        shot.Bottom -= 5;
    }
}

TRect TTypeGameType::WordRectOnBoard(const TWordCanvas &C, const TTypeWordItem &Item) const
{
    const int h = LogicalSize(C.Bitmap).height();
    TRect r = Item.BoxRect;
    if (C.SrcRect.Top == 0)
        r.Top = Item.BoxRect.Top + C.DestRect.Top;  // leaving
    else
        r.Top = Item.BoxRect.Top - (h - C.DestRect.Bottom);  // entering
    r.Bottom = r.Top + kWordBoxHeight;
    return r;
}

void TTypeGameType::SpeakWord(const std::string &Spelling)
{
    if (!m_speechEnable || m_speech == nullptr)
        return;
    // Speech failures never reach the game. The speaker promises not to
    // throw; a broken promise is still a standard exception.
    try {
        m_speech->Speak(Spelling);
    } catch (const std::exception &e) {
        qCWarning(lcBoard) << "speaking a hit word failed:" << e.what();
    }
}

void TTypeGameType::CheckShoots()
{
    const std::uint64_t epoch = m_shootsEpoch;
    const size_t count = m_shoots.size();  // shots added by redraws below stay
    std::vector<size_t> hits;
    for (size_t i = 0; i < count && i < m_shoots.size(); ++i) {
        const TShoot shot = m_shoots[i];
        TWordCanvas &c = Canvas(shot.CanvasId);
        if (shot.TargetIndex < 0 || static_cast<size_t>(shot.TargetIndex) >= c.Items.size())
            continue;
        const TRect r = WordRectOnBoard(c, c.Items[static_cast<size_t>(shot.TargetIndex)]);
        if (shot.Top - r.Bottom > 5)
            continue;
        TTypeWordItem &target = c.Items[static_cast<size_t>(shot.TargetIndex)];
        target.ShotDown = 1;
        hits.push_back(i);
        const std::string spelling = target.WordInfo.Spelling;
        SpeakWord(spelling);
        emit wordHit(target.WordIndex);
        DrawWordCanvas(1);
        DrawWordCanvas(2);
        if (m_shootsEpoch != epoch)
            return;  // a handler started over: the shots are gone already
    }
    if (!hits.empty()) {
        RemoveShoots(hits);
        // The canvases changed after this paint copied them.
        update();
    }
}

bool TTypeGameType::LowestUntypedWord(int &CanvasId, int &Index) const
{
    int lowest = -1;
    for (const TWordCanvas *c : {&m_wordCanvas1, &m_wordCanvas2}) {
        for (size_t i = 0; i < c->Items.size(); ++i) {
            const TTypeWordItem &item = c->Items[i];
            if (item.Typed || item.ShotDown || item.Missed || !IsWordVisible(*c, item))
                continue;
            const int bottom = WordRectOnBoard(*c, item).Bottom;
            if (bottom > lowest) {
                lowest = bottom;
                CanvasId = c->CanvasId;
                Index = static_cast<int>(i);
            }
        }
    }
    return lowest >= 0;
}

int TTypeGameType::LowestUntypedWordIndex() const
{
    int canvasId = 0;
    int index = -1;
    if (!LowestUntypedWord(canvasId, index))
        return -1;
    const TWordCanvas &c = canvasId == 2 ? m_wordCanvas2 : m_wordCanvas1;
    return c.Items[static_cast<size_t>(index)].WordIndex;
}

void TTypeGameType::CheckWordsPastMiddle(TWordCanvas &C)
{
    const int middle = (m_boardRect.Bottom - m_boardRect.Top) / 2;
    // By index: an event handler may change the items.
    for (size_t i = 0; i < C.Items.size(); ++i) {
        TTypeWordItem &item = C.Items[i];
        if (item.PastMiddle || item.Typed || item.ShotDown || item.Missed)
            continue;
        const TRect r = WordRectOnBoard(C, item);
        if ((r.Top + r.Bottom) / 2 < middle)
            continue;
        item.PastMiddle = 1;
        emit wordPastMiddle(item.WordIndex);
    }
}

void TTypeGameType::RemoveShoots(const std::vector<size_t> &Indexes)
{
    TShoots kept;
    kept.reserve(m_shoots.size());
    for (size_t i = 0; i < m_shoots.size(); ++i)
        if (std::find(Indexes.begin(), Indexes.end(), i) == Indexes.end())
            kept.push_back(m_shoots[i]);
    m_shoots = std::move(kept);
    SyncShootTimer();
}

void TTypeGameType::DropShoots(int CanvasId)
{
    const auto aimed = [CanvasId](const TShoot &s) { return s.CanvasId == CanvasId; };
    if (std::none_of(m_shoots.begin(), m_shoots.end(), aimed))
        return;
    m_shoots.erase(std::remove_if(m_shoots.begin(), m_shoots.end(), aimed), m_shoots.end());
    ++m_shootsEpoch;
    SyncShootTimer();
}

void TTypeGameType::ClearShoots()
{
    m_shoots.clear();
    ++m_shootsEpoch;
    SyncShootTimer();
}
