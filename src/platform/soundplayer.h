#pragma once

#include <QByteArray>

class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Starts playing at once and returns; replaces whatever is playing.
    // A file that cannot be played makes the default sound play instead.
    // `input` (1..4, or 0 for none) only labels the log line.
    virtual void play(const QByteArray &path, int input) = 0;
    // Gets the file ready ahead of its first play, so that the first play is as quick as the others.
    virtual void preload(const QByteArray &path) = 0;
};
