#pragma once

#include "inputs/inputsource.h"
#include "platform/wakeup.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

// A source that cannot say when an input changes (the parallel port, a status file) is
// read every 10 ms by a thread of its own, which wakes the window only when an input
// changed: a press is acted on at once, a tap between two ticks is never missed, and
// while nothing changes the window sleeps. A source that fails is not sampled until a
// read at a tick works again: retrying it so often would cost for nothing.
class SampledSource : public InputSource {
public:
    explicit SampledSource(std::unique_ptr<InputSource> source,
                           std::chrono::milliseconds every = std::chrono::milliseconds(10));
    ~SampledSource() override;

    // What changed since the last read, then the source as it is now (as last sampled,
    // while sampling goes on; read here when it has not started or the source failed).
    // Sampling starts with the first read.
    [[nodiscard]] InputReading read() override;
    [[nodiscard]] QString name() const override { return m_source->name(); }
    [[nodiscard]] int wakeDescriptor() const override { return m_wake.descriptor(); }
    [[nodiscard]] QString remark() const override { return m_source->remark(); }

private:
    void sample();

    const std::unique_ptr<InputSource> m_source;
    const std::chrono::milliseconds m_every;
    Wakeup m_wake;   // raised while a change waits to be read
    std::mutex m_mutex;
    std::condition_variable m_resumed;
    QList<InputSample> m_changes;      // seen since the last read
    std::optional<Inputs> m_last;      // as last seen by either thread
    std::optional<QString> m_failed;   // why sampling stopped, until the window has read it
    bool m_reads = false;              // the last read worked: sampling goes on
    bool m_stopping = false;
    std::thread m_thread;
};
