// The whole board as the player sees it, pixel for pixel: a frame from
// board-preview (typed letters, an arrow in flight) against the stored
// reference. After an intended change of the look, run
// tests/board/reference/regenerate and review the new picture.
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

TEST(BoardPreviewImage, MatchesTheReferenceFrame)
{
    const QStringList args = previewArguments();
    ASSERT_FALSE(args.isEmpty());
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString out = dir.filePath(QStringLiteral("frame.png"));

    QProcess preview;
    preview.start(QStringLiteral(BOARD_PREVIEW_EXE), args + QStringList{QStringLiteral("--out"), out});
    ASSERT_TRUE(preview.waitForFinished(60000));
    ASSERT_EQ(preview.exitStatus(), QProcess::NormalExit);
    ASSERT_EQ(preview.exitCode(), 0) << preview.readAllStandardError().toStdString();

    const QImage actual = QImage(out).convertToFormat(QImage::Format_RGB32);
    const QImage expected =
        QImage(kReferenceDir + QStringLiteral("/board-typed.png")).convertToFormat(QImage::Format_RGB32);
    ASSERT_FALSE(expected.isNull());
    ASSERT_EQ(actual.size(), expected.size());
    int differing = 0;
    for (int y = 0; y < actual.height(); ++y)
        for (int x = 0; x < actual.width(); ++x)
            differing += actual.pixel(x, y) != expected.pixel(x, y);
    if (differing > 0)
        actual.save(QStringLiteral("board-typed.actual.png"));
    EXPECT_EQ(differing, 0) << "see board-typed.actual.png in the test's working directory";
}

TEST(BoardPreviewImage, RejectsBadArguments)
{
    QProcess preview;
    preview.start(QStringLiteral(BOARD_PREVIEW_EXE),
                  {QStringLiteral("--out"), QStringLiteral("/nonexistent/x.png"), QStringLiteral("--width"),
                   QStringLiteral("abc")});
    ASSERT_TRUE(preview.waitForFinished(60000));
    EXPECT_EQ(preview.exitCode(), 2);
    EXPECT_TRUE(preview.readAllStandardError().contains("--width"));
}

} // namespace
