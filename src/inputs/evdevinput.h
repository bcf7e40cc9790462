#pragma once

#include "platform/inputdevice.h"
#include "platform/statusport.h"

#include <array>
#include <functional>
#include <optional>

// Four USB buttons (a button encoder, a foot switch, a keypad) as the source of the four
// inputs, handed on as the status byte the parallel port would give, so that the tick,
// the lamps and the sounds do not know where the inputs came from.
//
// What follows "evdev:": DEVICE[:CODE1,CODE2,CODE3,CODE4], codes by libevdev's names
// (BTN_TRIGGER, KEY_1) or numbers. No codes: the device's first four keys in code order.
struct EvdevSpec {
    QString device;
    QList<int> codes;   // empty: the device's own first four
    bool operator==(const EvdevSpec &) const = default;
};
[[nodiscard]] std::optional<EvdevSpec> parseEvdevSpec(const QString &text, QString *error);

using InputDeviceOpener = std::function<std::unique_ptr<InputDevice>(const QByteArray &path, int *error)>;

class EvdevInput : public StatusPort {
public:
    explicit EvdevInput(EvdevSpec spec, InputDeviceOpener open = &openInputDevice);

    // An input is active while its button is down, and also for the one tick after a
    // press that was already released again: a tap between two ticks is never lost.
    PortReading read() override;
    QString sourceName() const override;
    int wakeDescriptor() const override;
    bool newPress() override;

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
    bool drain();   // takes in the queued events; true on a press of an input idle at the last read

    EvdevSpec m_spec;
    InputDeviceOpener m_open;
    std::unique_ptr<InputDevice> m_device;
    QList<int> m_codes;                 // inputs 1..4 (fewer if the device has fewer keys)
    std::array<bool, 4> m_pressed {};   // since the last read
    std::array<bool, 4> m_activeAtLastRead {};
    QString m_lost;   // the device went between two reads
};

// The source named by --port: "evdev:…" (or a path under /dev/input/) for USB buttons,
// anything else for the parallel port. Returns nullptr and sets *error when refused.
[[nodiscard]] std::unique_ptr<StatusPort> makeInputSource(const QString &spec, QString *error);

// What velmora --list-inputs prints.
[[nodiscard]] QString describeInputDevices(const QList<InputDeviceInfo> &devices);
