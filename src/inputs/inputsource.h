#pragma once

#include "platform/result.h"

#include <QString>

#include <array>
#include <optional>

// The four inputs, input n at index n - 1: true while it is active.
using Inputs = std::array<bool, 4>;

// What one read of a source gives: the four inputs now; or nothing new yet (a port still
// being claimed: the lamps stay as they are, and it is asked again at the next tick); or
// why it cannot be read, in Italian with what to do.
using InputReading = Result<std::optional<Inputs>>;
[[nodiscard]] inline InputReading notYet() { return std::optional<Inputs>(); }

// Every source of the four inputs - the parallel port, a status file, USB buttons - is
// read through this one seam; sources/ holds one file per kind, and sourcechoice.h turns
// the --port text into one of them.
class InputSource {
public:
    virtual ~InputSource() = default;
    // Called on the window's thread at each tick, and at once after a press it learnt of:
    // must never block for long.
    [[nodiscard]] virtual InputReading read() = 0;
    // What the user knows this source as, for the status line ("… non leggibile").
    [[nodiscard]] virtual QString name() const = 0;
    // A source that learns of a press as it happens (USB buttons) gives a descriptor that
    // becomes readable then; newPress() takes in what is queued and says whether an input
    // idle at the last read was pressed, so that the window reads at once instead of at
    // the next tick. Sources without one are only read at the ticks.
    [[nodiscard]] virtual int wakeDescriptor() const { return -1; }
    [[nodiscard]] virtual bool newPress() { return false; }
};
