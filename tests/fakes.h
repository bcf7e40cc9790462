#pragma once

#include "platform/soundplayer.h"
#include "platform/statusport.h"

#include <QByteArray>
#include <QList>

#include <unistd.h>

class FakePort : public StatusPort {
public:
    PortReading next = PortReading::ok(0x78);   // 0x78: every input idle
    QList<PortReading> script;                  // read first, one each, before `next`
    int reads = 0;
    PortReading read() override
    {
        ++reads;
        return script.isEmpty() ? next : script.takeFirst();
    }
    // As USB buttons: a descriptor readable on a press, and whether it was news.
    int wake = -1;
    bool pressIsNews = false;
    int wakeDescriptor() const override { return wake; }
    bool newPress() override
    {
        char taken[16];
        while (::read(wake, taken, sizeof taken) > 0) {}
        return pressIsNews;
    }
};

class FakePlayer : public SoundPlayer {
public:
    QList<QByteArray> plays;
    QList<QByteArray> preloads;
    void play(const QByteArray &path) override { plays.append(path); }
    void preload(const QByteArray &path) override { preloads.append(path); }
};
