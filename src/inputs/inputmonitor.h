#pragma once

#include "inputs/inputsource.h"

#include <chrono>
#include <functional>
#include <optional>

// The source as the window reads it. After a failure it answers with the same failure for
// `retry` without touching the source, so a missing device is not reopened every tick;
// and it turns the source's health into log lines: one warning when reading starts to
// fail or fails for another reason, one line when it works again.
class InputMonitor {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    explicit InputMonitor(InputSource &source, std::chrono::milliseconds retry = std::chrono::seconds(2),
                          Clock clock = &std::chrono::steady_clock::now);

    [[nodiscard]] InputReading read();
    [[nodiscard]] QString name() const { return m_source.name(); }
    [[nodiscard]] int wakeDescriptor() const { return m_source.wakeDescriptor(); }
    [[nodiscard]] bool newPress() { return m_source.newPress(); }

private:
    InputSource &m_source;
    std::chrono::milliseconds m_retry;
    Clock m_clock;
    std::optional<std::chrono::steady_clock::time_point> m_failedAt;
    QString m_lastError;   // empty while the source reads
};
