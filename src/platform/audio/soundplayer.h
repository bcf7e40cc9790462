#pragma once

#include <QByteArray>

// What the sound table asks of the machine: play a file at once, or get it ready.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Starts playing at once and returns; replaces whatever is playing.
    // A file that cannot be played makes the default sound play instead.
    virtual void play(const QByteArray &path) = 0;
    // Gets the file ready ahead of its first play, so that the first play is as quick as the others.
    virtual void preload(const QByteArray &path) = 0;
    // Silences whatever plays, at once.
    virtual void stop() = 0;
    // Whether the sound last started is still playing (its length since it started).
    [[nodiscard]] virtual bool sounding() const = 0;
};
