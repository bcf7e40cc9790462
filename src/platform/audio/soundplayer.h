#pragma once

#include <QByteArray>

// A sound asked for, and how: whose it is, its volume, looped or not, and whether it
// replaces what plays (as Velmora always played) or mixes with it.
struct PlayRequest {
    QByteArray path;
    int owner = 0;      // the input 1-4, or 0 for a file played by name
    int volume = 100;   // %
    bool loop = false;
    bool replace = true;
};

// What the sound table asks of the machine: play a file at once, or get it ready.
class SoundPlayer {
public:
    virtual ~SoundPlayer() = default;
    // Starts playing at once and returns. A file that cannot be played makes the default
    // sound play instead.
    virtual void start(const PlayRequest &request) = 0;
    // As Velmora always played: replaces whatever is playing.
    void play(const QByteArray &path) { start({path}); }
    // Gets the file ready ahead of its first play, so that the first play is as quick as the others.
    virtual void preload(const QByteArray &path) = 0;
    // Silences `owner`'s sounds (every sound with -1), faded out over `fadeMs` (0: at once).
    virtual void stop(int owner = -1, int fadeMs = 0) = 0;
    // Whether a sound started is still playing (its length since it started).
    [[nodiscard]] virtual bool sounding() const = 0;
};
