#pragma once
// Shared pieces of the board tests: a scripted random generator, word lists
// and a board inside a panel, driven by hand.

#include <deque>
#include <stdexcept>
#include <string_view>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <QImage>
#include <QPainter>
#include <QRegion>
#include <QWidget>

#include "GbkText.h"
#include "Random.h"
#include "UTypeGameType.h"

// Answers from a script; when the script is empty, Fallback (or lo when it
// lies outside the range).
class ScriptedRandom final : public TRandom {
public:
    std::deque<int> Values;
    int Fallback = 0;
    std::vector<std::pair<int, int>> Ranges;

    int RandomInt(int lo, int hi) override
    {
        Ranges.emplace_back(lo, hi);
        int v = Fallback;
        if (!Values.empty()) {
            v = Values.front();
            Values.pop_front();
        }
        return v < lo || v > hi ? lo : v;
    }
};

// Installs a scripted generator for the lifetime of the object.
class RandomScript {
public:
    RandomScript() : m_random(std::make_shared<ScriptedRandom>()) { SetProgramRandom(m_random); }
    ~RandomScript() { SetProgramRandom(nullptr); }
    RandomScript(const RandomScript &) = delete;
    RandomScript &operator=(const RandomScript &) = delete;
    ScriptedRandom *operator->() { return m_random.get(); }

private:
    std::shared_ptr<ScriptedRandom> m_random;
};

inline TWordInfo Word(const std::string &spelling, const std::string &meaningUtf8 = "")
{
    TWordInfo w;
    w.Spelling = spelling;
    w.Meaning = Gbk(meaningUtf8);
    return w;
}

// w0, w1, ... with a short meaning.
inline TWordInfos NumberedWords(int count)
{
    TWordInfos words;
    for (int i = 0; i < count; ++i)
        words.push_back(Word("w" + std::to_string(i), "词"));
    return words;
}

// Where the word at that place of the board's list lies: its canvas and its
// index in that canvas's items; false when it is on neither canvas.
inline bool BoxOfWord(const TTypeGameType &board, int wordIndex, int &canvasId, int &index)
{
    for (const TWordCanvas *c : {&board.WordCanvas1(), &board.WordCanvas2()})
        for (size_t i = 0; i < c->Items.size(); ++i)
            if (c->Items[i].WordIndex == wordIndex) {
                canvasId = c->CanvasId;
                index = static_cast<int>(i);
                return true;
            }
    return false;
}

// The board as the host holds it: a child filling a panel of its own colour.
struct PanelledBoard {
    std::unique_ptr<QWidget> Panel;
    TTypeGameType *Board;

    explicit PanelledBoard(int width = 600, int height = 400,
                           TTickSource ticks = TTickSource::Manual)
        : Panel(std::make_unique<QWidget>())
    {
        Panel->resize(width, height);
        QPalette palette = Panel->palette();
        palette.setColor(QPalette::Window, QColor(72, 105, 176));
        Panel->setPalette(palette);
        Board = new TTypeGameType(Panel.get(), ticks);
        Board->resize(width, height);
    }

    TTypeGameType *operator->() const { return Board; }

    void SetPanelColor(const QColor &color)
    {
        QPalette palette = Panel->palette();
        palette.setColor(QPalette::Window, color);
        Panel->setPalette(palette);
    }

    // Ticks by hand; returns how many ran.
    int Ticks(int n)
    {
        int ran = 0;
        for (int i = 0; i < n; ++i)
            ran += Board->RunManualTick() ? 1 : 0;
        return ran;
    }

    // One paint of the board onto a fresh image of its size.
    QImage Paint(QColor under = QColor(0, 0, 0))
    {
        QImage image(Board->size(), QImage::Format_RGB32);
        image.fill(under);
        QPainter painter(&image);
        Board->Paint(painter);
        return image;
    }

    // The earlier picture repainted in the region only, the way a paint event
    // of that region draws it.
    QImage PaintIn(QImage before, const QRegion &region)
    {
        QPainter painter(&before);
        painter.setClipRegion(region);
        Board->Paint(painter, region);
        painter.end();
        return before;
    }
};

// The earlier picture with only the region taken from the later one: what
// the screen shows when a paint repaints just that region.
inline QImage RepaintedIn(const QImage &before, const QImage &after, const QRegion &region)
{
    QImage patched = before;
    QPainter painter(&patched);
    painter.setClipRegion(region);
    painter.drawImage(0, 0, after);
    painter.end();
    return patched;
}

// Spellings of a canvas's boxes, in order.
inline std::vector<std::string> Spellings(const TWordCanvas &c)
{
    std::vector<std::string> out;
    for (const TTypeWordItem &item : c.Items)
        out.push_back(item.WordInfo.Spelling);
    return out;
}

inline std::vector<std::string> NumberedSpellings(int from, int to)
{
    std::vector<std::string> out;
    for (int i = from; i <= to; ++i)
        out.push_back("w" + std::to_string(i));
    return out;
}

// Records what the board asks to be spoken; can be told to fail.
class RecordingSpeaker final : public TSpeaker {
public:
    std::vector<std::string> Spoken;
    bool Throw = false;
    void Speak(const std::string &spelling) override
    {
        Spoken.push_back(spelling);
        if (Throw)
            throw std::runtime_error("no voice");
    }
};

// The key code and shift state a character is typed with (Caps Lock off).
inline std::pair<std::uint16_t, TShiftState> KeyFor(char ch)
{
    if (ch >= 'a' && ch <= 'z')
        return {static_cast<std::uint16_t>(ch - 'a' + 'A'), TShiftState{}};
    if (ch >= 'A' && ch <= 'Z')
        return {static_cast<std::uint16_t>(ch), TShiftState{true, false}};
    if (ch == ' ')
        return {kKeySpace, TShiftState{}};
    if (ch == '-')
        return {kKeyHyphen, TShiftState{}};
    return {0, TShiftState{}};
}

// Types Text key by key; after each key the board is painted, as the
// invalidation of a real key release makes it.
inline void Type(PanelledBoard &b, std::string_view text, bool paint = true)
{
    for (char ch : text) {
        const auto [key, shift] = KeyFor(ch);
        b->TypeKey(key, shift);
        if (paint)
            b.Paint();
    }
}

inline int TypedCount(const TTypeWordItem &item)
{
    int n = 0;
    for (int f : item.TypedFlags)
        n += f;
    return n;
}
