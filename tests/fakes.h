#pragma once

#include "platform/soundplayer.h"
#include "platform/statusport.h"

#include <QByteArray>
#include <QList>

class FakePort : public StatusPort {
public:
    PortReading next = PortReading::ok(0x78);   // 0x78: every input idle
    int reads = 0;
    PortReading read() override
    {
        ++reads;
        return next;
    }
};

class FakePlayer : public SoundPlayer {
public:
    QList<QByteArray> plays;
    QList<QByteArray> preloads;
    void play(const QByteArray &path) override { plays.append(path); }
    void preload(const QByteArray &path) override { preloads.append(path); }
};
