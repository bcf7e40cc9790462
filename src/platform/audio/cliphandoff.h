#pragma once

#include "wavclip.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

// The clip a real-time audio thread plays, handed to it by the player's thread without ever
// making it wait: the new clip is taken under a lock that the audio thread only tries (a
// cycle that finds it taken starts the clip at the next one), and the clip it replaced comes
// back the same way, to be freed on the player's thread, never in an audio cycle.
class ClipHandoff {
public:
    // The player's thread: `clip` plays from its start at the next fill; null plays silence.
    void hand(std::shared_ptr<const Clip> clip);
    // The audio thread: `frames` frames of what plays into `out` (stereo float), silence after it.
    void fill(float *out, uint32_t frames);
    // Sounding, or a clip waiting to: read from the player's thread.
    [[nodiscard]] bool busy() const;
    // When a clip's first frame was filled, for the timing log (soundlog.h).
    std::atomic<qint64> firstFrameAtNs {-1};
    // Only while no audio thread fills: what it played and what waited are let go.
    void clear();

private:
    std::mutex m_lock;
    std::shared_ptr<const Clip> m_pending;
    std::atomic<bool> m_hasPending {false};
    std::shared_ptr<const Clip> m_retired;
    // The audio thread's own.
    std::shared_ptr<const Clip> m_current;
    std::size_t m_position = 0;   // in frames
    std::atomic<bool> m_sounding {false};
};
