#include "sampledsource.h"

SampledSource::SampledSource(std::unique_ptr<InputSource> source, std::chrono::milliseconds every)
    : m_source(std::move(source)), m_every(every)
{}

SampledSource::~SampledSource()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_resumed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

InputReading SampledSource::read()
{
    std::lock_guard lock(m_mutex);
    m_wake.clear();
    if (m_thread.joinable() && m_reads) {   // sampled 10 ms ago at most: not read again here
        QList<InputSample> seen = std::exchange(m_changes, {});
        if (m_last)
            seen.append({*m_last, steadyNowNs()});
        return seen;
    }
    // The failure the sampling met is handed over as it was: read again here, a source
    // that opens on a thread of its own could answer "not yet" every time on a starved
    // machine, and the reason would never be shown. The next read tries the source again.
    if (m_failed)
        return failure(*std::exchange(m_failed, std::nullopt));
    const InputReading now = m_source->read();
    const bool resumed = !m_reads && now;
    m_reads = bool(now);
    if (!now) {
        m_changes.clear();
        m_last.reset();
        return now;
    }
    if (!now->isEmpty())
        m_last = now->last().raw;
    if (!m_thread.joinable())
        m_thread = std::thread([this] { sample(); });
    else if (resumed)
        m_resumed.notify_all();
    return now;
}

void SampledSource::sample()
{
    auto next = std::chrono::steady_clock::now();
    std::unique_lock lock(m_mutex);
    while (!m_stopping) {
        next += m_every;
        if (m_resumed.wait_until(lock, next, [this] { return m_stopping; }))
            break;
        if (!m_reads) {
            m_resumed.wait(lock, [this] { return m_stopping || m_reads; });
            next = std::chrono::steady_clock::now();
            continue;
        }
        next =
            std::max(next, std::chrono::steady_clock::now() - m_every);   // late: no catching up in a burst
        const InputReading now = m_source->read();
        if (!now) {
            m_reads = false;
            m_failed = now.error();
            m_changes.clear();
            m_last.reset();
            m_wake.raise();   // the window reads and learns why at once
            continue;
        }
        bool changed = false;
        for (const InputSample &sample : *now) {
            if (m_last == sample.raw)
                continue;
            m_changes.append(sample);
            m_last = sample.raw;
            changed = true;
        }
        if (changed)
            m_wake.raise();
    }
}
