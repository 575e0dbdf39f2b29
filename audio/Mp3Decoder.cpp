#include "Mp3Decoder.h"

#include <mpg123.h>

#include "AudioOutput.h"

namespace {

bool libraryReady()
{
    // mpg123_init must run once before any handle is made.
    static const bool ready = mpg123_init() == MPG123_OK;
    return ready;
}

}  // namespace

TMp3Decoder::~TMp3Decoder()
{
    close();
}

void TMp3Decoder::close()
{
    if (m_handle == nullptr)
        return;
    mpg123_close(m_handle);
    mpg123_delete(m_handle);
    m_handle = nullptr;
}

bool TMp3Decoder::Open(const std::string &path)
{
    close();
    if (!libraryReady())
        return false;
    int error = MPG123_OK;
    mpg123_handle *handle = mpg123_new(nullptr, &error);
    if (handle == nullptr)
        return false;
    const long flags = MPG123_QUIET | MPG123_GAPLESS | MPG123_FORCE_STEREO | MPG123_FORCE_FLOAT;
    bool ok =
        mpg123_param(handle, MPG123_FLAGS, flags, 0.0) == MPG123_OK
        && mpg123_param(handle, MPG123_FORCE_RATE, TAudioOutput::kSampleRate, 0.0) == MPG123_OK
        && mpg123_format_none(handle) == MPG123_OK
        && mpg123_format(handle, TAudioOutput::kSampleRate, MPG123_STEREO, MPG123_ENC_FLOAT_32)
               == MPG123_OK
        && mpg123_open(handle, path.c_str()) == MPG123_OK;
    if (ok) {
        // Finding the format means finding a real MPEG frame: a file of
        // anything else fails here.
        long rate = 0;
        int channels = 0;
        int encoding = 0;
        ok = mpg123_getformat(handle, &rate, &channels, &encoding) == MPG123_OK
             && rate == TAudioOutput::kSampleRate && channels == 2
             && encoding == MPG123_ENC_FLOAT_32;
    }
    if (!ok) {
        mpg123_close(handle);
        mpg123_delete(handle);
        return false;
    }
    m_handle = handle;
    return true;
}

int TMp3Decoder::Read(float *out, int frames)
{
    if (m_handle == nullptr || frames <= 0)
        return 0;
    constexpr size_t frameBytes = 2 * sizeof(float);
    auto *bytes = reinterpret_cast<unsigned char *>(out);
    const size_t wanted = static_cast<size_t>(frames) * frameBytes;
    size_t got = 0;
    while (got < wanted) {
        size_t done = 0;
        const int result = mpg123_read(m_handle, bytes + got, wanted - got, &done);
        got += done;
        if (result == MPG123_NEW_FORMAT)
            continue;  // the forced format never changes; carry on
        if (result != MPG123_OK || done == 0)
            break;
    }
    return static_cast<int>(got / frameBytes);
}

bool TMp3Decoder::Rewind()
{
    return m_handle != nullptr && mpg123_seek(m_handle, 0, SEEK_SET) >= 0;
}

std::int64_t TMp3Decoder::LengthFrames()
{
    if (m_handle == nullptr)
        return -1;
    const off_t length = mpg123_length(m_handle);
    return length < 0 ? -1 : static_cast<std::int64_t>(length);
}
