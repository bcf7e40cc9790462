#include "inputtick.h"

InputTick inputTick(const Inputs &active)
{
    InputTick tick {active, {}};
    for (const InputLine &line : kInputs)
        if (active[std::size_t(line.number - 1)])
            tick.sounds.append(line.number);
    return tick;
}
