#pragma once

#include <QLoggingCategory>

// Timing lines for benchmarks and the kernel test, off unless
// QT_LOGGING_RULES="velmora.timing.debug=true": "tick N" when a tick has read the inputs,
// "press I N" when a source saw input I pressed, "sound N" when a clip's first frame was
// handed to the device; N is the steady clock in nanoseconds.
Q_DECLARE_LOGGING_CATEGORY(lcTiming)
[[nodiscard]] qint64 steadyNowNs();
