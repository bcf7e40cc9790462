#include "inputtable.h"

QList<int> activeInputs(quint8 status)
{
    const StatoIngressi flags = statusFlags(status);
    QList<int> active;
    for (const InputLine &line : kInputs)
        if (isActive(flags, line))
            active.append(line.number);
    return active;
}
