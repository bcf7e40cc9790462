#pragma once

#include <QString>

// Why the system refused something, in Velmora's own words (Italian, and English through
// Texts): the causes a user can act on by name, any other by the system's own text. The
// system's own text, in English whatever the desktop speaks, goes to the log
// (velmora.system, debug) for whoever reads it.
[[nodiscard]] QString systemReason(int error);
