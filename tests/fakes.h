#pragma once

#include "platform/soundplayer.h"
#include "platform/statusport.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QPair>

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
    QList<QPair<QByteArray, int>> plays;   // path, input
    QList<QByteArray> preloads;
    void play(const QByteArray &path, int input) override { plays.append({path, input}); }
    void preload(const QByteArray &path) override { preloads.append(path); }
    QList<int> inputs() const
    {
        QList<int> result;
        for (const auto &p : plays)
            result.append(p.second);
        return result;
    }
};
