#pragma once

#include <QString>

// What a user is told when a parallel port cannot be read, and what to do about it.

// Whether an errno means the port is not there (no ppdev, or no such port).
[[nodiscard]] bool deviceMissing(int err);
// For /dev/parportN (ppdev), from the errno of its opening or claim.
[[nodiscard]] QString deviceErrorText(const QString &device, int err);
// For direct I/O at 0x379; `root` is who was refused.
[[nodiscard]] QString ioErrorText(int err, bool root);
