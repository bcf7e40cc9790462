#pragma once

#include "platform/result.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>
#include <memory>
#include <optional>

// The four modem-status lines of a serial port as one look sees them, in the order CTS,
// DSR, DCD, RI: which are on now, and how many times each has changed since the port was
// opened. The kernel counts every change it is told of, so a contact too short to be
// seen on is still counted (RI, on a PC's own port, only when it goes off).
struct ModemLines {
    std::array<bool, 4> on {};
    std::array<int, 4> changes {};
    bool operator==(const ModemLines &) const = default;
};

// A serial port (a PC's COM port, a USB-serial adapter) opened for its modem lines only:
// DTR and RTS are held up to power the contacts, and nothing is ever written to the line.
// Behind this small interface so that the source is tested against a scripted port.
class SerialDevice {
public:
    virtual ~SerialDevice() = default;
    // The lines now, or the errno why not (EIO or ENODEV: unplugged).
    [[nodiscard]] virtual Result<ModemLines, int> lines() = 0;
    // Returns when a line may have changed since the last lines(): 0, or -errno (the port
    // failed). After 10 ms instead with `briefly`, or where the driver cannot say when
    // (cp210x). -EINTR after stopWaiting().
    [[nodiscard]] virtual int waitForChange(bool briefly) = 0;
    // From another thread: a waitForChange() under way returns at once, and so do later ones.
    virtual void stopWaiting() = 0;
    // Throws away what the line received: unread, it would fill the buffer, and some
    // adapters then stop sending their lines' state.
    virtual void discardInput() = 0;
};

// Opens a tty for its modem lines (never waiting for carrier, never hung up when DCD
// drops, held exclusively while open), or the errno why not: ENOTTY for a path that names
// anything but a tty, which is then never opened; EBUSY when another program holds it.
[[nodiscard]] Result<std::unique_ptr<SerialDevice>, int> openSerialDevice(const QByteArray &path);

// The serial ports this PC really has: USB-serial adapters and the UARTs that answer
// (not the placeholder ttyS nodes), in node order, each with its lines now.
struct SerialPortInfo {
    QString node;   // /dev/ttyUSB0
    QString byId;   // its /dev/serial/by-id link, if it has one
    std::optional<ModemLines> lines;
    int error = 0;   // errno when its lines could not be read
};
[[nodiscard]] QList<SerialPortInfo> listSerialPorts();
