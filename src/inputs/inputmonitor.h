#pragma once

#include "inputtable.h"
#include "platform/statusport.h"

#include <optional>

// One read of the status port per tick, with the port's health turned into log lines:
// one warning when reading starts to fail, one line when it works again.
class InputMonitor {
public:
    explicit InputMonitor(StatusPort &port) : m_port(port) {}

    struct Poll {
        std::optional<StatoIngressi> flags;   // empty when the port could not be read
        QString error;
    };
    [[nodiscard]] Poll poll();

private:
    StatusPort &m_port;
    bool m_failing = false;
};
