#pragma once

#include <QByteArray>
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcSound)

// Timing lines for benchmarks, off unless QT_LOGGING_RULES="velmora.timing.debug=true":
// "tick N" when a tick has read the port, "sound N" when a clip's first frame was handed
// to the device; N is the steady clock in nanoseconds.
Q_DECLARE_LOGGING_CATEGORY(lcTiming)
[[nodiscard]] qint64 steadyNowNs();

class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Starts playing at once and returns; replaces whatever is playing.
    // A file that cannot be played makes the default sound play instead.
    virtual void play(const QByteArray &path) = 0;
    // Gets the file ready ahead of its first play, so that the first play is as quick as the others.
    virtual void preload(const QByteArray &path) = 0;
};
