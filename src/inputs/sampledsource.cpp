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
    // For the kernel test: a read later than a short contact lasts (the machine gave this
    // thread no time) is said in the timing log, so a contact missed then is excused.
    constexpr qint64 kUnsampledNs = 25'000'000;
    qint64 lastNs = 0;
    auto next = std::chrono::steady_clock::now();
    std::unique_lock lock(m_mutex);
    while (!m_stopping) {
        next += m_every;
        if (m_resumed.wait_until(lock, next, [this] { return m_stopping; }))
            break;
        if (!m_reads) {
            m_resumed.wait(lock, [this] { return m_stopping || m_reads; });
            next = std::chrono::steady_clock::now();
            lastNs = 0;
            continue;
        }
        const qint64 nowNs = steadyNowNs();
        if (lastNs && nowNs - lastNs > kUnsampledNs && lcTiming().isDebugEnabled())
            qCDebug(lcTiming, "unsampled %lld %lld", static_cast<long long>(lastNs),
                    static_cast<long long>(nowNs));
        lastNs = nowNs;
        next =
            std::max(next, std::chrono::steady_clock::now() - m_every);   // late: no catching up in a burst
        const InputReading now = m_source->read();
        if (!now) {
            m_reads = false;
            m_changes.clear();
            m_last.reset();
            m_wake.raise();   // the window reads again and learns why at once
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
