#pragma once

#include "platform/result.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <linux/input.h>
#include <memory>

// A keyboard, keypad, foot switch or button encoder under /dev/input, read through
// libevdev without grabbing it (other programs still see its keys). Behind this small
// interface so that the button logic is tested against a scripted device.
class InputDevice {
public:
    enum Read { Event, Dropped, Empty };   // or a -errno: the device failed (-ENODEV: unplugged)

    virtual ~InputDevice() = default;
    // The next queued event, never blocking. After Dropped (the kernel's queue overflowed,
    // SYN_DROPPED), call with `resync` until Empty: those events bring the state up to date.
    [[nodiscard]] virtual int next(input_event *event, bool resync) = 0;
    [[nodiscard]] virtual bool isDown(int code) const = 0;
    // Its key and button codes, in code order.
    [[nodiscard]] virtual QList<int> keys() const = 0;
    // Readable when events are queued; -1 when there is none to watch.
    [[nodiscard]] virtual int descriptor() const { return -1; }
    // What tells this device from another that takes its place: its name, where it is
    // plugged in and its maker's numbers, as the kernel gives them.
    [[nodiscard]] virtual QString identity() const = 0;
};

// Opens a device read-only and non-blocking, its event times on the steady clock; or the
// errno why not. A path that names anything but an input device is never opened (ENOTTY).
[[nodiscard]] Result<std::unique_ptr<InputDevice>, int> openInputDevice(const QByteArray &path);

// libevdev's names for key and button codes: "BTN_TRIGGER" <-> 288. -1 / empty when unknown.
[[nodiscard]] int keyCodeFromName(const QString &name);
[[nodiscard]] QString keyCodeName(int code);

// The input devices the system has, in /dev/input/eventN order.
struct InputDeviceInfo {
    QString node;   // /dev/input/eventN
    QString byId;   // its /dev/input/by-id link, if it has one
    QString name;   // as the device calls itself
    QList<int> keys;
    int error = 0;   // errno when it could not be opened
};
[[nodiscard]] QList<InputDeviceInfo> listInputDevices();
