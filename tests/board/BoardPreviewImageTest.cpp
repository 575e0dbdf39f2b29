// The whole board as the player sees it, pixel for pixel: a frame from
// board-preview (typed letters, an arrow in flight) against the stored
// reference. After an intended change of the look, run
// tests/board/reference/regenerate and review the new picture.
#include <algorithm>
#include <cstdlib>

#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

const QString kReferenceDir = QStringLiteral(KIVRO_SOURCE_DIR "/tests/board/reference");

QStringList previewArguments()
{
    QFile file(kReferenceDir + QStringLiteral("/board-typed.args"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QStringList args;
    QTextStream in(&file);
    while (!in.atEnd()) {
        const QString line = in.readLine();
        if (!line.isEmpty())
            args << line;
    }
    return args;
}

// A new font or FreeType may move a few edge pixels a little; anything the
// board itself draws differently (a word, a letter, an arrow a step off)
// changes far more.
constexpr int kMaxDifferingPixels = 40;
constexpr int kMaxChannelDelta = 16;

struct ImageDifference {
    int Differing = 0;  // pixels not exactly equal
    int TooFar = 0;     // pixels with a channel off by more than kMaxChannelDelta
    bool SameSize = false;

    bool Acceptable() const { return SameSize && TooFar == 0 && Differing <= kMaxDifferingPixels; }
};

ImageDifference Compare(const QImage &actual, const QImage &expected)
{
    ImageDifference d;
    d.SameSize = actual.size() == expected.size();
    if (!d.SameSize)
        return d;
    const QImage a = actual.convertToFormat(QImage::Format_RGB32);
    const QImage e = expected.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y);
            const QRgb q = e.pixel(x, y);
            if (p == q)
                continue;
            ++d.Differing;
            const int delta =
                std::max({std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                          std::abs(qBlue(p) - qBlue(q))});
            d.TooFar += delta > kMaxChannelDelta;
        }
    return d;
}

// Runs board-preview with args; the frame, or a null image.
QImage Preview(const QStringList &args)
{
    QTemporaryDir dir;
    if (!dir.isValid())
        return {};
    const QString out = dir.filePath(QStringLiteral("frame.png"));
    QProcess preview;
    preview.start(QStringLiteral(BOARD_PREVIEW_EXE),
                  args + QStringList{QStringLiteral("--out"), out});
    if (!preview.waitForFinished(60000) || preview.exitStatus() != QProcess::NormalExit
        || preview.exitCode() != 0) {
        ADD_FAILURE() << "board-preview failed: " << preview.readAllStandardError().toStdString();
        return {};
    }
    return QImage(out);
}

QImage Reference()
{
    return QImage(kReferenceDir + QStringLiteral("/board-typed.png"));
}

TEST(BoardPreviewImage, MatchesTheReferenceFrame)
{
    const QStringList args = previewArguments();
    ASSERT_FALSE(args.isEmpty());
    const QImage actual = Preview(args);
    const QImage expected = Reference();
    ASSERT_FALSE(actual.isNull());
    ASSERT_FALSE(expected.isNull());
    const ImageDifference d = Compare(actual, expected);
    if (d.Differing > 0)
        actual.save(QStringLiteral("board-typed.actual.png"));
    EXPECT_TRUE(d.Acceptable()) << d.Differing << " pixels differ, " << d.TooFar << " by more than "
                                << kMaxChannelDelta
                                << "; see board-typed.actual.png in the test's working directory";
}

TEST(BoardPreviewImage, ToleratesOnlyAFewSlightlyChangedPixels)
{
    QImage reference = Reference();
    ASSERT_FALSE(reference.isNull());
    reference = reference.convertToFormat(QImage::Format_RGB32);
    auto shifted = [&](int pixels, int by) {
        QImage changed = reference;
        for (int i = 0; i < pixels; ++i) {
            const int x = (i * 7) % changed.width();
            const int y = (i * 13) % changed.height();
            const QRgb p = changed.pixel(x, y);
            const int red = qRed(p) + by <= 255 ? qRed(p) + by : qRed(p) - by;
            changed.setPixel(x, y, qRgb(red, qGreen(p), qBlue(p)));
        }
        return Compare(changed, reference);
    };
    EXPECT_TRUE(shifted(kMaxDifferingPixels, kMaxChannelDelta).Acceptable());
    EXPECT_FALSE(shifted(kMaxDifferingPixels + 1, 1).Acceptable());
    EXPECT_FALSE(shifted(1, kMaxChannelDelta + 1).Acceptable());
    EXPECT_FALSE(Compare(reference.copy(0, 0, 10, 10), reference).Acceptable());
}

TEST(BoardPreviewImage, AnArrowOneShotTickBehindFails)
{
    // The reference frame after one shot tick fewer: the 10 x 15 arrow sits
    // 5 pixels lower, nothing else changes.
    QStringList args = previewArguments();
    const qsizetype at = args.indexOf(QStringLiteral("--shot-ticks"));
    ASSERT_GE(at, 0);
    ASSERT_LT(at + 1, args.size());
    const int shotTicks = args[at + 1].toInt();
    ASSERT_GT(shotTicks, 0);
    args[at + 1] = QString::number(shotTicks - 1);
    const QImage behind = Preview(args);
    ASSERT_FALSE(behind.isNull());
    const ImageDifference d = Compare(behind, Reference());
    EXPECT_GT(d.Differing, 0);
    EXPECT_FALSE(d.Acceptable()) << d.Differing << " pixels differ, " << d.TooFar << " by much";
}

TEST(BoardPreviewImage, RejectsBadArguments)
{
    QProcess preview;
    preview.start(QStringLiteral(BOARD_PREVIEW_EXE),
                  {QStringLiteral("--out"), QStringLiteral("/nonexistent/x.png"),
                   QStringLiteral("--width"), QStringLiteral("abc")});
    ASSERT_TRUE(preview.waitForFinished(60000));
    EXPECT_EQ(preview.exitCode(), 2);
    EXPECT_TRUE(preview.readAllStandardError().contains("--width"));
}

}  // namespace
