#pragma once

#include "audiooutput.h"

#include <chrono>
#include <memory>

struct SdlApi;

// SDL's audio device: 48 kHz float stereo in buffers of a few milliseconds. The audio callback
// only mixes samples.
class SdlOutput : public AudioOutput {
public:
    struct Settings {
        // SDL keeps its thread and the sound server's stream busy even when paused, so
        // the device is closed after this much silence and reopened on the next clip.
        std::chrono::milliseconds idleClose {3000};
        // After a failure to open the device, the next clips try again no more often than
        // this: a sound server that comes back is heard within this much of a held input.
        std::chrono::milliseconds reopenInterval {500};
        // A device that has not asked for audio for this long is lost: SDL's PipeWire
        // backend stops calling back when the server restarts and never says so.
        std::chrono::milliseconds stallLimit {500};
        // But one that has not called back yet since it was opened is starting, not lost: a
        // sink the sound server suspended (a Bluetooth speaker, an HDMI screen) can take
        // seconds to wake. It has this long for its first call.
        std::chrono::milliseconds startLimit {4000};
        // Frames per device buffer: the latency a sound server adds grows with it, and too
        // small a buffer breaks up on a busy machine (bench/heard compares them).
        int bufferFrames = 512;
        // The SDL to use; null loads the system's library. Tests give one of their own.
        const SdlApi *sdl = nullptr;
        // SDL's own PipeWire backend is tried first, unless PipeWire was tried already and
        // did not answer: then it would not answer SDL either, and SDL's open can wait for it
        // for ever, on the thread that plays every sound.
        bool pipeWireBackend = true;
    };
    // SDL itself is loaded by the first call of start() or maintain(), on the thread that
    // uses the output, not when the program starts.
    SdlOutput();
    explicit SdlOutput(Settings settings);
    ~SdlOutput() override;

    void play(Mixer::Start start) override;
    void stop(int owner, uint32_t fadeFrames) override;
    void maintain() override;
    // A device is open now (it closes after a silence).
    [[nodiscard]] bool isOpen() const;

private:
    struct State;
    std::unique_ptr<State> d;
};
