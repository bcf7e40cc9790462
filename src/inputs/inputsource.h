#pragma once

#include "platform/result.h"
#include "platform/timing.h"

#include <QList>
#include <QString>

#include <array>
#include <optional>

// The four inputs, input n at index n - 1: true while it is active.
using Inputs = std::array<bool, 4>;

// The four inputs as a source saw them at one moment, on the steady clock in nanoseconds
// (USB buttons: the kernel's time of the event).
struct InputSample {
    Inputs raw {};
    qint64 atNs = 0;
    bool operator==(const InputSample &) const = default;
};

// What one read of a source gives: what it saw since the last read, in order - one sample
// for a source read when asked, one per change of a button for USB buttons, none when
// there is nothing new (a port still being claimed) - or why it cannot be read, in
// Italian with what to do. The bounce, press and latch rules are applied above (presses.h).
using InputReading = Result<QList<InputSample>>;
[[nodiscard]] inline InputReading notYet() { return QList<InputSample>(); }
[[nodiscard]] inline InputReading seenNow(const Inputs &raw)
{
    return QList<InputSample> {{raw, steadyNowNs()}};
}

// Every source of the four inputs - the parallel port, a status file, USB buttons - is
// read through this one seam; sources/ holds one file per kind, and sourcechoice.h turns
// the --port text into one of them.
class InputSource {
public:
    virtual ~InputSource() = default;
    // Called at each tick and between ticks, by one thread at a time (the window's, or a
    // sampling thread's): must never block for long.
    [[nodiscard]] virtual InputReading read() = 0;
    // What the user knows this source as, for the status line ("… non leggibile").
    [[nodiscard]] virtual QString name() const = 0;
    // A source that learns of a change as it happens (USB buttons) gives a descriptor that
    // becomes readable then, and is read at once; the others are read every 10 ms by a
    // sampled source (sampledsource.h) that wakes the window on a change.
    [[nodiscard]] virtual int wakeDescriptor() const { return -1; }
    // What the user should know while it reads, in Italian with what to do: inputs this
    // device cannot give. Shown on the status line; empty when there is nothing to say.
    [[nodiscard]] virtual QString remark() const { return {}; }
};
