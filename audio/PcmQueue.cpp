#include "PcmQueue.h"

#include <algorithm>

void TPcmQueue::Append(int owner, const float *frames, int count)
{
    if (count <= 0)
        return;
    std::lock_guard lock(m_mutex);
    // A run that has begun playing is closed: appended to, it would never be
    // played to its end while its owner keeps speaking, and what it had
    // played would never be freed.
    if (m_runs.empty() || m_runs.back().owner != owner || m_runs.back().position > 0)
        m_runs.push_back(Run{owner, {}, 0});
    std::vector<float> &samples = m_runs.back().samples;
    samples.insert(samples.end(), frames, frames + static_cast<size_t>(count) * 2);
}

std::int64_t TPcmQueue::Pending(int owner) const
{
    std::lock_guard lock(m_mutex);
    std::int64_t samples = 0;
    for (const Run &run : m_runs) {
        if (run.owner == owner)
            samples += static_cast<std::int64_t>(run.samples.size() - run.position);
    }
    return samples / 2;
}

std::int64_t TPcmQueue::PendingTotal() const
{
    std::lock_guard lock(m_mutex);
    std::int64_t samples = 0;
    for (const Run &run : m_runs)
        samples += static_cast<std::int64_t>(run.samples.size() - run.position);
    return samples / 2;
}

std::int64_t TPcmQueue::HeldFrames() const
{
    std::lock_guard lock(m_mutex);
    std::int64_t samples = 0;
    for (const Run &run : m_runs)
        samples += static_cast<std::int64_t>(run.samples.size());
    return samples / 2;
}

void TPcmQueue::Purge(int owner)
{
    std::lock_guard lock(m_mutex);
    std::erase_if(m_runs, [owner](const Run &run) { return run.owner == owner; });
}

void TPcmQueue::MixInto(float *mix, int frames)
{
    std::lock_guard lock(m_mutex);
    size_t wanted = static_cast<size_t>(frames) * 2;
    while (wanted > 0 && !m_runs.empty()) {
        Run &run = m_runs.front();
        const size_t take = std::min(wanted, run.samples.size() - run.position);
        const float *from = run.samples.data() + run.position;
        for (size_t i = 0; i < take; ++i)
            mix[i] += from[i];
        mix += take;
        wanted -= take;
        run.position += take;
        if (run.position == run.samples.size())
            m_runs.pop_front();
    }
}
