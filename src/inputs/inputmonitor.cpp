#include "inputmonitor.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcPort, "velmora.port", QtInfoMsg)

InputMonitor::InputMonitor(InputSource &source, std::chrono::milliseconds retry, Clock clock)
    : m_source(source), m_retry(retry), m_clock(std::move(clock))
{}

InputReading InputMonitor::read()
{
    const auto now = m_clock();
    if (m_failedAt && now - *m_failedAt < m_retry)
        return failure(m_lastError);
    InputReading reading = m_source.read();
    if (!reading) {
        if (reading.error() != m_lastError)   // a new reason is news: the remedy changes with it
            qCWarning(lcPort).noquote() << m_source.name() << "non leggibile:" << reading.error();
        m_failedAt = now;
        m_lastError = reading.error();
        return reading;
    }
    m_failedAt.reset();   // read, or still being claimed: asked again at the next tick
    if (*reading && !m_lastError.isEmpty()) {
        qCInfo(lcPort).noquote() << m_source.name() << "di nuovo leggibile.";
        m_lastError.clear();
    }
    return reading;
}
