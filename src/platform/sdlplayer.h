#pragma once

#include "soundplayer.h"
#include "wavclip.h"

#include <chrono>
#include <memory>
#include <optional>

// Plays WAV files through SDL's audio subsystem.
//
// The window's thread only queues requests. A control thread owns the device and the
// clip cache; a loader thread reads and decodes files, so a large file never delays a
// clip that is already cached. The audio callback only copies samples.
//
// Memory: each clip is at most ClipLimits::maxFrames long (5 minutes, ~110 MiB);
// the cache keeps at most `cacheBytes` of decoded audio, dropping the least recently
// played clips first (a clip that is playing stays alive until it is replaced).
class SdlPlayer : public SoundPlayer {
public:
    struct Settings {
        ClipLimits limits;
        std::size_t cacheBytes = std::size_t(256) << 20;
        // SDL keeps its thread and the sound server's stream busy even when paused, so
        // the device is closed after this much silence and reopened on the next request.
        std::chrono::milliseconds idleClose {3000};
        // After a failure to open the device, the next requests try again no more often than
        // this: a sound server that comes back is heard within this much of a held input.
        std::chrono::milliseconds reopenInterval {500};
    };

    SdlPlayer();
    explicit SdlPlayer(Settings settings);
    ~SdlPlayer() override;

    void play(const QByteArray &path, int input) override;
    void preload(const QByteArray &path) override;

    // For benchmarks: from the latest play() to its first frame handed to the device.
    [[nodiscard]] std::optional<std::chrono::nanoseconds> lastTriggerLatency() const;
    // For tests and benchmarks: true once every queued request has been handled and
    // every file asked for has been loaded (or has failed).
    [[nodiscard]] bool idle() const;
    [[nodiscard]] bool deviceOpen() const;

private:
    struct Impl;
    std::shared_ptr<Impl> d;   // shared with a loader that is still decoding when the player goes
};
