#include "statusbyte.h"

#include "inputs/inputtick.h"

Inputs inputsFromStatus(quint8 status)
{
    Inputs active {};
    for (const InputLine &line : kInputs)
        active[std::size_t(line.number - 1)] = bool((status >> line.bit) & 1) == line.activeWhenSet;
    return active;
}
