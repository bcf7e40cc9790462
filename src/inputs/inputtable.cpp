#include "inputtable.h"

InputTick inputTick(quint8 status)
{
    InputTick tick;
    for (const InputLine &line : kInputs) {
        const bool set = (status >> line.bit) & 1;
        if (set == line.activeWhenSet) {
            tick.active[std::size_t(line.number - 1)] = true;
            tick.sounds.append(line.number);
        }
    }
    return tick;
}

quint8 statusByteFor(const std::array<bool, 4> &active)
{
    quint8 status = 0x08;   // the port's other lines as an idle printer port shows them
    for (const InputLine &line : kInputs)
        if (active[std::size_t(line.number - 1)] == line.activeWhenSet)
            status |= quint8(1 << line.bit);
    return status;
}
