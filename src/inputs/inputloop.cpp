#include "inputloop.h"

InputLoop::InputLoop(InputSource &source, OnTick onTick, OnRelease onRelease, QObject *parent)
    : QObject(parent), m_monitor(source), m_onTick(std::move(onTick)), m_onRelease(std::move(onRelease)),
      m_timer1(this)
{
    m_timer1.setObjectName(QStringLiteral("Timer1"));
    m_timer1.setTimerType(Qt::PreciseTimer);
    m_timer1.setInterval(200);
    connect(&m_timer1, &QTimer::timeout, this, &InputLoop::tick);
    m_timer1.start();
}

void InputLoop::tick()
{
    const Result<Inputs> inputs = m_monitor.tick();
    watchForPresses();   // a read may have opened or lost the device
    if (lcTiming().isDebugEnabled())
        qCDebug(lcTiming, "tick %lld", static_cast<long long>(steadyNowNs()));
    if (!inputs) {
        m_onTick(failure(inputs.error()));
        return;
    }
    m_onTick(InputTick {*inputs, m_monitor.takePresses()});
}

void InputLoop::readBetweenTicks()
{
    if (m_monitor.poll()) {
        m_timer1.start();   // the next tick a whole interval after this one
        tick();
    } else if (const Inputs released = m_monitor.takeReleases(); released != Inputs {}) {
        m_onRelease(released);
    }
}

// The device behind the descriptor changes when it is unplugged and plugged back in:
// the watch follows it, and goes while there is none.
void InputLoop::watchForPresses()
{
    const int fd = m_monitor.wakeDescriptor();
    if (m_pressWatch && m_pressWatch->socket() == fd)
        return;
    if (m_pressWatch) {
        m_pressWatch->setEnabled(false);
        m_pressWatch->deleteLater();   // it may be the one calling
    }
    if (fd < 0)
        return;
    m_pressWatch = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_pressWatch, &QSocketNotifier::activated, this, &InputLoop::readBetweenTicks);
}
