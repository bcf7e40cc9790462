#include "inputmonitor.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcPort, "velmora.port", QtInfoMsg)

PortReading InputMonitor::read()
{
    PortReading reading = m_port.read();
    if (reading.isFailure()) {
        if (reading.error != m_lastError)   // a new reason is news: the remedy changes with it
            qCWarning(lcPort).noquote() << m_port.sourceName() << "non leggibile:" << reading.error;
        m_lastError = reading.error;
    } else if (reading.status) {
        if (!m_lastError.isEmpty())
            qCInfo(lcPort).noquote() << m_port.sourceName() << "di nuovo leggibile.";
        m_lastError.clear();
    }
    return reading;
}
