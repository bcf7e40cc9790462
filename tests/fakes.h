#pragma once

#include "inputs/inputsource.h"
#include "platform/audio/soundplayer.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <poll.h>
#include <unistd.h>

// A reading written as a test row does: "1010" inputs 1 and 3 seen active now, "wait"
// nothing new (a claim under way), "x WHY" a failure.
inline InputReading reading(const QString &text)
{
    if (text == QLatin1String("wait"))
        return notYet();
    if (text.startsWith(QLatin1String("x ")))
        return failure(text.mid(2));
    Inputs active {};
    for (std::size_t i = 0; i < active.size(); ++i)
        active[i] = text.at(qsizetype(i)) == QLatin1Char('1');
    return seenNow(active);
}

// Inputs written the same way, and a reading: its samples' (comma between), "wait" or "x".
inline QString written(const Inputs &inputs)
{
    QString out;
    for (bool a : inputs)
        out += a ? QLatin1Char('1') : QLatin1Char('0');
    return out;
}
inline QString written(const InputReading &read)
{
    if (!read)
        return QStringLiteral("x");
    if (read->isEmpty())
        return QStringLiteral("wait");
    QStringList each;
    for (const InputSample &sample : *read)
        each << written(sample.raw);
    return each.join(QLatin1Char(','));
}

// True when a descriptor a source wakes the window with is readable now.
inline bool readable(int fd)
{
    pollfd p {fd, POLLIN, 0};
    return ::poll(&p, 1, 0) == 1;
}

// A source read on demand, as the parallel port; each read is 200 ms after the last, so
// that back-to-back ticks are never taken for contact bounce.
class FakeSource : public InputSource {
public:
    InputReading next = reading("0000");
    QList<InputReading> script;   // read first, one each, before `next`
    int reads = 0;
    InputReading read() override
    {
        ++reads;
        char taken[16];
        while (wake >= 0 && ::read(wake, taken, sizeof taken) > 0) {}
        InputReading out = script.isEmpty() ? next : script.takeFirst();
        if (out)
            for (InputSample &sample : *out)
                sample.atNs = m_startNs + reads * 200'000'000LL;
        return out;
    }
    QString name() const override { return QStringLiteral("Porta parallela"); }
    int wake = -1;   // as USB buttons: a descriptor readable on a change
    int wakeDescriptor() const override { return wake; }

private:
    qint64 m_startNs = steadyNowNs();
};

class FakePlayer : public SoundPlayer {
public:
    QList<QByteArray> plays;
    QList<QByteArray> preloads;
    QList<PlayRequest> requests;
    void start(const PlayRequest &request) override
    {
        plays.append(request.path);
        requests.append(request);
    }
    void preload(const QByteArray &path) override { preloads.append(path); }
    QList<int> stops;   // the owner of each stop, in order
    void stop(int owner, int) override
    {
        plays.append(QByteArray());
        stops.append(owner);
    }
    [[nodiscard]] bool sounding() const override { return !plays.isEmpty() && !plays.last().isEmpty(); }
};
