#pragma once

#include "platform/soundplayer.h"
#include "platform/statusport.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>

class FakePort : public StatusPort {
public:
    PortReading next = PortReading::ok(0x78);   // 0x78: every input idle
    int reads = 0;
    QList<qint64> readAtMs;   // when each read happened, from the port's creation
    PortReading read() override
    {
        ++reads;
        readAtMs.append(m_clock.elapsed());
        return next;
    }

private:
    QElapsedTimer m_clock = [] { QElapsedTimer t; t.start(); return t; }();
};

class FakePlayer : public SoundPlayer {
public:
    QList<QByteArray> plays;
    QList<QByteArray> preloads;
    void play(const QByteArray &path) override { plays.append(path); }
    void preload(const QByteArray &path) override { preloads.append(path); }
};
