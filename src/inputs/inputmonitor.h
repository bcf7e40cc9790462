#pragma once

#include "platform/statusport.h"

// One read of the status port per tick, with the port's health turned into log lines:
// one warning when reading starts to fail, one line when it works again.
class InputMonitor {
public:
    explicit InputMonitor(StatusPort &port) : m_port(port) {}

    [[nodiscard]] PortReading read();

private:
    StatusPort &m_port;
    bool m_failing = false;
};
