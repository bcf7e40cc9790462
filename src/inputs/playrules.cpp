#include "playrules.h"

#include "inputs/inputtick.h"

QList<PlayAction> PlayRules::tick(const Inputs &active, const Inputs &pressed, const InputModes &modes)
{
    QList<PlayAction> actions;
    for (const InputLine &line : kInputs) {
        const std::size_t i = std::size_t(line.number - 1);
        const InputMode &mode = modes[i];
        bool start = false;
        bool stop = false;
        bool loop = false;
        switch (mode.when) {
        case InputMode::When::Repeat:
            start = active[i];
            break;
        case InputMode::When::Once:
            start = pressed[i];
            break;
        case InputMode::When::Hold:
            loop = true;
            start = pressed[i];   // replaced while held, it waits for its own next press
            stop = !active[i] && m_looping[i];
            break;
        case InputMode::When::Toggle:
            loop = true;
            stop = pressed[i] && m_looping[i];
            start = pressed[i] && !m_looping[i];
            break;
        }
        if (stop) {
            m_looping[i] = false;
            actions.append({PlayAction::Kind::Stop, line.number, false});
        }
        if (!start)
            continue;
        if (mode.with == InputMode::With::Replace)
            m_looping = {};   // what played is gone
        m_looping[i] = loop;
        actions.append({PlayAction::Kind::Start, line.number, loop});
    }
    return actions;
}

QList<PlayAction> PlayRules::released(const Inputs &released, const InputModes &modes)
{
    QList<PlayAction> actions;
    for (const InputLine &line : kInputs) {
        const std::size_t i = std::size_t(line.number - 1);
        if (released[i] && modes[i].when == InputMode::When::Hold && std::exchange(m_looping[i], false))
            actions.append({PlayAction::Kind::Stop, line.number, false});
    }
    return actions;
}
