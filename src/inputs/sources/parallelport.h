#pragma once

#include "inputs/inputsource.h"
#include "platform/portsystem.h"

#include <chrono>
#include <memory>

// The status register of a real parallel port: through the kernel's ppdev driver
// (/dev/parportN, no root needed with group lp) or by direct I/O at 0x379 (root).
struct ParallelTimings {
    // PPCLAIM normally returns in microseconds; the window waits this long for it, and a
    // claim still pending then is tried again at the next tick.
    std::chrono::milliseconds claimWait {20};
    // A claim pending this long means another driver (a print job) holds the port.
    std::chrono::milliseconds busyAfter {2000};
};

// "/dev/parportN". A path that names another kind of node is refused, unopened.
[[nodiscard]] Result<std::unique_ptr<InputSource>> makePpdevPort(PortSystem &system, const QString &device,
                                                                 ParallelTimings timings = {});
[[nodiscard]] Result<std::unique_ptr<InputSource>> makeIoPort(PortSystem &system);
// "auto": the /dev/parportN whose base address is 0x378 through ppdev; when ppdev is not
// loaded, or the kernel knows no such device but shows a parallel port at 0x378, direct
// I/O if permitted. Looked up again after each failure, so loading a module while
// Velmora runs is enough.
[[nodiscard]] std::unique_ptr<InputSource> makeAutoPort(PortSystem &system, ParallelTimings timings = {});
