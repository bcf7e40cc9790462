#pragma once

#include <QByteArray>

// Opening some device nodes acts on its own: a watchdog starts counting down to a reboot,
// a tape drive rewinds. So a path given for an input source is looked at first, without
// opening it, and only a node of the kind the source reads is ever opened.
enum class DeviceKind {
    ParallelPort,   // ppdev's /dev/parportN
    InputDevice,    // evdev's /dev/input/eventN
    SerialPort,     // a tty on a real port: /dev/ttyUSBn, /dev/ttyACMn, /dev/ttySn - not a
                    // terminal, the console or a pseudo-terminal
    GpioChip,       // the GPIO character device: /dev/gpiochipN (its major is given at boot)
};

// What `path` names (following links, as a by-id link): 0 when it is a character device
// of that kind, -ENOTTY when it is anything else, -errno when it cannot be looked at
// (-ENOENT: not there, perhaps not yet).
[[nodiscard]] int checkDeviceNode(const QByteArray &path, DeviceKind kind);

// The character device's folder in sysfs (/sys/dev/char/MAJ:MIN), where its driver and
// attributes are told; empty when `path` is no character device.
[[nodiscard]] QString sysfsFolder(const QByteArray &path);
