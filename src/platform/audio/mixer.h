#pragma once

#include "wavclip.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

// The sounds a real-time audio thread plays together: up to kVoices clips at once, each with
// its volume, played once or looped, stopped at once or faded out. The player's thread hands
// its requests over without ever making the audio thread wait (a lock the audio thread only
// tries; a cycle that finds it taken takes them at the next one), and every clip the audio
// thread is done with goes back the same way, to be freed on the player's thread, never in
// an audio cycle.
//
// A start that replaces (today's way) cuts every voice; one that mixes is added, and when
// all voices play the oldest gives way. The sum is never clipped: where it would pass full
// scale, the whole cycle is turned down to fit, and the level comes back over about 100 ms.
class Mixer {
public:
    static constexpr int kVoices = 8;

    struct Start {
        int owner = 0;   // whose sound: an input 1-4, or 0 for a file played by name
        std::shared_ptr<const Clip> clip;
        float gain = 1.0f;
        bool loop = false;
        bool replace = true;
    };
    Mixer();

    // The player's thread.
    void start(Start start);
    // Stops `owner`'s voices (every voice with owner -1), over `fadeFrames` (0: at once).
    void stop(int owner, uint32_t fadeFrames = 0);
    // Frees what the audio thread is done with; called now and then.
    void collect();

    // The audio thread: `frames` frames of the mix into `out` (stereo float).
    void fill(float *out, uint32_t frames);
    // Sounding, or a request waiting: read from any thread.
    [[nodiscard]] bool busy() const;
    // When the newest start's first frame was filled, for the timing log.
    std::atomic<qint64> firstFrameAtNs {-1};
    // Only while no audio thread fills: what it played and what waited are let go.
    void clear();

private:
    struct Command {
        enum class Kind { Start, Stop } kind = Kind::Start;
        Start start;
        uint32_t fadeFrames = 0;
    };
    struct Voice {
        std::shared_ptr<const Clip> clip;
        int owner = 0;
        std::size_t position = 0;   // in frames
        float gain = 1.0f;
        bool loop = false;
        uint32_t fadeLeft = 0, fadeTotal = 0;   // frames; fadeTotal 0: not fading
        uint64_t started = 0;                   // the order of starts, the oldest giving way first
        bool done() const { return !clip; }
    };
    void push(Command command);
    void apply(Command &command);                     // audio thread, lock held
    void retire(std::shared_ptr<const Clip> &clip);   // audio thread, lock held
    void mix(Voice &voice, float *out, uint32_t frames);

    std::mutex m_lock;
    std::vector<Command> m_pending;                       // player → audio
    std::vector<std::shared_ptr<const Clip>> m_retired;   // audio → player, capacity kept
    std::atomic<bool> m_hasPending {false};
    // The audio thread's own.
    std::vector<Command> m_taking;
    Voice m_voices[kVoices];
    std::vector<std::shared_ptr<const Clip>> m_finished;   // ended since the lock was last had
    uint64_t m_starts = 0;
    float m_level = 1.0f;   // the limiter's
    std::atomic<bool> m_sounding {false};
};
