#pragma once

#include "inputs/inputsource.h"

#include <QList>

#include <array>

// How an input plays. The defaults are how Velmora has always played: its sound restarts
// at every tick while the input is active, and replaces whatever plays.
struct InputMode {
    enum class When { Repeat, Once, Hold, Toggle } when = When::Repeat;
    enum class With { Replace, Mix } with = With::Replace;
    bool operator==(const InputMode &) const = default;
};
using InputModes = std::array<InputMode, 4>;

// What the player is asked for at one tick.
struct PlayAction {
    enum class Kind { Start, Stop } kind = Kind::Start;
    int input = 0;
    bool loop = false;   // Start: plays again from its start until stopped (hold, toggle)
    bool operator==(const PlayAction &) const = default;
};

// The rules between a tick's inputs and the sounds, per input's mode (pure):
// - repeat: started at every tick while active (today);
// - once: started by a new press only, and left to play to its end while held;
// - hold: a loop started by the press, stopped when the input is let go: at once when the
//   release is seen between ticks, else at the first tick it is idle (one replaced while
//   still held stays silent until its next press);
// - toggle: a press starts a loop, the next press stops it.
// Starts come in the order 2, 1, 3, 4, as today's sounds do. A start that replaces
// (not `mix`) ends every loop that played, so a toggle's next press starts it again.
class PlayRules {
public:
    [[nodiscard]] QList<PlayAction> tick(const Inputs &active, const Inputs &pressed,
                                         const InputModes &modes);
    // Inputs let go between ticks: the holds among them stop now, not at the next tick.
    [[nodiscard]] QList<PlayAction> released(const Inputs &released, const InputModes &modes);
    // Forgets every loop (the player was stopped from outside: a stop command).
    void stopped() { m_looping = {}; }
    [[nodiscard]] bool looping(int input) const { return m_looping.at(std::size_t(input - 1)); }

private:
    std::array<bool, 4> m_looping {};
};
