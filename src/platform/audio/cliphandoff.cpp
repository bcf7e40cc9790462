#include "cliphandoff.h"

#include "platform/timing.h"

#include <algorithm>

void ClipHandoff::hand(std::shared_ptr<const Clip> clip)
{
    std::shared_ptr<const Clip> replaced;   // freed here, after the lock
    std::lock_guard lock(m_lock);
    replaced = std::move(m_retired);
    m_pending = std::move(clip);
    m_hasPending.store(true, std::memory_order_release);
}

void ClipHandoff::fill(float *out, uint32_t frames)
{
    if (m_hasPending.load(std::memory_order_acquire) && m_lock.try_lock()) {
        std::swap(m_current, m_pending);
        m_retired = std::move(m_pending);
        m_pending.reset();
        m_hasPending.store(false, std::memory_order_release);
        m_lock.unlock();
        m_position = 0;
        if (m_current)
            firstFrameAtNs = steadyNowNs();
    }
    if (m_current)
        m_position += copyFrames(*m_current, m_position, out, frames);
    else if (out)
        std::fill(out, out + kOutputChannels * frames, 0.0f);
    m_sounding.store(m_current && m_position < m_current->frames(), std::memory_order_release);
}

bool ClipHandoff::busy() const
{
    return m_sounding.load(std::memory_order_acquire) || m_hasPending.load(std::memory_order_acquire);
}

void ClipHandoff::clear()
{
    m_current.reset();
    m_pending.reset();
    m_retired.reset();
    m_hasPending = false;
    m_position = 0;
    m_sounding = false;
}
