#pragma once

#include "inputs/inputsource.h"

#include <QtGlobal>

#include <array>
#include <limits>

// The rules between what a source saw and the tick, the same for every source:
// - a reversal within 15 ms of an input's last edge that does not last 15 ms is contact
//   bounce: a bouncing press is one press, a bouncing release one release; bounce never
//   adds a sound nor restarts one;
// - a press is news the moment it is seen: the window ticks at once, so every real new
//   press sounds at once, also within a tick of the last sound;
// - an input is active at a tick while it is down, and also when it was pressed since the
//   last tick: a tap shorter than a tick still lights its lamp and sounds once.
// Pure: times are the steady clock's, in nanoseconds, as the samples carry them.
class Presses {
public:
    static constexpr qint64 kBounceNs = 15'000'000;

    // Takes in what a source saw at `atNs`; returns the inputs it newly pressed.
    Inputs take(const Inputs &raw, qint64 atNs);
    // The inputs active for a tick at `nowNs`; what was pressed is then forgotten.
    Inputs tick(qint64 nowNs);
    // The inputs down now, bounce taken out: a release shows here the moment it is seen.
    [[nodiscard]] const Inputs &down() const { return m_down; }
    // The source failed: nothing is down, and whatever comes next is news.
    void reset() { *this = Presses(); }

private:
    bool settle(std::size_t i, qint64 atNs);   // a lasting reversal becomes an edge; true on a press
    Inputs m_raw {};                           // as last seen
    std::array<qint64, 4> m_rawAt {};          // when each last changed
    Inputs m_down {};                          // with bounce taken out
    Inputs m_pressed {};                       // since the last tick
    std::array<qint64, 4> m_edgeAt {
        std::numeric_limits<qint64>::min() / 2, std::numeric_limits<qint64>::min() / 2,
        std::numeric_limits<qint64>::min() / 2, std::numeric_limits<qint64>::min() / 2};
};
