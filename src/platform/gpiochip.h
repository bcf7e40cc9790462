#pragma once

#include "platform/result.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <array>
#include <memory>

// A GPIO chip as the kernel's GPIO character device tells of it (/dev/gpiochipN): its
// name, its label (the driver's: pinctrl-bcm2711 on a Raspberry Pi 4) and its lines, each
// with its name (GPIO17, where the board names them) and, while requested, its consumer.
struct GpioLineInfo {
    QString name;
    QString consumer;
    bool used = false;
    bool operator==(const GpioLineInfo &) const = default;
};
struct GpioChipInfo {
    QString path;    // /dev/gpiochip0
    QString name;    // gpiochip0
    QString label;   // pinctrl-bcm2711
    QList<GpioLineInfo> lines;
    int error = 0;   // errno when it could not be opened
    bool operator==(const GpioChipInfo &) const = default;
};

// How a contact is wired to a line. Pull-up: between the pin and ground, active while low
// (the usual button, with the chip's own resistor). Pull-down: between the pin and 3.3 V,
// active while high. None: the board has its own pull-up resistors, active while low.
enum class GpioBias { PullUp, PullDown, None };

// Four lines of one chip, requested as inputs with both edges. Behind this small interface
// so that the source is tested against a scripted chip.
class GpioLines {
public:
    struct Edge {
        int line;      // 0..3, in the order requested
        bool active;   // the line's state after the edge
        qint64 atNs;   // the kernel's time of it, on the steady clock
    };
    // The edges queued since the last call. `lost`: the kernel's queue overflowed meanwhile
    // and dropped its oldest edges (a floating line, noise on a long cable, a reader held
    // up), which may have been another line's release: only values() says where they are.
    struct Edges {
        QList<Edge> edges;
        bool lost = false;
    };
    virtual ~GpioLines() = default;
    // The four lines' states now: active as the wiring means it.
    [[nodiscard]] virtual Result<std::array<bool, 4>, int> values() = 0;
    // The edges queued since the last call, never blocking; or the errno (ENODEV: the chip is gone).
    [[nodiscard]] virtual Result<Edges, int> edges() = 0;
    // Readable while edges are queued.
    [[nodiscard]] virtual int descriptor() const = 0;
};

// Requests four lines (offsets on the chip) for Velmora, or the errno why not: ENOTTY for a
// path that names anything but a GPIO chip, which is then never opened; EBUSY when a line
// is in use. Released when the object goes.
[[nodiscard]] Result<std::unique_ptr<GpioLines>, int>
requestGpioLines(const QByteArray &chip, const std::array<int, 4> &offsets, GpioBias bias);

// The chip at `path` (checked to be one first), or the errno why not. Read from the chip's
// line info only: no line is requested, so no pin changes (a Raspberry Pi's pin controller
// sets a released line back to a plain input, even one muxed to a UART, I2C or USB power).
[[nodiscard]] Result<GpioChipInfo, int> readGpioChip(const QByteArray &path);
// Every GPIO chip the system has, in number order; one that cannot be opened has its errno.
[[nodiscard]] QList<GpioChipInfo> listGpioChips();
