#pragma once

#include <QObject>

#include <initializer_list>

class QSocketNotifier;

// The signals a run is told to end or reload with (SIGTERM from systemd or kill, SIGINT
// from Ctrl-C, SIGHUP), taken in the event loop instead of ending the process where it
// stands: a run that ends through its loop gives back what it holds as it found it (a
// serial port's settings, the sound device). One at a time: the last one made has them.
class SignalWatch : public QObject {
    Q_OBJECT
public:
    SignalWatch(std::initializer_list<int> signalNumbers, QObject *parent = nullptr);
    ~SignalWatch() override;

signals:
    void received(int signalNumber);

private:
    void onReadable();

    QList<int> m_signals;
    int m_pipe[2] = {-1, -1};   // written by the signal handler, read here
    QSocketNotifier *m_notifier = nullptr;
};
