#pragma once

#include "inputs/inputsource.h"
#include "platform/portsystem.h"

#include <memory>
#include <optional>

// The one place that turns the --port text into a source, with the message for a text it
// refuses: "auto", "io", "/dev/parportN", "file:PATH", "evdev:DEVICE[:CODES]" or a path
// under /dev/input/, "serial:DEVICE" or a path under /dev/serial/. A new kind of source
// adds its line here and its file in sources/.
[[nodiscard]] Result<std::unique_ptr<InputSource>> makeInputSource(const QString &spec,
                                                                   PortSystem &system = realPortSystem());
// The serial port a --port text names, or empty when it names none.
[[nodiscard]] QString serialPortOf(const QString &spec);
// What follows "gpio:" in a --port text that names GPIO lines; nothing for another source.
[[nodiscard]] std::optional<QString> gpioLinesOf(const QString &spec);
