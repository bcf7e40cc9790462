#include "presses.h"

bool Presses::settle(std::size_t i, qint64 atNs)
{
    if (m_raw[i] == m_down[i] || atNs - m_edgeAt[i] < kBounceNs)
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
        m_raw[i] = raw[i];
        pressed[i] = settle(i, atNs);
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
