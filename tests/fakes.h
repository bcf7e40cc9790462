#pragma once

#include "inputs/inputsource.h"
#include "platform/audio/soundplayer.h"

#include <QByteArray>
#include <QList>

#include <unistd.h>

// A reading written as a test row does: "1010" inputs 1 and 3 active, "wait" nothing yet
// (a claim under way), "x WHY" a failure.
inline InputReading reading(const QString &text)
{
    if (text == QLatin1String("wait"))
        return notYet();
    if (text.startsWith(QLatin1String("x ")))
        return failure(text.mid(2));
    Inputs active {};
    for (std::size_t i = 0; i < active.size(); ++i)
        active[i] = text.at(qsizetype(i)) == QLatin1Char('1');
    return std::optional(active);
}

// The inputs of a reading written the same way: "1010", or "x" when it failed.
inline QString written(const InputReading &read)
{
    if (!read)
        return QStringLiteral("x");
    if (!*read)
        return QStringLiteral("wait");
    QString out;
    for (bool a : **read)
        out += a ? QLatin1Char('1') : QLatin1Char('0');
    return out;
}

class FakeSource : public InputSource {
public:
    InputReading next = reading("0000");
    QList<InputReading> script;   // read first, one each, before `next`
    int reads = 0;
    InputReading read() override
    {
        ++reads;
        return script.isEmpty() ? next : script.takeFirst();
    }
    QString name() const override { return QStringLiteral("Porta parallela"); }
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
