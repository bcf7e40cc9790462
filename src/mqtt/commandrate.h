#pragma once

#include <algorithm>
#include <chrono>

// How many commands are taken: a bucket of `perSecond` tokens, filled as time goes, one
// token per command. A burst up to the bucket is taken at once; beyond it, `perSecond`.
class CommandRate {
public:
    using Clock = std::chrono::steady_clock;
    explicit CommandRate(int perSecond, Clock::time_point now = Clock::now())
        : m_perSecond(perSecond), m_tokens(perSecond), m_filledAt(now)
    {}

    // Whether a command that comes at `now` is taken.
    [[nodiscard]] bool take(Clock::time_point now)
    {
        const double elapsed = std::chrono::duration<double>(now - m_filledAt).count();
        m_tokens = std::min<double>(m_perSecond, m_tokens + std::max(0.0, elapsed) * m_perSecond);
        m_filledAt = std::max(m_filledAt, now);
        if (m_tokens < 1)
            return false;
        m_tokens -= 1;
        return true;
    }

private:
    int m_perSecond;
    double m_tokens;
    Clock::time_point m_filledAt;
};
