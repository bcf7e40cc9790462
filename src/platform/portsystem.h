#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// What the parallel-port backends ask of the kernel, in one small seam so that their
// decisions (which device, what a failure means, when to fall back to direct I/O) are
// tested against a fake kernel. Calls that can fail return 0, or a descriptor, on
// success and -errno on failure.
class PortSystem {
public:
    virtual ~PortSystem() = default;
    // 0 when path is a ppdev node, -ENOTTY when it is another file or device, -errno when
    // it cannot be looked at; asked before every open, since opening some nodes acts.
    virtual int checkNode(const QByteArray &path) = 0;
    virtual int openDevice(const QByteArray &path) = 0;   // a /dev/parportN, read-write
    virtual int claim(int fd) = 0;   // PPCLAIM: blocks while another driver holds the port
    virtual int readStatus(int fd, quint8 *status) = 0;   // PPRSTATUS
    virtual void release(int fd) = 0;                     // PPRELEASE
    virtual void closeDevice(int fd) = 0;
    virtual int permitIo() = 0;   // access to I/O address 0x379 (root only)
    // False on a processor without I/O instructions (ARM): there no kernel can permit it.
    virtual bool hasIoInstructions() { return true; }
    virtual bool privileged() = 0;                               // running as root
    virtual quint8 inStatus() = 0;                               // the byte at 0x379, once permitted
    virtual QByteArray readSmallFile(const QString &path) = 0;   // under /proc or /sys; empty when unreadable
    virtual QStringList listFolder(const QString &path) = 0;
};

// The running kernel's.
[[nodiscard]] PortSystem &realPortSystem();
