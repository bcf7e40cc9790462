#pragma once

#include "inputs/inputtick.h"

#include <optional>

// Quiz mode (pure): the first press wins and every other input is locked until a reset.
// "First" is by the presses' own times from their source (the kernel's edge times for GPIO
// and USB, the 10 ms sample for the port and the serial port), never by the order they were
// read in; presses with the same time go in the order 2, 1, 3, 4.
class Quiz {
public:
    // The presses seen since the last tick, any order: decides the winner if there is none
    // yet. Returns the inputs whose presses may sound: the winner's only, once there is one.
    [[nodiscard]] Inputs allowed(const QList<Press> &presses);
    void reset() { m_winner.reset(); }
    [[nodiscard]] std::optional<int> winner() const { return m_winner; }

private:
    std::optional<int> m_winner;
};

// The earliest of `presses`, ties broken in the order 2, 1, 3, 4; none when empty.
[[nodiscard]] std::optional<Press> firstPress(const QList<Press> &presses);
