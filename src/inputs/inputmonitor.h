#pragma once

#include "inputs/inputsource.h"
#include "inputs/inputtick.h"
#include "inputs/presses.h"

#include <chrono>
#include <functional>
#include <optional>

// The source as the window reads it. Every read goes through the press rules (presses.h).
// After a failure it answers with the same failure for `retry` without touching the
// source, so a missing device is not reopened at every read; and it turns the source's
// health into log lines: one warning when reading starts to fail or fails for another
// reason, one line when it works again.
class InputMonitor {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    explicit InputMonitor(InputSource &source, std::chrono::milliseconds retry = std::chrono::seconds(2),
                          Clock clock = &std::chrono::steady_clock::now);

    // Reads the source between ticks, when it wakes: true when the window should tick
    // now, for a new press or a source that has just failed.
    [[nodiscard]] bool poll();
    // Reads the source for a tick: the inputs active for it, or why they cannot be read.
    [[nodiscard]] Result<Inputs> tick();
    // The presses seen since this was last asked, oldest first.
    [[nodiscard]] QList<Press> takePresses() { return std::exchange(m_news, {}); }
    // The inputs released since this was last asked or the last tick (which shows them).
    [[nodiscard]] Inputs takeReleases() { return std::exchange(m_released, {}); }

    [[nodiscard]] QString name() const { return m_source.name(); }
    [[nodiscard]] int wakeDescriptor() const { return m_source.wakeDescriptor(); }
    [[nodiscard]] QString remark() const { return m_source.remark(); }

private:
    InputSource &m_source;
    std::chrono::milliseconds m_retry;
    Clock m_clock;
    std::optional<std::chrono::steady_clock::time_point> m_failedAt;
    QString m_lastError;    // empty while the source reads
    QString m_lastRemark;   // as last said
    Presses m_presses;
    qint64 m_latestNs = 0;   // the newest time seen, the clock's or a sample's
    QList<Press> m_news;
    Inputs m_released {};
};
