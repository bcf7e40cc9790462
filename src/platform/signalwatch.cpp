#include "signalwatch.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

int g_signalWrite = -1;

// A signal handler may do next to nothing: it hands the signal's number to the event loop.
void handOver(int signal)
{
    const char number = char(signal);
    (void)!::write(g_signalWrite, &number, 1);
}

}   // namespace

SignalWatch::SignalWatch(std::initializer_list<int> signalNumbers, QObject *parent)
    : QObject(parent), m_signals(signalNumbers)
{
    if (::pipe2(m_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    g_signalWrite = m_pipe[1];
    m_notifier = new QSocketNotifier(m_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SignalWatch::onReadable);
    struct sigaction action {};
    action.sa_handler = &handOver;
    action.sa_flags = SA_RESTART;
    for (const int signal : m_signals)
        ::sigaction(signal, &action, nullptr);
}

SignalWatch::~SignalWatch()
{
    for (const int signal : m_signals)
        std::signal(signal, SIG_DFL);
    g_signalWrite = -1;
    delete m_notifier;
    for (const int fd : m_pipe)
        if (fd >= 0)
            ::close(fd);
}

void SignalWatch::onReadable()
{
    char number = 0;
    while (::read(m_pipe[0], &number, 1) == 1)
        emit received(number);
}
