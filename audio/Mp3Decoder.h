#pragma once
// Decodes an MP3 file piece by piece, as it is played: only the frames being
// decoded are in memory, never the whole file. Output is always 44.1 kHz
// interleaved stereo floats, whatever the file's own rate and channels, and
// the encoder's leading delay and trailing padding are cut off, so a piece
// made to loop joins itself without a gap.

#include <cstdint>
#include <string>

struct mpg123_handle_struct;

class TMp3Decoder {
public:
    TMp3Decoder() = default;
    ~TMp3Decoder();
    TMp3Decoder(const TMp3Decoder &) = delete;
    TMp3Decoder &operator=(const TMp3Decoder &) = delete;

    // Opens the file (UTF-8 path) and finds its first frame. False when the
    // file is missing, unreadable or holds no MPEG audio.
    bool Open(const std::string &path);
    bool IsOpen() const { return m_handle != nullptr; }

    // Reads up to `frames` stereo frames into `out`; fewer only at the end of
    // the file (0 there) or on a decoding error.
    int Read(float *out, int frames);
    // Back to the first sample.
    bool Rewind();

    // Frames of the whole file as far as the decoder knows without reading
    // it all; -1 when unknown.
    std::int64_t LengthFrames();

private:
    void close();

    mpg123_handle_struct *m_handle = nullptr;
};
