#pragma once

#include <QLoggingCategory>

#include <atomic>

// Warnings the user must act on (no sound device), and with
// QT_LOGGING_RULES="velmora.sound.debug=true" every request and why the chime played.
Q_DECLARE_LOGGING_CATEGORY(lcSound)

// An output's audio callback notes when a clip's first frame went out (it may not write a
// log line itself); this writes the timing log's line for it, once, from the output's thread.
void logFirstFrame(std::atomic<qint64> &firstFrameAtNs);
