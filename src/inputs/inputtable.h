#pragma once

#include <QList>
#include <QtGlobal>

#include <array>
#include <bitset>

// One input wired to a status line of the parallel port. Every input is active while
// its pin is held low; the port hardware inverts Busy (bit 7), so that bit reads 1.
struct InputLine {
    int number;          // 1..4, as shown to the user
    int bit;             // status bit 4..7, also the index of its lamp and frame
    bool activeWhenSet;  // true only for bit 7
};

// In the order the sounds are requested within one tick: since each request replaces
// the sound playing, the last active one in this list is the one heard.
inline constexpr std::array<InputLine, 4> kInputs {{
    {2, 7, true},
    {1, 6, false},
    {3, 5, false},
    {4, 4, false},
}};

// Flag k is bit k of the status byte.
using StatoIngressi = std::bitset<8>;

[[nodiscard]] inline StatoIngressi statusFlags(quint8 status) { return StatoIngressi(status); }

[[nodiscard]] inline bool isActive(const StatoIngressi &flags, const InputLine &line)
{
    return flags.test(std::size_t(line.bit)) == line.activeWhenSet;
}

// The active inputs of a status byte, in request order.
[[nodiscard]] QList<int> activeInputs(quint8 status);
