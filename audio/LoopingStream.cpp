#include "LoopingStream.h"

std::shared_ptr<TLoopingStream> TLoopingStream::Open(const std::string &path)
{
    std::shared_ptr<TLoopingStream> stream(new TLoopingStream);
    if (!stream->m_decoder.Open(path))
        return nullptr;
    return stream;
}

void TLoopingStream::MixInto(float *mix, int frames)
{
    if (!m_playing)
        return;
    const size_t samples = static_cast<size_t>(frames) * 2;
    if (m_buffer.size() < samples)
        m_buffer.resize(samples);
    int filled = 0;
    bool rewoundWithoutData = false;
    while (filled < frames) {
        const int got =
            m_decoder.Read(m_buffer.data() + static_cast<size_t>(filled) * 2, frames - filled);
        filled += got;
        if (got > 0) {
            rewoundWithoutData = false;
            continue;
        }
        // End of the file: loop to its beginning. A file that yields nothing
        // even right after rewinding would spin here for ever; it goes quiet.
        if (rewoundWithoutData || !m_decoder.Rewind()) {
            m_playing = false;
            break;
        }
        rewoundWithoutData = true;
    }
    const float volume = m_volume;
    for (size_t i = 0; i < static_cast<size_t>(filled) * 2; ++i)
        mix[i] += m_buffer[i] * volume;
}
