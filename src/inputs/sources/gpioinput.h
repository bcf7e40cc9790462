#pragma once

#include "inputs/inputsource.h"
#include "platform/gpiochip.h"

#include <QStringList>

#include <functional>

// Four push buttons on GPIO lines (a Raspberry Pi's header, a USB GPIO expander), read
// through the kernel's GPIO character device: both edges of each line, dated by the kernel.
//
// What follows "gpio:": [CHIP:]LINES[:WIRING]. LINES: four lines, inputs 1 to 4, each by its
// name (GPIO17) or its number on the chip (17), separated by commas; none: the header pins
// 11, 13, 15 and 16 (GPIO17, GPIO27, GPIO22, GPIO23). CHIP: its path (/dev/gpiochip0), name
// (gpiochip0) or label; none: the chip that has the Raspberry Pi header's lines, by its
// label or its line names, never by its number, which changes between models and kernels.
// WIRING: up (the default: a button between the pin and ground, the chip's pull-up), down
// (between the pin and 3.3 V, the chip's pull-down) or none (the board's own pull-ups).
struct GpioSpec {
    QString chip;
    QStringList lines;
    GpioBias bias = GpioBias::PullUp;
    bool operator==(const GpioSpec &) const = default;
};
[[nodiscard]] Result<GpioSpec> parseGpioSpec(const QString &text);

// The chip and the four offsets a spec names among the chips there are, or why not:
// `lasting` when it will not mend while Velmora runs (a line the chip does not have), said
// at start; otherwise the chip may yet come (a USB expander not plugged in).
struct GpioChoice {
    QString path;
    std::array<int, 4> offsets {};
    QString identity;   // its label and line names: another chip in its place is not read
    bool operator==(const GpioChoice &) const = default;
};
struct GpioProblem {
    QString why;
    bool lasting = false;
};
[[nodiscard]] Result<GpioChoice, GpioProblem> chooseGpioLines(const GpioSpec &spec,
                                                              const QList<GpioChipInfo> &chips);

using GpioChipLister = std::function<QList<GpioChipInfo>()>;
using GpioLineRequester = std::function<Result<std::unique_ptr<GpioLines>, int>(
    const QByteArray &chip, const std::array<int, 4> &offsets, GpioBias bias)>;

class GpioInput : public InputSource {
public:
    GpioInput(GpioSpec spec, GpioChipLister list, GpioLineRequester request);

    // Every edge of the four lines since the last read, each at the kernel's time.
    InputReading read() override;
    QString name() const override { return QStringLiteral("GPIO"); }
    int wakeDescriptor() const override { return m_lines ? m_lines->descriptor() : -1; }

    // Finds the chip and requests the lines now, if it is there: a line it does not have is
    // a mistake on the command line, said before the window opens.
    [[nodiscard]] QString startUpProblem();

private:
    GpioProblem open();
    // The edges since the last read as samples, or the errno.
    Result<QList<InputSample>, int> takeEdges();

    GpioSpec m_spec;
    GpioChipLister m_list;
    GpioLineRequester m_request;
    std::unique_ptr<GpioLines> m_lines;
    GpioChoice m_choice;
    QString m_identity;          // of the chip first opened
    Inputs m_raw {};             // as the edges read so far leave the lines
    QList<InputSample> m_seen;   // since the last read
    QString m_lost;              // the chip went between two reads
};

// "gpio:" followed by this text.
[[nodiscard]] Result<std::unique_ptr<InputSource>>
makeGpioInput(const QString &text, GpioChipLister list = &listGpioChips,
              GpioLineRequester request = &requestGpioLines);

// What a user without access to GPIO chips can do, in Italian.
[[nodiscard]] QString gpioAccessHelp();
// The Raspberry Pi header's physical pin for a line name (GPIO17 -> 11); 0 for another.
[[nodiscard]] int headerPin(const QString &lineName);
