// Whole-book bot: plays every toll gate of a shipped word book on an
// offscreen board driven by hand, as the host does (20 words a toll gate,
// the next one loaded from the game-over handler), with a scripted typist,
// and counts right words, missed words and the words the board asked to be
// spoken.
//   whole_book_bot [word list file] [--level N] [--keys-ms N]
// The default book is the shipped TOEFL list (174 toll gates). Time is
// simulated: a play tick every level interval (50 ms at level 1, 30 ms
// otherwise), a shot-timer tick every 15 ms, a key every --keys-ms (150 ms,
// about 7 keys a second), and the board is painted after every key and
// whenever a shot is in flight, as a shown window would be.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QWidget>

#include "Fonts.h"
#include "Random.h"
#include "UTypeGameType.h"

namespace {

constexpr int kWidth = 815;
constexpr int kHeight = 424;
constexpr int kWordsPerGate = 20;
constexpr int kShootTimerMs = 15;

// Import-format lines: spelling, "[", pronunciation, "]", meaning.
TWordInfos readBook(const std::string &path)
{
    TWordInfos words;
    std::ifstream in(path, std::ios::binary);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const size_t open = line.find('[');
        if (open == std::string::npos || open == 0)
            continue;
        TWordInfo w;
        w.Spelling = line.substr(0, open);
        const size_t close = line.find(']', open);
        w.Meaning = close == std::string::npos ? std::string() : line.substr(close + 1);
        words.push_back(std::move(w));
    }
    return words;
}

class CountingSpeaker final : public TSpeaker {
public:
    long Spoken = 0;
    void Speak(const std::string &) override { ++Spoken; }
};

bool keyFor(char ch, std::uint16_t &key, TShiftState &shift)
{
    shift = TShiftState{};
    if (ch >= 'a' && ch <= 'z') {
        key = static_cast<std::uint16_t>(ch - 'a' + 'A');
    } else if (ch >= 'A' && ch <= 'Z') {
        key = static_cast<std::uint16_t>(static_cast<unsigned char>(ch));
        shift.Shift = true;
    } else if (ch == ' ') {
        key = kKeySpace;
    } else if (ch == '-') {
        key = kKeyHyphen;
    } else {
        return false;
    }
    return true;
}

bool onView(const TWordCanvas &c, const TTypeWordItem &item)
{
    return RectCornerInRect(item.BoxRect, c.SrcRect);
}

int typedCount(const TTypeWordItem &item)
{
    int n = 0;
    for (int f : item.TypedFlags)
        n += f;
    return n;
}

// The typist's next key: the next letter of the lowest word on view that is
// still to be typed and can be typed at all. False when there is none.
bool nextKey(const TTypeGameType &board, std::uint16_t &key, TShiftState &shift)
{
    const TTypeWordItem *best = nullptr;
    int bestY = 0;
    for (const TWordCanvas *c : {&board.WordCanvas1(), &board.WordCanvas2()}) {
        for (const TTypeWordItem &item : c->Items) {
            if (item.Typed || item.ShotDown || item.Missed || !onView(*c, item))
                continue;
            const int done = typedCount(item);
            if (done >= static_cast<int>(item.WordInfo.Spelling.size()))
                continue;
            std::uint16_t k;
            TShiftState s;
            if (!keyFor(item.WordInfo.Spelling[static_cast<size_t>(done)], k, s))
                continue;  // a letter no key types: the word goes by
            // Board position of the box: the lower on the board, the sooner it goes.
            const int y = item.BoxRect.Top + c->Scrolled;
            if (!best || y > bestY) {
                best = &item;
                bestY = y;
                key = k;
                shift = s;
            }
        }
    }
    return best != nullptr;
}

}  // namespace

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    InstallFontSubstitutions();

    std::string bookPath = std::string(KIVRO_SOURCE_DIR) + "/data/wordbooks/lib109-toefl.txt";
    int level = 1;
    int keyMs = 150;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--level") == 0 && i + 1 < argc)
            level = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--keys-ms") == 0 && i + 1 < argc)
            keyMs = std::max(5, std::atoi(argv[++i]));
        else
            bookPath = argv[i];
    }
    const TWordInfos book = readBook(bookPath);
    if (book.empty()) {
        std::fprintf(stderr, "whole_book_bot: no words in %s\n", bookPath.c_str());
        return 1;
    }
    const int gates = static_cast<int>((book.size() + kWordsPerGate - 1) / kWordsPerGate);
    const auto gateWords = [&book](int gate) {
        const size_t from = static_cast<size_t>(gate - 1) * kWordsPerGate;
        const size_t to = std::min(book.size(), from + kWordsPerGate);
        return TWordInfos(book.begin() + static_cast<std::ptrdiff_t>(from),
                          book.begin() + static_cast<std::ptrdiff_t>(to));
    };

    SeedProgramRandom(19);
    QWidget panel;
    panel.resize(kWidth, kHeight);
    auto *board = new TTypeGameType(&panel, TTickSource::Manual);
    board->resize(kWidth, kHeight);
    CountingSpeaker speaker;

    int gate = 1;
    long right = 0;
    long missed = 0;
    bool finished = false;
    QObject::connect(board, &TTypeGameType::gameOver, [&] {
        right += board->RightWordCount();
        missed += board->ErrorWordCount();
        if (gate == gates) {
            finished = true;
            return;
        }
        ++gate;
        board->SetWords(gateWords(gate));
        board->Restart();
    });
    board->SetTollGateWords(kWordsPerGate);
    board->StartGame(gateWords(1), &speaker);
    board->SetLevel(level);
    const int tickMs = std::max(1, board->PlayInterval());

    QImage screen(kWidth, kHeight, QImage::Format_RGB32);
    const auto paint = [&] {
        QPainter painter(&screen);
        board->Paint(painter);
    };
    long keys = 0;
    long ms = 0;
    const long limitMs = 1000L * 3600 * 24;  // a day of play: something is wrong
    for (; !finished && ms < limitMs; ++ms) {
        if (ms % tickMs == 0) {
            board->RunManualTick();
            if (finished)
                break;
            if (!board->Shoots().empty())
                paint();
        }
        if (ms % kShootTimerMs == 0 && board->RunManualShootTick() && !board->Shoots().empty())
            paint();
        std::uint16_t key = 0;
        TShiftState shift;
        if (ms % keyMs == 0 && nextKey(*board, key, shift)) {
            board->TypeKey(key, shift);
            ++keys;
            paint();
        }
    }
    if (!finished) {
        std::fprintf(stderr, "whole_book_bot: the book did not end within a simulated day\n");
        return 1;
    }
    std::printf("book            %s\n", bookPath.c_str());
    std::printf("level           %d (tick %d ms), a key every %d ms\n", level, tickMs, keyMs);
    std::printf("toll gates      %d\n", gates);
    std::printf("words           %zu\n", book.size());
    std::printf("keys typed      %ld\n", keys);
    std::printf("right words     %ld\n", right);
    std::printf("missed words    %ld\n", missed);
    std::printf("spoken words    %ld\n", speaker.Spoken);
    std::printf("right unspoken  %ld (%.2f a toll gate)\n", right - speaker.Spoken,
                static_cast<double>(right - speaker.Spoken) / gates);
    std::printf("simulated play  %.1f min\n", static_cast<double>(ms) / 60000.0);
    return 0;
}
