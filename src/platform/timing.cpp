#include "timing.h"

#include <chrono>

Q_LOGGING_CATEGORY(lcTiming, "velmora.timing", QtInfoMsg)

qint64 steadyNowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
