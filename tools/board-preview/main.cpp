// board-preview: runs the game board offscreen for a number of ticks and
// writes one frame as a PNG, for documentation and image tests.
//
//   board-preview --out FILE.png [--width W] [--height H] [--level L]
//                 [--ticks N] [--seed S] [--words FILE] [--display MODE]
//                 [--keys TEXT] [--shot-ticks K]
//
// --words reads one word per line, "spelling<TAB>meaning", UTF-8; without it
// a built-in sample of forty words is used. After the ticks, --keys types
// TEXT (letters, blanks and hyphens; capitals with Shift) and --shot-ticks
// runs the shot timer K times. Each key and each shot tick is followed by a
// paint, as on screen, so that hits happen where they would.
#include <cstdio>
#include <cstdlib>
#include <memory>

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>
#include <QTextStream>
#include <QWidget>

#include "Colors.h"
#include "Fonts.h"
#include "GbkText.h"
#include "Random.h"
#include "SampleWords.h"
#include "UTypeGameType.h"

namespace {

struct Options {
    int Width = 815;
    int Height = 424;
    int Level = 1;
    int Ticks = 0;
    quint32 Seed = 1;
    QString Out;
    QString WordsFile;
    QString Keys;
    int ShotTicks = 0;
    TWordDisType Display = TWordDisType::wdtMeanSpell;
};

[[noreturn]] void fail(const QString &message)
{
    std::fprintf(stderr, "board-preview: %s\n", message.toLocal8Bit().constData());
    std::exit(2);
}

int intOption(const QCommandLineParser &parser, const QString &name, int least)
{
    bool ok = false;
    const int v = parser.value(name).toInt(&ok);
    if (!ok || v < least)
        fail(QStringLiteral("--%1 needs a whole number of at least %2").arg(name).arg(least));
    return v;
}

Options parse(const QApplication &app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Writes one frame of the game board as a PNG."));
    parser.addHelpOption();
    const auto add = [&parser](const char *name, const char *description, const char *value,
                               const char *fallback) {
        parser.addOption(
            QCommandLineOption(QString::fromLatin1(name), QString::fromLatin1(description),
                               QString::fromLatin1(value), QString::fromLatin1(fallback)));
    };
    add("width", "Board width in pixels (default 815).", "W", "815");
    add("height", "Board height in pixels (default 424).", "H", "424");
    add("level", "Level 1, 2 or 3 (default 1).", "L", "1");
    add("ticks", "Play ticks to run (default 0).", "N", "0");
    add("seed", "Seed of the random box positions (default 1).", "S", "1");
    add("out", "The PNG file to write.", "FILE", "");
    add("words", "Word list: one 'spelling<TAB>meaning' per line, UTF-8.", "FILE", "");
    add("display", "What the boxes show: both, mean or spell (default both).", "MODE", "both");
    add("keys", "Text typed after the ticks.", "TEXT", "");
    add("shot-ticks", "Shot-timer ticks after the keys (default 0).", "K", "0");
    parser.process(app);

    Options o;
    o.Width = intOption(parser, QStringLiteral("width"), 1);
    o.Height = intOption(parser, QStringLiteral("height"), 1);
    o.Level = intOption(parser, QStringLiteral("level"), 1);
    o.Ticks = intOption(parser, QStringLiteral("ticks"), 0);
    o.Seed = static_cast<quint32>(intOption(parser, QStringLiteral("seed"), 0));
    o.Out = parser.value(QStringLiteral("out"));
    o.WordsFile = parser.value(QStringLiteral("words"));
    o.Keys = parser.value(QStringLiteral("keys"));
    o.ShotTicks = intOption(parser, QStringLiteral("shot-ticks"), 0);
    const QString display = parser.value(QStringLiteral("display"));
    if (display == u"mean")
        o.Display = TWordDisType::wdtMean;
    else if (display == u"spell")
        o.Display = TWordDisType::wdtSpell;
    else if (display != u"both")
        fail(QStringLiteral("--display is both, mean or spell"));
    if (o.Out.isEmpty())
        fail(QStringLiteral("--out FILE.png is required"));
    return o;
}

TWordInfos readWords(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        fail(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    TWordInfos words;
    QTextStream in(&file);
    in.setEncoding(QStringConverter::Utf8);
    while (!in.atEnd()) {
        const QString line = in.readLine();
        if (line.trimmed().isEmpty())
            continue;
        const qsizetype tab = line.indexOf(u'\t');
        TWordInfo w;
        w.Spelling = QStringToGbk(tab < 0 ? line : line.left(tab));
        w.Meaning = tab < 0 ? std::string() : QStringToGbk(line.mid(tab + 1));
        words.push_back(std::move(w));
    }
    return words;
}

// The key release that types Ch on a keyboard with Caps Lock off.
std::unique_ptr<QKeyEvent> keyRelease(QChar ch)
{
    if (ch.isLetter() && ch.unicode() < 128) {
        const int key = Qt::Key_A + (ch.toUpper().unicode() - u'A');
        return std::make_unique<QKeyEvent>(QEvent::KeyRelease, key,
                                           ch.isUpper() ? Qt::ShiftModifier : Qt::NoModifier,
                                           QString(ch));
    }
    if (ch == u' ')
        return std::make_unique<QKeyEvent>(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier,
                                           QString(ch));
    if (ch == u'-')
        return std::make_unique<QKeyEvent>(QEvent::KeyRelease, Qt::Key_Minus, Qt::NoModifier,
                                           QString(ch));
    return nullptr;
}

// What the screen would show next: a paint, which also checks for hits.
void paintOnce(TTypeGameType &board)
{
    QImage scratch(board.size(), QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&scratch);
    board.Paint(painter);
}

}  // namespace

int main(int argc, char **argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    InstallFontSubstitutions();
    const Options o = parse(app);
    SeedProgramRandom(o.Seed);

    // The host's game panel, painted in the board's default colour.
    QWidget panel;
    panel.resize(o.Width, o.Height);
    QPalette palette = panel.palette();
    palette.setColor(QPalette::Window, ColorToQColor(0xB06948));
    panel.setPalette(palette);
    panel.setAutoFillBackground(true);

    auto *board = new TTypeGameType(&panel, TTickSource::Manual);
    board->resize(o.Width, o.Height);
    board->SetLevel(o.Level);
    board->SetWordDisType(o.Display);
    board->StartGame(o.WordsFile.isEmpty() ? SampleWords() : readWords(o.WordsFile), nullptr);
    for (int i = 0; i < o.Ticks; ++i)
        board->RunManualTick();
    for (const QChar ch : o.Keys) {
        const std::unique_ptr<QKeyEvent> event = keyRelease(ch);
        if (!event)
            fail(QStringLiteral("--keys: cannot type '%1'").arg(ch));
        const TKeyStroke stroke = KeyStrokeFromKeyEvent(*event);
        board->TypeKey(stroke.Key, stroke.Shift);
        paintOnce(*board);
    }
    for (int i = 0; i < o.ShotTicks; ++i) {
        board->RunManualShootTick();
        paintOnce(*board);
    }

    const QPixmap frame = panel.grab();
    if (!frame.save(o.Out, "PNG"))
        fail(QStringLiteral("cannot write %1").arg(o.Out));
    return 0;
}
