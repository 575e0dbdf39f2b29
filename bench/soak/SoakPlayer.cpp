// The soak player: the real program (its start function, its main window,
// its speech and music) with a scripted typist. Started by bench/soak/soak,
// which samples its memory and processor time from outside:
//   soak_player PROGRAM_DIR [KEYS_PER_SECOND]
// PROGRAM_DIR is a copy of a built program folder. Once the first frame is
// painted the player presses "开始游戏" and types, 20 keys a second unless
// told otherwise (50 types every word as soon as it is on view), the next
// letter of the visible word with the longest typed prefix (the lowest one
// when none is begun), as key releases sent to the game panel. A message is
// answered with its first button, a dialog is closed at once, so the game
// goes on through toll gates and books until the process is ended.
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstdio>
#include <memory>

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>
#include <QToolButton>

#include "MessageBoxes.h"
#include "ModalRunner.h"
#include "ProgramStart.h"
#include "Settings.h"
#include "SpeechService.h"
#include "TextUtils.h"
#include "UFrmType.h"
#include "UTypeGameType.h"

namespace {

class FirstButton final : public TMessageBoxes {
public:
    QMessageBox::StandardButton Show(QWidget *, const QString &, const QString &, TMsgIcon,
                                     QMessageBox::StandardButtons buttons) override
    {
        for (QMessageBox::StandardButton b : {QMessageBox::Ok, QMessageBox::Yes, QMessageBox::No}) {
            if (buttons.testFlag(b))
                return b;
        }
        return QMessageBox::NoButton;
    }
};

// The character to type next, or 0 when no word is on view.
char nextLetter(const TTypeGameType &board)
{
    const TTypeWordItem *best = nullptr;
    size_t bestTyped = 0;
    int bestTop = -1;
    for (const TWordCanvas *c : {&board.WordCanvas1(), &board.WordCanvas2()}) {
        for (const TTypeWordItem &item : c->Items) {
            if (item.Typed || item.ShotDown || item.Missed || item.WordInfo.Spelling.empty()
                || !RectCornerInRect(item.BoxRect, c->SrcRect))
                continue;
            size_t typed = 0;
            while (typed < item.TypedFlags.size() && item.TypedFlags[typed] == 1)
                ++typed;
            const int top = c->Top + item.BoxRect.Top;
            if (best == nullptr || typed > bestTyped || (typed == bestTyped && top > bestTop)) {
                best = &item;
                bestTyped = typed;
                bestTop = top;
            }
        }
    }
    if (best == nullptr || bestTyped >= best->WordInfo.Spelling.size())
        return 0;
    return best->WordInfo.Spelling[bestTyped];
}

void sendKey(QWidget *panel, char ch)
{
    int key = 0;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    if (std::isalpha(static_cast<unsigned char>(ch))) {
        key = Qt::Key_A + (std::toupper(static_cast<unsigned char>(ch)) - 'A');
        if (std::isupper(static_cast<unsigned char>(ch)))
            modifiers = Qt::ShiftModifier;
    } else if (ch == ' ') {
        key = Qt::Key_Space;
    } else if (ch == '-') {
        key = Qt::Key_Minus;
    } else {
        return;  // a word the keyboard cannot finish is left to fall
    }
    const QString text(QChar::fromLatin1(ch));
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(panel, &release);
}

}  // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PROGRAM_DIR [KEYS_PER_SECOND]\n", argv[0]);
        return 2;
    }
    const int keysPerSecond = argc > 2 ? std::max(1, std::atoi(argv[2])) : 20;
    SetProgramDir(argv[1]);
    SetMessageBoxes(std::make_shared<FirstButton>());
    SetModalRunner([](QDialog &) { return 0; });

    std::unique_ptr<QTimer> typist;
    TProgramStartOptions options;
    options.OnFirstFrame = [&typist, keysPerSecond](TFrmType &window) {
        if (auto *start = window.findChild<QToolButton *>(QStringLiteral("sbStart")))
            start->click();
        window.activateWindow();
        typist = std::make_unique<QTimer>();
        typist->setInterval(1000 / keysPerSecond);
        QObject::connect(typist.get(), &QTimer::timeout, [&window, keysPerSecond] {
            static int ticks = 0;
            // Every 10 s, with the sound of speech waiting to be played.
            if (++ticks % (10 * keysPerSecond) == 0) {
                const TGameTotals totals = window.Flow().Totals();
                std::printf(
                    "words right %d missed %d toll gate %d speech queued %.1f s\n",
                    totals.RightCount, totals.ErrorCount, window.Flow().GamePara().TollGateIndex,
                    static_cast<double>(TSpeechService::Instance().QueuedFrames()) / 44100.0);
                std::fflush(stdout);
            }
            TTypeGameType *board = window.FTypeGame();
            QWidget *panel = window.GamePanel();
            if (board == nullptr || panel == nullptr)
                return;
            if (!panel->hasFocus())
                window.FocusGame();
            if (const char ch = nextLetter(*board))
                sendKey(panel, ch);
        });
        typist->start();
        std::printf("playing\n");
        std::fflush(stdout);
    };
    // The program reads a command line of its own: it gets none of ours.
    int programArgc = 1;
    const int status = ProgramMain(programArgc, argv, options);
    typist.reset();
    return status;
}
