#include "UtteranceShaper.h"

#include <algorithm>
#include <cstdlib>

#include "AudioOutput.h"

TUtteranceShaper::TUtteranceShaper(int inputRate)
    : m_step(static_cast<double>(inputRate) / TAudioOutput::kSampleRate),
      m_preRoll(static_cast<size_t>(inputRate) / 200), m_tail(static_cast<size_t>(inputRate) / 100)
{
}

void TUtteranceShaper::put(std::int16_t sample, std::vector<float> &out)
{
    // Linear interpolation between the previous input sample and this one.
    const float current = static_cast<float>(sample) / 32768.0f;
    while (m_position < 1.0) {
        const float v = m_previous + (current - m_previous) * static_cast<float>(m_position);
        out.push_back(v);
        out.push_back(v);
        m_position += m_step;
    }
    m_position -= 1.0;
    m_previous = current;
}

void TUtteranceShaper::Feed(const std::int16_t *samples, int count, std::vector<float> &out)
{
    for (int i = 0; i < count; ++i) {
        const std::int16_t s = samples[i];
        const bool audible = std::abs(static_cast<int>(s)) > kAudible;
        if (!audible) {
            m_held.push_back(s);
            // Before the first audible sample only the pre-roll is worth keeping.
            if (!m_started && m_held.size() > m_preRoll)
                m_held.pop_front();
            continue;
        }
        for (const std::int16_t held : m_held)
            put(held, out);
        m_held.clear();
        m_started = true;
        put(s, out);
    }
}

void TUtteranceShaper::Finish(std::vector<float> &out)
{
    if (m_started) {
        const size_t keep = std::min(m_tail, m_held.size());
        for (size_t i = 0; i < keep; ++i)
            put(m_held[i], out);
    }
    m_held.clear();
}
