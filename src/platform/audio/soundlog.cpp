#include "soundlog.h"

#include "platform/timing.h"

Q_LOGGING_CATEGORY(lcSound, "velmora.sound", QtInfoMsg)

void logFirstFrame(std::atomic<qint64> &firstFrameAtNs)
{
    if (lcTiming().isDebugEnabled())
        if (const qint64 at = firstFrameAtNs.exchange(-1); at >= 0)
            qCDebug(lcTiming, "sound %lld", static_cast<long long>(at));
}
