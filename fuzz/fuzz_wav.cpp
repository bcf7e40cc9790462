// Any file the user picks is read and converted by the player's loader; a broken or
// hostile WAV must give an error, never a crash or an out-of-bounds access.
#include "platform/audio/wavclip.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    ClipLimits limits;
    limits.maxFrames = std::size_t(10) * kOutputRate;   // keeps each run short
    const Decoded result = decodeWav(data, size, limits);
    if (result && !*result) {
        std::abort();   // a decoded clip is never null
    } else if (result) {
        const Clip &clip = **result;
        if ((clip.channels != 1 && clip.channels != 2) || clip.frames() > limits.maxFrames + kOutputRate ||
            clip.samples.size() % std::size_t(clip.channels))
            std::abort();
        volatile unsigned sum = 0;   // touch every sample, so a short buffer is caught (wraps freely)
        for (qint16 v : clip.samples)
            sum = sum + unsigned(v);
    } else if (result.error().isEmpty()) {
        std::abort();   // a failure must always say why
    }
    return 0;
}
