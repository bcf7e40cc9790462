#include "presses.h"

bool Presses::settle(std::size_t i, qint64 atNs)
{
    // A reversal that began far enough from the last edge is taken at once; one that began
    // close to it only once it has lasted the bounce time, however late that is seen.
    if (m_raw[i] == m_down[i] || (m_rawAt[i] - m_edgeAt[i] < kBounceNs && atNs - m_rawAt[i] < kBounceNs))
        return false;
    m_down[i] = m_raw[i];
    m_edgeAt[i] = atNs;
    m_pressed[i] = m_pressed[i] || m_down[i];
    return m_down[i];
}

Inputs Presses::take(const Inputs &raw, qint64 atNs)
{
    Inputs pressed {};
    for (std::size_t i = 0; i < raw.size(); ++i) {
        // A reversal that lasted, with nothing seen since, was real: taken in when it proved so.
        pressed[i] = settle(i, std::min(atNs, m_rawAt[i] + kBounceNs));
        if (raw[i] != m_raw[i]) {
            m_raw[i] = raw[i];
            m_rawAt[i] = atNs;
        }
        pressed[i] = settle(i, atNs) || pressed[i];
    }
    return pressed;
}

Inputs Presses::tick(qint64 nowNs)
{
    Inputs active {};
    for (std::size_t i = 0; i < active.size(); ++i) {
        settle(i, nowNs);   // a reversal that lasted past the bounce time, with nothing seen since
        active[i] = m_down[i] || m_pressed[i];
    }
    m_pressed = {};
    return active;
}
