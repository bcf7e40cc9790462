#pragma once

#include "inputs/inputsource.h"
#include "platform/inputdevice.h"

#include <array>
#include <functional>
#include <optional>

// Four USB buttons (a button encoder, a foot switch, a keypad) as the source of the four
// inputs, read through the kernel's evdev interface.
//
// What follows "evdev:": DEVICE[:CODE1,CODE2,CODE3,CODE4], codes by libevdev's names
// (BTN_TRIGGER, KEY_1) or numbers. No codes: the device's first four keys in code order.
struct EvdevSpec {
    QString device;
    QList<int> codes;   // empty: the device's own first four
    bool operator==(const EvdevSpec &) const = default;
};
[[nodiscard]] Result<EvdevSpec> parseEvdevSpec(const QString &text);

using InputDeviceOpener = std::function<Result<std::unique_ptr<InputDevice>, int>(const QByteArray &path)>;

class EvdevInput : public InputSource {
public:
    explicit EvdevInput(EvdevSpec spec, InputDeviceOpener open = &openInputDevice);

    // Every change of the chosen buttons since the last read, each at its event's time.
    InputReading read() override;
    QString name() const override;
    int wakeDescriptor() const override;

    // Opens the device now, if it is there: a file that is not an input device, or a
    // device that lacks the keys asked for, is a mistake on the command line, said before
    // the window opens. Empty when all is well, or when the device may yet come.
    [[nodiscard]] QString startUpProblem();

private:
    struct Problem {
        QString why;    // empty: opened, with the keys asked for
        bool lasting;   // will not mend while Velmora runs: refused at start
    };
    Problem open();
    void drain();   // takes in the queued events

    EvdevSpec m_spec;
    InputDeviceOpener m_open;
    std::unique_ptr<InputDevice> m_device;
    QList<int> m_codes;          // inputs 1..4 (fewer if the device has fewer keys), fixed at the first open
    QString m_identity;          // of the device first opened
    Inputs m_raw {};             // as the events read so far leave the buttons
    QList<InputSample> m_seen;   // since the last read
    QString m_lost;              // the device went between two reads
};

// "evdev:" followed by this text, or a path under /dev/input/: the device is opened now,
// if it is there, so that a mistake on the command line is said before the window opens.
[[nodiscard]] Result<std::unique_ptr<InputSource>> makeEvdevInput(const QString &text,
                                                                  InputDeviceOpener open = &openInputDevice);

// What a user without access to input devices can do, in Italian.
[[nodiscard]] QString evdevAccessHelp();
