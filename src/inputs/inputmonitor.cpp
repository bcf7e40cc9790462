#include "inputmonitor.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcPort, "velmora.port", QtInfoMsg)

PortReading InputMonitor::read()
{
    PortReading reading = m_port.read();
    if (reading.isFailure()) {
        if (!m_failing)
            qCWarning(lcPort).noquote() << "Porta parallela non leggibile:" << reading.error;
        m_failing = true;
    } else if (reading.status) {
        if (m_failing)
            qCInfo(lcPort) << "Porta parallela di nuovo leggibile.";
        m_failing = false;
    }
    return reading;
}
