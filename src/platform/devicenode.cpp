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
// ttyS (major 4 from minor 64: below are the virtual consoles), ttyACM, ttyUSB and the
// low-density serial ports: for a system without /sys.
constexpr unsigned kSerialMajors[] = {4, 166, 188, 204};
constexpr unsigned kFirstTtyS = 64;

QString folderOf(dev_t device)
{
    return QStringLiteral("/sys/dev/char/%1:%2").arg(major(device)).arg(minor(device));
}

// Whether the node is a tty on a real port. sysfs files every character device under the
// subsystem it belongs to (USB-serial drivers may get a major of their own), and a tty
// on hardware has a device behind it; a terminal, the console or a pseudo-terminal has
// none, and must never be locked and switched to raw mode as a port would be.
bool isSerialPort(dev_t device)
{
    const QString folder = folderOf(device);
    const QString subsystem = QFileInfo(folder + QStringLiteral("/subsystem")).symLinkTarget();
    if (!subsystem.isEmpty())
        return subsystem.endsWith(QLatin1String("/tty")) &&
               QFileInfo::exists(folder + QStringLiteral("/device"));
    if (major(device) == kSerialMajors[0] && minor(device) < kFirstTtyS)
        return false;
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
        return isSerialPort(st.st_rdev) ? 0 : -ENOTTY;
    case DeviceKind::GpioChip:
        return QFileInfo(folderOf(st.st_rdev) + QStringLiteral("/subsystem"))
                       .symLinkTarget()
                       .endsWith(QLatin1String("/gpio"))
                   ? 0
                   : -ENOTTY;
    }
    return -ENOTTY;
}

QString sysfsFolder(const QByteArray &path)
{
    struct stat st {};
    if (::stat(path.constData(), &st) != 0 || !S_ISCHR(st.st_mode))
        return {};
    return folderOf(st.st_rdev);
}
