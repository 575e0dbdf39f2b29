#include "TestMp3.h"

#include <cmath>
#include <cstdint>
#include <fstream>
#include <stdexcept>
#include <vector>

#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

namespace {

void put32(std::ofstream &out, std::uint32_t v)
{
    const char b[4] = {char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF),
                       char((v >> 24) & 0xFF)};
    out.write(b, 4);
}

void put16(std::ofstream &out, std::uint16_t v)
{
    const char b[2] = {char(v & 0xFF), char((v >> 8) & 0xFF)};
    out.write(b, 2);
}

}  // namespace

void MakeSineMp3(const std::string &path, double seconds, double hz, int rate, int channels)
{
    QTemporaryDir dir;
    const std::string wav = dir.path().toStdString() + "/tone.wav";
    const auto frames = static_cast<std::uint32_t>(seconds * rate);
    const std::uint32_t dataBytes = frames * static_cast<std::uint32_t>(channels) * 2;
    {
        std::ofstream out(wav, std::ios::binary);
        out.write("RIFF", 4);
        put32(out, 36 + dataBytes);
        out.write("WAVEfmt ", 8);
        put32(out, 16);
        put16(out, 1);
        put16(out, static_cast<std::uint16_t>(channels));
        put32(out, static_cast<std::uint32_t>(rate));
        put32(out, static_cast<std::uint32_t>(rate * channels * 2));
        put16(out, static_cast<std::uint16_t>(channels * 2));
        put16(out, 16);
        out.write("data", 4);
        put32(out, dataBytes);
        for (std::uint32_t i = 0; i < frames; ++i) {
            const double v = 0.5 * std::sin(2.0 * M_PI * hz * i / rate);
            const auto sample = static_cast<std::int16_t>(std::lrint(v * 32767.0));
            for (int c = 0; c < channels; ++c)
                put16(out, static_cast<std::uint16_t>(sample));
        }
        if (!out)
            throw std::runtime_error("cannot write " + wav);
    }
    const int exitCode =
        QProcess::execute(QStringLiteral("lame"),
                          {QStringLiteral("--quiet"), QStringLiteral("-b"), QStringLiteral("128"),
                           QString::fromStdString(wav), QString::fromStdString(path)});
    if (exitCode != 0)
        throw std::runtime_error("lame failed to encode " + path);
}
