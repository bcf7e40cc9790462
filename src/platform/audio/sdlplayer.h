#pragma once

#include "clipstore.h"
#include "sdloutput.h"
#include "soundplayer.h"

#include <functional>
#include <memory>

// Plays WAV files: requests from the window's thread are queued and handled by a
// control thread of the player's own, which asks the clip store for the clip (decoded
// ahead by preload, or loaded now on the store's thread, never holding up a clip that
// is ready) and starts it on the audio output. A file that cannot be played starts
// Velmora's chime instead.
class SdlPlayer : public SoundPlayer {
public:
    struct Settings {
        ClipStore::Settings store;
        SdlOutput::Settings output;
        // Called on the player's thread with the files it has just taken in from the store,
        // decoded and ready (or failed): lets a test wait for a preload instead of guessing.
        std::function<void(const QList<QByteArray> &)> tookIn {};
    };
    SdlPlayer();
    explicit SdlPlayer(Settings settings);
    // For tests: plays on `output`, which the player's thread then owns.
    SdlPlayer(Settings settings, std::unique_ptr<AudioOutput> output);
    ~SdlPlayer() override;

    void start(const PlayRequest &request) override;
    void preload(const QByteArray &path) override;
    void stop(int owner = -1, int fadeMs = 0) override;
    [[nodiscard]] bool sounding() const override;

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
