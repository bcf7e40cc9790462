#pragma once

#include "inputs/inputsource.h"

#include <QList>

#include <array>

// One input as it is wired to a status line of the parallel port, and as the window shows
// it. Every input is active while its pin is held low; the port hardware inverts Busy
// (bit 7), so that bit reads 1.
struct InputLine {
    int number;           // 1..4, as shown to the user
    int bit;              // status bit 4..7, also the index of its lamp and frame
    bool activeWhenSet;   // true only for bit 7
};

// In the order the sounds are requested within one tick: since each request replaces
// the sound playing, the last active one in this list is the one heard.
inline constexpr std::array<InputLine, 4> kInputs {{
    {2, 7, true},
    {1, 6, false},
    {3, 5, false},
    {4, 4, false},
}};

// One new press, at the time its source saw it (steady clock, nanoseconds).
struct Press {
    int input = 0;
    qint64 atNs = 0;
    bool operator==(const Press &) const = default;
};

// What the inputs read at one tick: which are active (the lamps that are green), and the
// presses seen since the last tick, in the order they were seen (2, 1, 3, 4 within one
// sample). Which sounds they ask for, and in what order, the play rules say.
struct InputTick {
    Inputs active {};
    QList<Press> presses {};
    bool operator==(const InputTick &) const = default;
};
