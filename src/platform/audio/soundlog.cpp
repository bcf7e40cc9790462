#include "soundlog.h"

Q_LOGGING_CATEGORY(lcSound, "velmora.sound", QtInfoMsg)
