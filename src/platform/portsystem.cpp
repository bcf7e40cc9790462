#include "portsystem.h"

#include "devicenode.h"
#include "regularfile.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <linux/ppdev.h>
#include <sys/ioctl.h>
#include <unistd.h>
#if defined(__x86_64__) || defined(__i386__)
#include <sys/io.h>
#define VELMORA_HAS_PORT_IO 1
#endif

namespace {

constexpr int kStatusAddress = 0x379;   // status register of the port at 0x378

int result(int value) { return value < 0 ? -errno : value; }

class RealPortSystem : public PortSystem {
public:
    int checkNode(const QByteArray &path) override { return checkDeviceNode(path, DeviceKind::ParallelPort); }
    int openDevice(const QByteArray &path) override
    {
        return result(::open(path.constData(), O_RDWR | O_CLOEXEC));
    }
    int claim(int fd) override { return result(::ioctl(fd, PPCLAIM)); }
    int readStatus(int fd, quint8 *status) override
    {
        unsigned char byte = 0;
        const int r = result(::ioctl(fd, PPRSTATUS, &byte));
        *status = byte;
        return r;
    }
    void release(int fd) override { ::ioctl(fd, PPRELEASE); }
    void closeDevice(int fd) override { ::close(fd); }
    int permitIo() override
    {
#ifdef VELMORA_HAS_PORT_IO
        return result(::ioperm(kStatusAddress, 1, 1));
#else
        return -ENOSYS;
#endif
    }
    bool hasIoInstructions() override
    {
#ifdef VELMORA_HAS_PORT_IO
        return true;
#else
        return false;
#endif
    }
    bool privileged() override { return ::geteuid() == 0; }
    quint8 inStatus() override
    {
#ifdef VELMORA_HAS_PORT_IO
        return ::inb(kStatusAddress);
#else
        return 0xFF;
#endif
    }
    QByteArray readSmallFile(const QString &path) override
    {
        return readRegularFile(QFile::encodeName(path), 64 * 1024).value_or(QByteArray());
    }
    QStringList listFolder(const QString &path) override
    {
        return QDir(path).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
    }
};

}   // namespace

PortSystem &realPortSystem()
{
    static RealPortSystem system;
    return system;
}
