#pragma once

#include "platform/statusport.h"

// One read of the status port per tick, with the port's health turned into log lines:
// one warning when reading starts to fail or fails for another reason, one line when it
// works again.
class InputMonitor {
public:
    explicit InputMonitor(StatusPort &port) : m_port(port) {}

    [[nodiscard]] PortReading read();
    [[nodiscard]] QString sourceName() const { return m_port.sourceName(); }
    [[nodiscard]] int wakeDescriptor() const { return m_port.wakeDescriptor(); }
    [[nodiscard]] bool newPress() { return m_port.newPress(); }

private:
    StatusPort &m_port;
    QString m_lastError;   // empty while the port reads
};
