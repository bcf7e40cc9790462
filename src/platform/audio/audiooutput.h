#pragma once

#include "mixer.h"

#include <chrono>
#include <memory>

// Where clips are heard: one device, its clips mixed (mixer.h). Used from one thread only.
class AudioOutput {
public:
    virtual ~AudioOutput() = default;
    // Plays a clip from its start at the device's next buffer, replacing whatever plays or
    // mixed with it. Opens the device when needed; does nothing when there is none.
    virtual void play(Mixer::Start start) = 0;
    // As Velmora always played: `clip` replaces whatever plays; null plays silence.
    void start(std::shared_ptr<const Clip> clip) { play({0, std::move(clip), 1.0f, false, true}); }
    // Stops `owner`'s sounds (every sound with -1), faded out over `fadeFrames`.
    virtual void stop(int owner, uint32_t fadeFrames) = 0;
    // Called a few times a second: notices a lost device and closes one silent for long.
    virtual void maintain() = 0;
};
