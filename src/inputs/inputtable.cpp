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
