#include "devicenode.h"

#include <cerrno>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

// The kernel's fixed character-device majors (Documentation/admin-guide/devices.txt).
constexpr unsigned kPpdevMajor = 99;
constexpr unsigned kInputMajor = 13;

}   // namespace

int checkDeviceNode(const QByteArray &path, DeviceKind kind)
{
    struct stat st {};
    if (::stat(path.constData(), &st) != 0)
        return -errno;
    const unsigned wanted = kind == DeviceKind::ParallelPort ? kPpdevMajor : kInputMajor;
    return S_ISCHR(st.st_mode) && major(st.st_rdev) == wanted ? 0 : -ENOTTY;
}
