#pragma once

#include "inputs/inputsource.h"
#include "platform/gpiochip.h"
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

// The GPIO chips last: each chip, its label and number of lines; for a chip with named
// lines (a Raspberry Pi's header), its free lines with their pins, the lines in use with
// their consumers, and the --port to use. Nothing is requested to make it.
[[nodiscard]] QString describeGpioChips(const QList<GpioChipInfo> &chips);
// The four inputs now of the lines the user named (velmora --list-inputs --port gpio:…),
// named `lines`, as one reading of them; or why they cannot be read.
[[nodiscard]] QString describeGpioLines(const QString &port, const QStringList &lines,
                                        const InputReading &reading);
