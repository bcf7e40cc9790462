#pragma once

#include "audiooutput.h"

#include <chrono>
#include <memory>

struct PipeWireApi;

// A stream of PipeWire's own, as PipeWire means a player to be: each graph cycle it is
// handed exactly the frames the cycle asks for (so a large quantum - a Bluetooth sink, a
// pro-audio setting - never runs it dry); while silent it stays connected but inactive,
// costing nothing and ready for the next sound within a cycle; and a server that goes away
// is known at once from the connection, not guessed from a callback that stops coming; a
// server without an output (no sound device) is told apart from one that went away.
class PipeWireOutput : public AudioOutput {
public:
    struct Settings {
        // Silence for this long makes the stream inactive: the graph no longer runs it. Until
        // then the graph keeps running at our cycle, so the first press after a pause is as
        // quick as the next: inactive, the graph grows to the cycle another client asks for
        // (a browser or a player at 1024 or 4096 frames) or its sink is suspended, and the
        // next sound waits for it to come back (bench/pipewire: 20-30 ms more). A minute
        // covers the pauses of a show or a game; it costs about 2 % of a core in Velmora and
        // 3 % in PipeWire here, and nothing after it.
        std::chrono::milliseconds idleInactive {60000};
        // After a failure to connect, or the server lost, connecting again is tried no more
        // often than this: a server that comes back is heard within this much of a held input.
        std::chrono::milliseconds reconnectInterval {500};
        // The graph's period asked for, in frames at 48 kHz: what a cycle adds to the delay.
        int latencyFrames = 256;
        // The library to use; null loads the system's. Tests give one of their own.
        const PipeWireApi *pw = nullptr;
    };
    PipeWireOutput();
    explicit PipeWireOutput(Settings settings);
    ~PipeWireOutput() override;

    // Connected to a PipeWire server now, connecting first if it is time to try: false
    // where there is none (no library, no server answering). A server that answers but has
    // no output to play on is connected: the sound is PipeWire's to play once one comes.
    [[nodiscard]] bool connect();
    // Connected now, without trying.
    [[nodiscard]] bool connected() const;

    void play(Mixer::Start start) override;
    void stop(int owner, uint32_t fadeFrames) override;
    void maintain() override;

private:
    struct State;
    std::unique_ptr<State> d;
};
