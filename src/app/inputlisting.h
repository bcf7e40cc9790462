#pragma once

#include "platform/inputdevice.h"
#include "platform/serialdevice.h"

#include <QString>

// What velmora --list-inputs prints: each device with keys or buttons, its name, its
// first four keys and the --port to use; for a device the user may not open, what to do.
[[nodiscard]] QString describeInputDevices(const QList<InputDeviceInfo> &devices);

// The serial ports after them: each port, its driver, the inputs it cannot give and the
// --port to use; for a port the user may not open, what to do. None is opened.
[[nodiscard]] QString describeSerialPorts(const QList<SerialPortInfo> &ports);
// The lines now of the one port the user named (velmora --list-inputs --port serial:PORT).
[[nodiscard]] QString describeSerialLines(const QString &path, const Result<ModemLines, int> &lines,
                                          const LineSupport &support);
