#pragma once

#include "portsystem.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

// The byte of the parallel port's status register, or why it could not be read, or
// neither: the port is being claimed and this tick has nothing (the next one will).
struct PortReading {
    std::optional<quint8> status;
    QString error;   // Italian, says what failed and what to do; empty unless failed
    bool pending = false;

    static PortReading ok(quint8 s) { return {s, {}}; }
    static PortReading failed(QString why) { return {std::nullopt, std::move(why)}; }
    static PortReading notYet() { return {std::nullopt, {}, true}; }
    [[nodiscard]] bool isFailure() const { return !status && !pending; }
    bool operator==(const PortReading &) const = default;
};

class StatusPort {
public:
    virtual ~StatusPort() = default;
    // Called once per tick on the window's thread: must never block for long.
    [[nodiscard]] virtual PortReading read() = 0;
    // What the user knows this source as, for the status line ("… non leggibile").
    [[nodiscard]] virtual QString sourceName() const { return QStringLiteral("Porta parallela"); }
    // A source that learns of a press as it happens (USB buttons) gives a descriptor that
    // becomes readable then; newPress() takes in what is queued and says whether an input
    // idle at the last read was pressed, so that the window reads at once instead of at
    // the next tick. The parallel port has neither: it is only read at the ticks.
    [[nodiscard]] virtual int wakeDescriptor() const { return -1; }
    [[nodiscard]] virtual bool newPress() { return false; }
};

// Builds the parallel port named on the command line: "auto", "io", "/dev/parportN" or
// "file:PATH" (USB buttons: inputs/evdevinput.h).
// Returns nullptr and sets *error for a spec it does not understand.
[[nodiscard]] std::unique_ptr<StatusPort> makeStatusPort(const QString &spec, QString *error,
                                                         PortSystem &system = realPortSystem());

// After a failure, answers with the same failure for `interval` without touching the
// real port, so a missing device is not reopened (and its error not re-logged) every tick.
class RetryingStatusPort : public StatusPort {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    RetryingStatusPort(std::unique_ptr<StatusPort> inner, std::chrono::milliseconds interval,
                       Clock clock = &std::chrono::steady_clock::now);
    PortReading read() override;
    QString sourceName() const override { return m_inner->sourceName(); }
    int wakeDescriptor() const override { return m_inner->wakeDescriptor(); }
    bool newPress() override { return m_inner->newPress(); }

private:
    std::unique_ptr<StatusPort> m_inner;
    std::chrono::milliseconds m_interval;
    Clock m_clock;
    std::optional<std::chrono::steady_clock::time_point> m_failedAt;
    QString m_lastError;
};
