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

// What a port's driver really tells of its modem lines. Not every adapter has all four:
// cdc_acm (/dev/ttyACMn) always says CTS is on, as CDC-ACM has no CTS. And a PC's own UART
// (the 16550 family, /dev/ttySn) interrupts for RI only when the ring ends, so the kernel's
// wait for a change does not return when RI goes on: such a port is looked at every 10 ms.
struct LineSupport {
    std::array<bool, 4> reported {true, true, true, true};   // CTS, DSR, DCD, RI
    bool wakesOnEveryEdge = true;
    bool operator==(const LineSupport &) const = default;
};
// From the name of the port's driver and its UART type, as sysfs gives them (the type 0
// for a port that is no UART, a USB adapter).
[[nodiscard]] LineSupport lineSupport(const QByteArray &driver, int uartType);

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
    // Which lines it has, and whether a wait sees every change.
    [[nodiscard]] virtual LineSupport support() const = 0;
};

// A port on real hardware that the system itself uses, and that must never be locked and
// switched to raw mode for buttons: the console (the kernel's messages and often a login
// prompt: ttyS0 on a PC set up for one, ttyAMA0 or serial0 on a Raspberry Pi), or a line
// a protocol has taken over (a Bluetooth adapter on a UART, through the hci line discipline).
enum class SystemPort { None, Console, Protocol };
// Told from sysfs, without opening the port.
[[nodiscard]] SystemPort systemPortUse(const QByteArray &path);

// Opens a serial port for its modem lines (never waiting for carrier, never hung up when
// DCD drops, held exclusively while open), or the errno why not: ENOTTY for a path that
// names anything but a real serial port - a terminal, a pseudo-terminal, a system port
// (systemPortUse), a tty whose line discipline is not a terminal's - which is then never
// changed; EBUSY when another program holds it. Whenever it is let go, after a refusal or
// at the end, the port is left with the settings it was found with.
[[nodiscard]] Result<std::unique_ptr<SerialDevice>, int> openSerialDevice(const QByteArray &path);

// The serial ports this PC really has: USB-serial adapters and the UARTs that answer
// (not the placeholder ttyS nodes, nor the system's own ports), in node order, as sysfs tells of them. None
// is opened: opening a port raises DTR and RTS, and closing it drops them, which resets some boards.
struct SerialPortInfo {
    QString node;   // /dev/ttyUSB0
    QString byId;   // its /dev/serial/by-id link, if it has one
    QString driver;
    LineSupport support;
    int error = 0;   // errno when this user may not open it
};
[[nodiscard]] QList<SerialPortInfo> listSerialPorts();
// The lines of the one port named, opened read-only for a moment (which toggles DTR);
// ENOTTY, unopened, for what is not a real serial port.
[[nodiscard]] Result<ModemLines, int> peekSerialLines(const QByteArray &path);
// What the port's driver tells of its lines, from sysfs, without opening it.
[[nodiscard]] LineSupport serialLineSupport(const QByteArray &path);
