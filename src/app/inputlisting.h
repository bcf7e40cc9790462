#pragma once

#include "platform/inputdevice.h"
#include "platform/serialdevice.h"

#include <QString>

// What velmora --list-inputs prints: each device with keys or buttons, its name, its
// first four keys and the --port to use; for a device the user may not open, what to do.
[[nodiscard]] QString describeInputDevices(const QList<InputDeviceInfo> &devices);

// The serial ports after them: each port, its lines now (which inputs they make active)
// and the --port to use; for a port the user may not open, what to do.
[[nodiscard]] QString describeSerialPorts(const QList<SerialPortInfo> &ports);
