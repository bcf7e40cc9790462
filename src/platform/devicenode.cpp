#include "devicenode.h"

#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

// The kernel's fixed character-device majors (Documentation/admin-guide/devices.txt).
constexpr unsigned kPpdevMajor = 99;
constexpr unsigned kInputMajor = 13;
// ttyS, ttyACM, ttyUSB and the low-density serial ports: for a system without /sys.
constexpr unsigned kSerialMajors[] = {4, 166, 188, 204};

// Whether the tty layer answers for this node: sysfs files every character device under
// the subsystem it belongs to, and USB-serial drivers may get a major of their own.
bool isTty(dev_t device)
{
    const QString subsystem =
        QFileInfo(QStringLiteral("/sys/dev/char/%1:%2/subsystem").arg(major(device)).arg(minor(device)))
            .symLinkTarget();
    if (!subsystem.isEmpty())
        return subsystem.endsWith(QLatin1String("/tty"));
    return std::find(std::begin(kSerialMajors), std::end(kSerialMajors), major(device)) !=
           std::end(kSerialMajors);
}

}   // namespace

int checkDeviceNode(const QByteArray &path, DeviceKind kind)
{
    struct stat st {};
    if (::stat(path.constData(), &st) != 0)
        return -errno;
    if (!S_ISCHR(st.st_mode))
        return -ENOTTY;
    switch (kind) {
    case DeviceKind::ParallelPort:
        return major(st.st_rdev) == kPpdevMajor ? 0 : -ENOTTY;
    case DeviceKind::InputDevice:
        return major(st.st_rdev) == kInputMajor ? 0 : -ENOTTY;
    case DeviceKind::SerialPort:
        return isTty(st.st_rdev) ? 0 : -ENOTTY;
    }
    return -ENOTTY;
}
