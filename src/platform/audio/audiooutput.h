#pragma once

#include "wavclip.h"

#include <chrono>
#include <memory>

// Where clips are heard: one device, one clip at a time. Used from one thread only.
class AudioOutput {
public:
    virtual ~AudioOutput() = default;
    // Plays `clip` from its start at the device's next buffer, replacing whatever plays;
    // null plays silence. Opens the device when needed; does nothing when there is none.
    virtual void start(std::shared_ptr<const Clip> clip) = 0;
    // Called a few times a second: notices a lost device and closes one silent for long.
    virtual void maintain() = 0;
};
