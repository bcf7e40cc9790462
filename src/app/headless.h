#pragma once

#include "core/core.h"

#include "platform/signalwatch.h"

#include <QObject>

#include <csignal>

// Velmora without a window (--no-window), for an exhibit or a shop door where nobody
// looks at a screen: the same source, tick, press rules and order of sounds, with the
// assignments of CONFIG.TXT beside the program, read and never written. What the
// window's status line would show is on stderr once per change, as the window's run logs
// it too (the source failing and coming back, the sound device). SIGHUP reads CONFIG.TXT
// again, as a click on a tab does; SIGUSR1 resets the quiz; SIGTERM and SIGINT end the run at once, the port
// released on the way out.
// "velmora: TEXT" and a line end, as every line Velmora writes on stderr reads.
[[nodiscard]] QByteArray stderrLine(const QString &text);

class Headless : public QObject {
    Q_OBJECT
public:
    explicit Headless(Core &core);

    // `asked`: on SIGHUP, when the user wants to hear what was loaded.
    void reload(bool asked);

private:
    Core &m_core;
    SignalWatch m_signals {SIGHUP, SIGTERM, SIGINT, SIGUSR1};
};
