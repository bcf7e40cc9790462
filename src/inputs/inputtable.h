#pragma once

#include <QList>
#include <QtGlobal>

#include <array>

// One input wired to a status line of the parallel port. Every input is active while
// its pin is held low; the port hardware inverts Busy (bit 7), so that bit reads 1.
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

// What one status byte means: which inputs are active (their lamps green), and the
// inputs whose sounds are asked for, in request order. Bits 0-3 mean nothing.
struct InputTick {
    std::array<bool, 4> active {};   // input n at index n - 1
    QList<int> sounds;
    bool operator==(const InputTick &) const = default;
};
[[nodiscard]] InputTick inputTick(quint8 status);

// The status byte in which exactly the given inputs are active: how a source other than
// the parallel port (USB buttons) hands its inputs to the same tick.
[[nodiscard]] quint8 statusByteFor(const std::array<bool, 4> &active);
