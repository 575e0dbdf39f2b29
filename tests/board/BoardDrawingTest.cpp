// Canvas drawing and painting: the frame, the layout of a word box and the
// block copies of a paint.
#include <algorithm>
#include <set>

#include <gtest/gtest.h>

#include <QFontMetrics>

#include "AAFont.h"
#include "BoardTestSupport.h"
#include "TextUtils.h"

namespace {

const QColor kBackground(72, 105, 176);

// Rows (relative to Top) in which any pixel of columns [left, right) differs
// from the background.
std::set<int> inkRows(const QImage &image, int left, int right, int top, int bottom)
{
    std::set<int> rows;
    for (int y = std::max(top, 0); y < std::min(bottom, image.height()); ++y)
        for (int x = left; x < right; ++x)
            if (image.pixelColor(x, y) != kBackground) {
                rows.insert(y - top);
                break;
            }
    return rows;
}

::testing::AssertionResult within(const std::set<int> &rows, int from, int to)
{
    if (!rows.empty() && *rows.begin() >= from && *rows.rbegin() <= to)
        return ::testing::AssertionSuccess();
    std::string shown;
    for (int r : rows)
        shown += std::to_string(r) + " ";
    return ::testing::AssertionFailure() << "ink rows: " << shown;
}

// One word box at left 100 in row 0 of a 600 x 400 board: box top 340.
struct OneBox {
    RandomScript random;
    PanelledBoard b{600, 400};
    static constexpr int kLeft = 100;
    static constexpr int kTop = 340;

    OneBox(const TWordInfo &word, TWordDisType type)
    {
        random->Fallback = kLeft;
        b->SetWordDisType(type);
        b->StartGame({word}, nullptr);
    }
    const QImage &Bitmap() const { return b->WordCanvas1().Bitmap; }
    // Inked rows between FromRow and ToRow of the box, relative to its top.
    std::set<int> Ink(int fromRow = -60, int toRow = 60) const
    {
        std::set<int> rows;
        for (int r : inkRows(Bitmap(), kLeft, kLeft + 180, kTop + fromRow, kTop + toRow))
            rows.insert(r + fromRow);
        return rows;
    }

    // What the box must look like, drawn independently at the positions of
    // the layout table: meaning lines at MeanY, the spelling at SpellY.
    QImage Expected(const std::string &spelling, const TStringList &meaningLines,
                    std::vector<int> meanY, int spellY, int typed = -1, bool showRest = true) const
    {
        QImage image(600, 400, QImage::Format_RGB32);
        image.fill(kBackground);
        QPainter painter(&image);
        painter.setPen(kBackground);
        painter.drawRect(0, 0, 599, 399);
        TAASurface surface;
        surface.Image = &image;
        surface.Font = b->MeanFont().Font;
        TAAFont aa(&surface);
        for (size_t i = 0; i < meanY.size(); ++i) {
            const std::string &line = meaningLines[i];
            const auto x = static_cast<int>(RoundHalfEven((180 - aa.TextWidth(line)) / 2.0));
            aa.TextOut(kLeft + x, kTop + meanY[i], line);
        }
        surface.Font = b->WordFont().Font;
        const auto x = static_cast<int>(RoundHalfEven((180 - aa.TextWidth(spelling)) / 2.0));
        const int ascent = QFontMetrics(b->WordFont().Font).ascent();
        if (typed >= 0) {
            // Typed letters in green, the rest after them; neither clipped.
            const QString head = GbkToQString(spelling.substr(0, static_cast<size_t>(typed)));
            painter.setFont(b->TypedFont().Font);
            painter.setPen(QColor(0, 255, 0));
            painter.drawText(kLeft + x, kTop + spellY + ascent, head);
            if (showRest) {
                painter.setFont(b->WordFont().Font);
                painter.setPen(Qt::white);
                painter.drawText(kLeft + x
                                     + QFontMetrics(b->WordFont().Font).horizontalAdvance(head),
                                 kTop + spellY + ascent,
                                 GbkToQString(spelling.substr(static_cast<size_t>(typed))));
            }
        } else if (spellY != kNoSpelling) {
            painter.setClipRect(kLeft, kTop, 180, 55);
            painter.setFont(b->WordFont().Font);
            painter.setPen(Qt::white);
            painter.drawText(kLeft + x, kTop + spellY + ascent, GbkToQString(spelling));
        }
        return image;
    }
    static constexpr int kNoSpelling = 1000;

    TStringList Wrapped(const std::string &meaning) const
    {
        const QFontMetrics wordMetrics(b->WordFont().Font);
        TStringList lines;
        WrapTextByWidth(
            meaning, 180,
            [&](std::string_view s) { return wordMetrics.horizontalAdvance(GbkToQString(s)); },
            lines);
        return lines;
    }
};

TEST(BoardDrawing, SpellingOnlySitsAtRow17)
{
    OneBox box(Word("HEH", "中文"), TWordDisType::wdtSpell);
    EXPECT_TRUE(within(box.Ink(), 17, 33));
    EXPECT_EQ(box.Bitmap(), box.Expected("HEH", {}, {}, 17));
}

TEST(BoardDrawing, OneLineMeaningBelowTheSpelling)
{
    OneBox box(Word("HEH", "中文"), TWordDisType::wdtMeanSpell);
    EXPECT_TRUE(within(box.Ink(0, 35), 17, 33));
    EXPECT_TRUE(within(box.Ink(35, 60), 37, 50));
    EXPECT_EQ(box.Bitmap(), box.Expected("HEH", {Gbk("中文")}, {37}, 17));
}

TEST(BoardDrawing, TwoLineMeaningPushesTheSpellingUp)
{
    const std::string meaning = Gbk("一二三四五六七八九十一二三四五");
    OneBox box(Word("HEH", "一二三四五六七八九十一二三四五"), TWordDisType::wdtMeanSpell);
    const TStringList lines = box.Wrapped(meaning);
    ASSERT_EQ(lines.size(), 2u);
    // The spelling's cell starts at -1 and is clipped to the box.
    EXPECT_TRUE(within(box.Ink(-60, 17), 0, 15));
    EXPECT_TRUE(within(box.Ink(17, 33), 19, 32));
    EXPECT_TRUE(within(box.Ink(33, 60), 34, 47));
    EXPECT_EQ(box.Bitmap(), box.Expected("HEH", lines, {19, 34}, -1));
}

TEST(BoardDrawing, AThreeLineMeaningShowsTwo)
{
    const char *utf8 = "一二三四五六七八九十一二三四五六七八九十一二三四五六七八九十";
    OneBox box(Word("HEH", utf8), TWordDisType::wdtMeanSpell);
    const TStringList lines = box.Wrapped(Gbk(utf8));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_TRUE(box.Ink(48, 60).empty());
    EXPECT_EQ(box.Bitmap(), box.Expected("HEH", lines, {19, 34}, -1));
}

TEST(BoardDrawing, MeaningOnlyHidesTheSpelling)
{
    OneBox box(Word("HEH", "中文"), TWordDisType::wdtMean);
    EXPECT_TRUE(within(box.Ink(), 37, 50));
    EXPECT_EQ(box.Bitmap(), box.Expected("HEH", {Gbk("中文")}, {37}, OneBox::kNoSpelling));
}

TEST(BoardDrawing, AnUntypedLongSpellingIsClippedToItsBox)
{
    OneBox box(Word("internationalizationalisms-counterrevolutionary"), TWordDisType::wdtSpell);
    ASSERT_GT(
        QFontMetrics(box.b->WordFont().Font)
            .horizontalAdvance(QStringLiteral("internationalizationalisms-counterrevolutionary")),
        200);
    // Ink up to the box edges and none beyond them.
    const QImage &image = box.Bitmap();
    int leftmost = 600, rightmost = -1;
    for (int y = OneBox::kTop; y < OneBox::kTop + 55; ++y)
        for (int x = 1; x < 599; ++x)
            if (image.pixelColor(x, y) != kBackground) {
                leftmost = std::min(leftmost, x);
                rightmost = std::max(rightmost, x);
            }
    EXPECT_GE(leftmost, OneBox::kLeft);
    EXPECT_LE(rightmost, OneBox::kLeft + 179);
    EXPECT_LE(leftmost, OneBox::kLeft + 2);
    EXPECT_GE(rightmost, OneBox::kLeft + 177);
}

TEST(BoardDrawing, TypedLettersInTheTypedColourTheRestAfterThem)
{
    OneBox box(Word("apple", "苹果"), TWordDisType::wdtMeanSpell);
    box.b.Ticks(400);  // on view
    Type(box.b, "ap");
    EXPECT_EQ(box.Bitmap(), box.Expected("apple", {Gbk("苹果")}, {37}, 17, 2));
}

TEST(BoardDrawing, MeaningOnlyShowsJustTheTypedLetters)
{
    OneBox box(Word("apple", "苹果"), TWordDisType::wdtMean);
    box.b.Ticks(400);
    Type(box.b, "app");
    EXPECT_EQ(box.Bitmap(), box.Expected("apple", {Gbk("苹果")}, {37}, 17, 3, false));
    // Green ink only: nothing of "le" in the spelling's colour.
    bool green = false;
    for (int y = OneBox::kTop + 17; y < OneBox::kTop + 34; ++y)
        for (int x = OneBox::kLeft; x < OneBox::kLeft + 180; ++x) {
            const QColor c = box.Bitmap().pixelColor(x, y);
            if (c == kBackground)
                continue;
            green = green || c.green() > c.red() + 60;
            ASSERT_LE(c.red(), c.green()) << x << "," << y;
        }
    EXPECT_TRUE(green);
}

TEST(BoardDrawing, ALongSpellingRunsPastItsBoxOnceAKeyIsPending)
{
    const char *longWord = "internationalizationalisms-counterrevolutionary";
    OneBox box(Word(longWord), TWordDisType::wdtSpell);
    box.b.Ticks(400);
    const auto inkOutside = [&box] {
        int n = 0;
        for (int y = OneBox::kTop; y < OneBox::kTop + 55; ++y)
            for (int x = 1; x < 599; ++x)
                if ((x < OneBox::kLeft || x >= OneBox::kLeft + 180)
                    && box.Bitmap().pixelColor(x, y) != kBackground)
                    ++n;
        return n;
    };
    EXPECT_EQ(inkOutside(), 0);
    Type(box.b, "q", false);  // matches nothing, but a key is pending
    EXPECT_GT(inkOutside(), 20);
    EXPECT_EQ(box.Bitmap(), box.Expected(longWord, {}, {}, 17, 0));
    box.b.Paint();
    box.b->RedrawWords();  // nothing pending, nothing typed
    EXPECT_EQ(inkOutside(), 0);
}

TEST(BoardDrawing, TheFrameTakesThePanelColourAndMovesWithTheCanvas)
{
    RandomScript random;
    random->Fallback = 400;  // keep the word boxes off column 5
    PanelledBoard b(600, 400);
    const QColor panel(10, 20, 30);
    b.SetPanelColor(panel);
    b->SetBackGroundColor(0x204060);
    b->StartGame(NumberedWords(40), nullptr);
    const QImage &bitmap = b->WordCanvas1().Bitmap;
    const QColor background(0x60, 0x40, 0x20);
    for (QPoint p : {QPoint(0, 0), QPoint(599, 0), QPoint(0, 399), QPoint(599, 399), QPoint(0, 200),
                     QPoint(300, 0), QPoint(300, 399)})
        EXPECT_EQ(bitmap.pixelColor(p), panel) << p.x() << "," << p.y();
    EXPECT_EQ(bitmap.pixelColor(1, 1), background);
    EXPECT_EQ(bitmap.pixelColor(598, 398), background);

    // After k ticks the bitmap's bottom rows show at the top of the board.
    b.Ticks(30);
    const QImage frame = b.Paint();
    EXPECT_EQ(frame.pixelColor(5, 29), panel);
    EXPECT_EQ(frame.pixelColor(5, 28), background);
    EXPECT_EQ(frame.pixelColor(0, 10), panel);
    EXPECT_EQ(frame.pixelColor(5, 30), QColor(0, 0, 0));  // not yet covered
}

TEST(BoardDrawing, PaintCopiesTheVisiblePartsSecondCanvasOnTop)
{
    RandomScript random;
    random->Fallback = 50;
    PanelledBoard b(600, 400);
    b->StartGame(NumberedWords(40), nullptr);
    // Before the first tick nothing is on view: the panel shows through.
    const QImage empty = b.Paint(QColor(1, 2, 3));
    EXPECT_EQ(empty.pixelColor(300, 200), QColor(1, 2, 3));

    b.Ticks(450);  // canvas 1 leaving (Scrolled 450), canvas 2 entering (51)
    const TWordCanvas &c1 = b->WordCanvas1();
    const TWordCanvas &c2 = b->WordCanvas2();
    ASSERT_EQ(c1.DestRect, (TRect{0, 50, 600, 400}));
    ASSERT_EQ(c2.DestRect, (TRect{0, 0, 600, 51}));
    const QImage frame = b.Paint(QColor(1, 2, 3));
    EXPECT_EQ(frame.copy(0, 51, 600, 349), c1.Bitmap.copy(0, 1, 600, 349));
    EXPECT_EQ(frame.copy(0, 0, 600, 51), c2.Bitmap.copy(0, 349, 600, 51));
}

// A motion tick repaints only its region; everything outside it must look as
// it did before the tick. So the last picture with the region painted anew
// must be the full new picture, tick after tick: with a spelling that runs
// past its box once a key is pending, boxes at both edges, two-line meanings
// and both canvases on view.
TEST(BoardDrawing, AMotionTickRepaintsAllThatMoved)
{
    RandomScript random;
    random->Values = {0, 419};  // the first two rows at the left and right edges
    random->Fallback = 150;
    PanelledBoard b(600, 400);
    const QColor panel(10, 20, 30);
    b.SetPanelColor(panel);
    b->SetBackGroundColor(0x204060);
    TWordInfos words;
    words.push_back(Word("internationalizationalisms-counterrevolutionary", "词"));
    words.push_back(Word("wide", "n.住处，膳宿；调节，和解 adj.适当的，合适的"));
    for (const TWordInfo &w : NumberedWords(60))
        words.push_back(w);
    b->StartGame(words, nullptr);

    const int h = 400;
    QImage before = b.Paint(panel);
    int checked = 0;
    int severalRectangles = 0;
    for (int tick = 0; tick < 1000; ++tick) {
        if (tick == 300) {
            Type(b, "i", false);  // the long spelling now runs past its box
            before = b.Paint(panel);
        }
        ASSERT_EQ(b.Ticks(1), 1);
        const QRegion region = b->MotionRegion();
        const QImage after = b.Paint(panel);
        // A refilled canvas was redrawn: that tick repaints the whole board.
        if (b->WordCanvas1().Top != -h && b->WordCanvas2().Top != -h) {
            ASSERT_EQ(RepaintedIn(before, after, region), after) << "tick " << tick;
            // Drawn one rectangle of the region at a time, as a paint event
            // does, the picture is the same (every 20th tick: it is slow
            // under the sanitizers).
            if (tick % 20 == 0) {
                ASSERT_EQ(b.PaintIn(before, region), after) << "tick " << tick;
                severalRectangles += region.rectCount() > 1 ? 1 : 0;
            }
            ++checked;
        }
        before = after;
    }
    EXPECT_GT(checked, 990);
    EXPECT_GT(severalRectangles, 40);
    // And it is much less than the board.
    const QRegion region = b->MotionRegion();
    int area = 0;
    for (const QRect &r : region)
        area += r.width() * r.height();
    EXPECT_LT(area, 600 * 400 / 2);
}

// A key repaints only the boxes whose typing looks otherwise (and an arrow it
// fires); the rest of the board must look as before. Keys that advance
// several boxes, wrong ones, completions that clear the others and start the
// next word, a spelling running past its box, both canvases on view.
TEST(BoardDrawing, AKeyRepaintsAllItChanged)
{
    RandomScript random;
    random->Values = {0, 419};
    random->Fallback = 150;
    PanelledBoard b(600, 400);
    const QColor panel(10, 20, 30);
    b.SetPanelColor(panel);
    b->SetBackGroundColor(0x204060);
    TWordInfos words;
    words.push_back(Word("internationalizationalisms-counterrevolutionary", "词"));
    for (const char *s : {"apple", "apply", "ample", "pleat", "leap", "peal", "lap", "pal", "ale"})
        words.push_back(Word(s, "n.住处，膳宿；调节，和解 adj.适当的，合适的"));
    for (const TWordInfo &w : NumberedWords(40))
        words.push_back(w);
    b->StartGame(words, nullptr);

    const std::string keys = "iapxplealzpapplyinterleapzzample";
    int checked = 0;
    int smallest = 600 * 400;
    for (int tick = 0; tick < 900; ++tick) {
        ASSERT_EQ(b.Ticks(1), 1);
        if (tick % 25 != 0)
            continue;
        // A paint's hit check redraws the canvases after copying them: the
        // screen shows the next paint.
        b.Paint(panel);
        const QImage before = b.Paint(panel);
        const char key = keys[static_cast<size_t>(tick / 25) % keys.size()];
        const auto [code, shift] = KeyFor(key);
        b->TypeKey(code, shift);
        const QRegion region = b->KeyRegion();
        const QImage after = b.Paint(panel);
        ASSERT_EQ(RepaintedIn(before, after, region), after) << "tick " << tick << " key " << key;
        ++checked;
        int area = 0;
        for (const QRect &r : region)
            area += r.width() * r.height();
        smallest = std::min(smallest, area);
    }
    EXPECT_EQ(checked, 36);
    // A key that changes nothing repaints nothing.
    EXPECT_EQ(smallest, 0);
}

}  // namespace

namespace {

// Dictation: the spelling is never drawn, typed letters are, and meanings
// follow the display type as ever.
TEST(BoardDictation, NoSpellingIsDrawnWhateverTheDisplayType)
{
    OneBox spellOnly(Word("HEH", "中文"), TWordDisType::wdtSpell);
    spellOnly.b->SetDictation(true);
    EXPECT_TRUE(spellOnly.Ink().empty());

    OneBox both(Word("HEH", "中文"), TWordDisType::wdtMeanSpell);
    both.b->SetDictation(true);
    EXPECT_EQ(both.Bitmap(), both.Expected("HEH", {Gbk("中文")}, {37}, OneBox::kNoSpelling));
    // Off again: the spelling is back at once.
    both.b->SetDictation(false);
    EXPECT_EQ(both.Bitmap(), both.Expected("HEH", {Gbk("中文")}, {37}, 17));
}

TEST(BoardDictation, TypedLettersAreDrawnTheRestIsNot)
{
    OneBox box(Word("apple", "苹果"), TWordDisType::wdtMeanSpell);
    box.b->SetDictation(true);
    box.b.Ticks(400);
    Type(box.b, "app");
    EXPECT_EQ(box.Bitmap(), box.Expected("apple", {Gbk("苹果")}, {37}, 17, 3, false));
    // With the spelling alone ticked there is no meaning, only the typed letters.
    OneBox bare(Word("apple", "苹果"), TWordDisType::wdtSpell);
    bare.b->SetDictation(true);
    bare.b.Ticks(400);
    Type(bare.b, "ap");
    EXPECT_EQ(bare.Bitmap(), bare.Expected("apple", {}, {}, 17, 2, false));
}

}  // namespace
