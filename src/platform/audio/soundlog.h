#pragma once

#include <QLoggingCategory>

// Warnings the user must act on (no sound device), and with
// QT_LOGGING_RULES="velmora.sound.debug=true" every request and why the chime played.
Q_DECLARE_LOGGING_CATEGORY(lcSound)
