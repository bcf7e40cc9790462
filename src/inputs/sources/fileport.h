#pragma once

#include "inputs/inputsource.h"

#include <memory>

// "file:PATH": the status byte written as text in a file (decimal or 0x hex), read anew
// at every tick - for trying Velmora without hardware, and for tests. A path that is a
// folder, a device or a FIFO is refused, unopened; a file not there yet is waited for.
[[nodiscard]] Result<std::unique_ptr<InputSource>> makeFilePort(const QString &path);
