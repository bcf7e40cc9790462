#pragma once

#include "inputs/inputmonitor.h"
#include "inputs/inputtick.h"

#include <QObject>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>

#include <functional>

// The tick, with or without a window: every 200 ms (Timer1) the source is read once
// through the press rules, and what the inputs mean for this tick - the lamps, the sounds
// in the order 2, 1, 3, 4 - or why they cannot be read goes to `onTick`. Between ticks
// the source is read when it wakes: a new press, or a source that has just failed, ticks
// at once, and the 200 ms count starts again from there. A release seen between ticks
// goes to `onRelease` at once, without a tick: the 200 ms rhythm stays as it is, and a
// sound that lasts only while its input is held stops when it is let go.
class InputLoop : public QObject {
    Q_OBJECT
public:
    using OnTick = std::function<void(const Result<InputTick> &)>;
    using OnRelease = std::function<void(const Inputs &released)>;
    InputLoop(InputSource &source, OnTick onTick, OnRelease onRelease, QObject *parent = nullptr);

    void tick();
    [[nodiscard]] QString sourceName() const { return m_monitor.name(); }
    [[nodiscard]] QString sourceRemark() const { return m_monitor.remark(); }

private:
    void readBetweenTicks();
    void watchForPresses();

    InputMonitor m_monitor;
    OnTick m_onTick;
    OnRelease m_onRelease;
    QTimer m_timer1;
    QPointer<QSocketNotifier> m_pressWatch;
};
