#include "serialdevice.h"

#include "devicenode.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <linux/serial.h>
#include <pthread.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int kModemLines = TIOCM_CTS | TIOCM_DSR | TIOCM_CD | TIOCM_RNG;
constexpr auto kSampleEvery = std::chrono::milliseconds(10);

// The kernel's wait for a modem line cannot be cancelled from outside; a signal to the
// waiting thread ends it with EINTR. The handler does nothing: the signal only interrupts.
int wakeSignal()
{
    static const int signal = [] {
        struct sigaction action {};
        action.sa_handler = [](int) {};
        sigemptyset(&action.sa_mask);
        action.sa_flags = 0;   // no SA_RESTART: the wait must end, not resume
        ::sigaction(SIGRTMIN, &action, nullptr);
        return int(SIGRTMIN);
    }();
    return signal;
}

// How many times each line has changed; all 0 from a driver without counters, whose
// changes are then seen by the lines' state only.
std::array<int, 4> changeCounts(int fd)
{
    serial_icounter_struct counts {};
    if (::ioctl(fd, TIOCGICOUNT, &counts) != 0)
        return {};
    return {counts.cts, counts.dsr, counts.dcd, counts.rng};
}

Result<ModemLines, int> readLines(int fd)
{
    int bits = 0;
    if (::ioctl(fd, TIOCMGET, &bits) != 0)
        return failure(errno);
    ModemLines lines;
    lines.on = {(bits & TIOCM_CTS) != 0, (bits & TIOCM_DSR) != 0, (bits & TIOCM_CD) != 0,
                (bits & TIOCM_RNG) != 0};
    lines.changes = changeCounts(fd);   // after the lines: a change between the two is looked at again
    return lines;
}

// The kernel's UART types of the 16550 family (serial_core.h: PORT_8250 to PORT_16550A_FSL64),
// whose modem-status interrupt comes for RI only at the ring's trailing edge.
constexpr int kFirst8250Type = 1;
constexpr int kLast8250Type = 30;

QString sysfsText(const QString &file)
{
    QFile f(file);
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll().trimmed()) : QString();
}

// What sysfs says of a tty's driver, from its folder (under /sys/class/tty or /sys/dev/char).
QString driverOf(const QString &folder)
{
    return QFileInfo(QFileInfo(folder + QStringLiteral("/device/driver")).symLinkTarget()).fileName();
}

LineSupport supportOf(const QString &folder)
{
    return lineSupport(driverOf(folder).toLatin1(), sysfsText(folder + QStringLiteral("/type")).toInt());
}

// A port let go as it was found: its settings back (echo and line editing, for a program
// that uses it next), no longer exclusive, then closed, which drops DTR and RTS (HUPCL).
void letGo(int fd, const termios &found)
{
    ::tcsetattr(fd, TCSANOW, &found);
    ::ioctl(fd, TIOCNXCL);
    ::close(fd);
}

class TtyDevice : public SerialDevice {
public:
    TtyDevice(int fd, const termios &found, LineSupport support)
        : m_fd(fd), m_found(found), m_support(support)
    {}
    ~TtyDevice() override { letGo(m_fd, m_found); }

    Result<ModemLines, int> lines() override
    {
        Result<ModemLines, int> lines = readLines(m_fd);
        if (lines)
            m_seen = lines->changes;
        return lines;
    }

    int waitForChange(bool briefly) override
    {
        if (m_kernelWaits && !briefly) {
            // The kernel waits for a change after the call: one since the last look must
            // not wait for the next.
            if (changeCounts(m_fd) != m_seen)
                return 0;
            // Who waits is known before that anyone does: a stop that sees the wait must
            // be able to signal its thread (a signal to thread 0 ends the whole program).
            m_waiter = ::pthread_self();
            m_inWait = true;   // before looking at m_stop: see stopWaiting()
            const int r = m_stop ? -EINTR : ::ioctl(m_fd, TIOCMIWAIT, kModemLines) == 0 ? 0 : -errno;
            m_inWait = false;
            if (r != -ENOTTY && r != -EINVAL)
                return r;
            m_kernelWaits = false;   // this driver cannot say when: looked at every 10 ms
        }
        std::unique_lock lock(m_mutex);
        return m_stopped.wait_for(lock, kSampleEvery, [this] { return m_stop.load(); }) ? -EINTR : 0;
    }

    void stopWaiting() override
    {
        {
            std::lock_guard lock(m_mutex);
            m_stop = true;
        }
        m_stopped.notify_all();
        // A signal that comes just before the wait starts is lost: sent until it has ended.
        while (m_inWait) {
            ::pthread_kill(m_waiter, wakeSignal());
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }

    void discardInput() override { ::tcflush(m_fd, TCIFLUSH); }
    LineSupport support() const override { return m_support; }

private:
    const int m_fd;
    const termios m_found;
    const LineSupport m_support;
    bool m_kernelWaits = true;
    std::atomic<bool> m_stop = false;
    std::atomic<bool> m_inWait = false;
    std::atomic<pthread_t> m_waiter {};
    std::mutex m_mutex;
    std::condition_variable m_stopped;
    // The counts as the last look saw them; looks and waits are made by one thread at a time.
    std::array<int, 4> m_seen {};
};

// termios outlives an open: a program before may have left the port waiting for carrier
// (no CLOCAL), echoing what it receives, or with flow control that sends on its own.
int prepare(int fd, const termios &found)
{
    termios t = found;
    ::cfmakeraw(&t);   // no echo, no line editing
    t.c_iflag &= ~tcflag_t(IXON | IXOFF | IXANY);
    t.c_cflag &= ~tcflag_t(CRTSCTS);
    t.c_cflag |= CLOCAL;
    if (::cfgetospeed(&t) == B0)   // speed 0 means "hang up": DTR would stay down
        ::cfsetspeed(&t, B9600);
    if (::tcsetattr(fd, TCSANOW, &t) != 0)
        return errno;
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
        return errno;
    const int up = TIOCM_DTR | TIOCM_RTS;   // the contacts' supply
    return ::ioctl(fd, TIOCMBIS, &up) == 0 ? 0 : errno;
}

QHash<QString, QString> byIdLinks()
{
    QHash<QString, QString> links;
    for (const QFileInfo &link :
         QDir(QStringLiteral("/dev/serial/by-id")).entryInfoList(QDir::System | QDir::Files, QDir::Name))
        links.insert(link.canonicalFilePath(), link.filePath());
    return links;
}

}   // namespace

LineSupport lineSupport(const QByteArray &driver, int uartType)
{
    LineSupport support;
    if (driver == "cdc_acm")
        support.reported[0] = false;   // CTS: always said to be on
    if (uartType >= kFirst8250Type && uartType <= kLast8250Type)
        support.wakesOnEveryEdge = false;
    return support;
}

SystemPort systemPortUse(const QByteArray &path)
{
    const QString folder = QFileInfo(sysfsFolder(path)).canonicalFilePath();
    if (folder.isEmpty())
        return SystemPort::None;
    // "tty0 ttyS0": the consoles the kernel writes to now.
    if (sysfsText(QStringLiteral("/sys/class/tty/console/active"))
            .split(QLatin1Char(' '))
            .contains(QFileInfo(folder).fileName()))
        return SystemPort::Console;
    // The hci line discipline hangs the Bluetooth adapter it makes under its tty.
    if (!QDir(folder).entryList({QStringLiteral("hci*")}, QDir::Dirs | QDir::NoDotAndDotDot).isEmpty())
        return SystemPort::Protocol;
    return SystemPort::None;
}

Result<std::unique_ptr<SerialDevice>, int> openSerialDevice(const QByteArray &path)
{
    if (const int r = checkDeviceNode(path, DeviceKind::SerialPort); r < 0)   // never open another kind
        return failure(-r);
    if (systemPortUse(path) != SystemPort::None)
        return failure(ENOTTY);
    // Not blocking: without CLOCAL the open would wait for a carrier that never comes.
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return failure(errno);
    termios found {};
    if (::tcgetattr(fd, &found) != 0) {
        const int error = errno;
        ::close(fd);
        return failure(error == EINVAL ? ENOTTY : error);
    }
    // A line a protocol has taken (PPP, a Bluetooth UART sysfs did not tell of) is not a terminal's.
    int discipline = N_TTY;
    if (::ioctl(fd, TIOCGETD, &discipline) == 0 && discipline != N_TTY) {
        ::close(fd);
        return failure(ENOTTY);
    }
    if (::ioctl(fd, TIOCEXCL) != 0) {
        const int error = errno;
        ::close(fd);
        return failure(error);
    }
    if (const int error = prepare(fd, found); error != 0) {
        letGo(fd, found);   // another program may use it next
        return failure(error == EINVAL ? ENOTTY : error);
    }
    return std::unique_ptr<SerialDevice>(std::make_unique<TtyDevice>(fd, found, serialLineSupport(path)));
}

QList<SerialPortInfo> listSerialPorts()
{
    const QHash<QString, QString> links = byIdLinks();
    QList<SerialPortInfo> ports;
    const QDir ttys(QStringLiteral("/sys/class/tty"));
    for (const QString &name : ttys.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot)) {
        const QString folder = ttys.filePath(name);
        // Only ttys on a real device; a PC's ttyS nodes exist whether or not a UART answers.
        if (!QFileInfo::exists(folder + QStringLiteral("/device")) ||
            sysfsText(folder + QStringLiteral("/type")) == QLatin1String("0"))
            continue;
        SerialPortInfo port {QStringLiteral("/dev/") + name, {}, driverOf(folder), supportOf(folder), 0};
        if (systemPortUse(QFile::encodeName(port.node)) != SystemPort::None)
            continue;
        port.byId = links.value(port.node);
        if (::access(QFile::encodeName(port.node).constData(), R_OK | W_OK) != 0)
            port.error = errno;
        ports << port;
    }
    QCollator numbers;   // ttyS2 before ttyS10
    numbers.setNumericMode(true);
    std::sort(ports.begin(), ports.end(), [&numbers](const SerialPortInfo &a, const SerialPortInfo &b) {
        return numbers.compare(a.node, b.node) < 0;
    });
    return ports;
}

LineSupport serialLineSupport(const QByteArray &path) { return supportOf(sysfsFolder(path)); }

Result<ModemLines, int> peekSerialLines(const QByteArray &path)
{
    if (const int r = checkDeviceNode(path, DeviceKind::SerialPort); r < 0)
        return failure(-r);
    // Looked at without changing its settings: it may be in use (a console, a modem).
    const int fd = ::open(path.constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return failure(errno);
    Result<ModemLines, int> lines = readLines(fd);
    ::close(fd);
    return lines;
}
