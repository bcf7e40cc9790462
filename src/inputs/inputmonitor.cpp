#include "inputmonitor.h"

#include "platform/texts.h"
#include "platform/timing.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcPort, "velmora.port", QtInfoMsg)

InputMonitor::InputMonitor(InputSource &source, std::chrono::milliseconds retry, Clock clock)
    : m_source(source), m_retry(retry), m_clock(std::move(clock))
{}

bool InputMonitor::poll()
{
    const auto now = m_clock();
    const qint64 readNs = std::chrono::nanoseconds(now.time_since_epoch()).count();
    m_latestNs = std::max(m_latestNs, readNs);
    if (m_failedAt && now - *m_failedAt < m_retry)
        return false;
    const InputReading reading = m_source.read();
    if (!reading) {
        const bool news = m_lastError.isEmpty();
        if (reading.error() != m_lastError)   // a new reason is news: the remedy changes with it
            qCWarning(lcPort).noquote()
                << Texts::tr("%1 non leggibile: %2").arg(m_source.name(), reading.error());
        m_failedAt = now;
        m_lastError = reading.error();
        m_presses.reset();
        return news;
    }
    m_failedAt.reset();   // read, or still being claimed: asked again at the next read
    bool pressed = false;
    for (const InputSample &sample : *reading) {
        if (!m_lastError.isEmpty()) {
            qCInfo(lcPort).noquote() << Texts::tr("%1 di nuovo leggibile.").arg(m_source.name());
            m_lastError.clear();
        }
        m_latestNs = std::max(m_latestNs, sample.atNs);
        const Inputs wasDown = m_presses.down();
        const Inputs news = m_presses.take(sample.raw, sample.atNs);
        for (std::size_t i = 0; i < news.size(); ++i)
            m_released[i] = m_released[i] || (wasDown[i] && !m_presses.down()[i]);
        for (const InputLine &line : kInputs) {
            if (!news[std::size_t(line.number - 1)])
                continue;
            pressed = true;
            m_news.append({line.number, sample.atNs});
            if (lcTiming().isDebugEnabled())
                qCDebug(lcTiming, "press %d %lld", line.number, static_cast<long long>(sample.atNs));
        }
    }
    return pressed;
}

Result<Inputs> InputMonitor::tick()
{
    (void)poll();
    m_released = {};   // the tick's own inputs show them
    if (!m_lastError.isEmpty())
        return failure(m_lastError);
    if (const QString remark = m_source.remark(); remark != m_lastRemark) {
        if (!remark.isEmpty())   // said once, where a service's messages go too
            qCWarning(lcPort).noquote() << m_source.name() << "-" << remark;
        m_lastRemark = remark;
    }
    return m_presses.tick(m_latestNs);
}
