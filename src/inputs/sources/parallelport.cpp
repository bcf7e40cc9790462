#include "parallelport.h"

#include "parallelportmessages.h"

#include "platform/texts.h"
#include "statusbyte.h"

#include <QFile>
#include <QRegularExpression>

#include <condition_variable>
#include <mutex>
#include <thread>

#include <cerrno>

namespace {

constexpr int kBaseAddress = 0x378;

// Opening and claiming run on a helper thread, since PPCLAIM blocks while another
// driver holds the port; the window waits for it only briefly.
struct Claim {
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
    bool abandoned = false;
    int result = 0;   // the descriptor, or -errno
    std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();
};

class PpdevPort : public StatusByteSource {
public:
    PpdevPort(PortSystem &system, QString device, ParallelTimings timings)
        : m_system(system), m_device(std::move(device)), m_timings(timings)
    {}

    ~PpdevPort() override
    {
        if (m_fd >= 0) {
            m_system.release(m_fd);   // another program can claim the port at once
            m_system.closeDevice(m_fd);
        }
        if (m_claim) {   // a claim still under way releases and closes on its own
            std::lock_guard lock(m_claim->mutex);
            m_claim->abandoned = true;
        }
    }

    // The errno of the last failure, for "auto" to tell a missing ppdev from the rest.
    int lastError() const { return m_lastError; }

    InputReading read() override
    {
        if (m_fd < 0) {
            if (!m_claim) {
                if (const int r = m_system.checkNode(QFile::encodeName(m_device)); r < 0)
                    return fail(-r);
                if (heldByAnother())
                    return fail(EBUSY);
                startClaim();
            }
            std::unique_lock lock(m_claim->mutex);
            if (!m_claim->finished.wait_for(lock, m_timings.claimWait, [this] { return m_claim->done; })) {
                const bool held = std::chrono::steady_clock::now() - m_claim->started >= m_timings.busyAfter;
                return held ? fail(EBUSY) : notYet();
            }
            const int result = m_claim->result;
            lock.unlock();
            m_claim.reset();
            if (result < 0)
                return fail(-result);
            m_fd = result;
        }
        quint8 status = 0;
        if (const int r = m_system.readStatus(m_fd, &status); r < 0) {
            m_system.closeDevice(m_fd);   // unplugged or taken away: opened again on the next attempt
            m_fd = -1;
            return fail(-r);
        }
        m_lastError = 0;
        return seenNow(inputsFromStatus(status));
    }

private:
    // A claim made while another driver holds the port blocks inside ppdev holding its
    // one lock for all ports, so that the holder could not even release it: seen on a
    // real kernel. The port's owner is public, so a held port is not claimed at all.
    bool heldByAnother()
    {
        static const QRegularExpression device(QStringLiteral("^/dev/parport(\\d+)$"));
        const auto match = device.match(m_device);
        if (!match.hasMatch())
            return false;
        const QByteArray active =
            m_system
                .readSmallFile(
                    QStringLiteral("/proc/sys/dev/parport/parport%1/devices/active").arg(match.captured(1)))
                .trimmed();
        return !active.isEmpty() && active != "none";
    }

    InputReading fail(int err)
    {
        m_lastError = err;
        return failure(deviceErrorText(m_device, err));
    }

    void startClaim()
    {
        m_claim = std::make_shared<Claim>();
        std::thread([claim = m_claim, &system = m_system, path = QFile::encodeName(m_device)] {
            int result = system.openDevice(path);
            if (result >= 0) {
                if (const int r = system.claim(result); r < 0) {
                    system.closeDevice(result);
                    result = r;
                }
            }
            std::lock_guard lock(claim->mutex);
            if (claim->abandoned) {
                if (result >= 0) {
                    system.release(result);
                    system.closeDevice(result);
                }
                return;
            }
            claim->result = result;
            claim->done = true;
            claim->finished.notify_all();
        }).detach();
    }

    PortSystem &m_system;
    QString m_device;
    ParallelTimings m_timings;
    int m_fd = -1;
    int m_lastError = 0;
    std::shared_ptr<Claim> m_claim;
};

class IoPort : public StatusByteSource {
public:
    explicit IoPort(PortSystem &system) : m_system(system) {}

    InputReading read() override
    {
        if (!m_permitted) {
            if (const int r = m_system.permitIo(); r < 0)
                return failure(ioErrorText(-r, m_system.privileged()));
            m_permitted = true;
        }
        return seenNow(inputsFromStatus(m_system.inStatus()));
    }

private:
    PortSystem &m_system;
    bool m_permitted = false;
};

// The first number of /proc/sys/dev/parport/parportN/base-addr ("888\t1912", "888\t0").
std::optional<int> parseBaseAddr(const QByteArray &text)
{
    const QByteArray first = text.simplified().split(' ').value(0);
    bool ok = false;
    const int value = first.toInt(&ok, 10);
    if (!ok || value < 0)
        return std::nullopt;
    return value;
}

// The /dev/parportN whose base address (from /proc/sys/dev/parport) is 0x378.
std::optional<QString> findParportAt378(PortSystem &system)
{
    const QString root = QStringLiteral("/proc/sys/dev/parport");
    static const QRegularExpression name(QStringLiteral("^parport(\\d+)$"));
    for (const QString &entry : system.listFolder(root)) {
        const auto match = name.match(entry);
        if (match.hasMatch() && parseBaseAddr(system.readSmallFile(
                                    root + '/' + entry + QStringLiteral("/base-addr"))) == kBaseAddress)
            return QStringLiteral("/dev/parport") + match.captured(1);
    }
    return std::nullopt;
}

// True when /proc/ioports lists a parallel port starting at 0x378.
bool ioportsShowParallelAt378(const QByteArray &ioports)
{
    // Lines look like "  0378-037a : parport0".
    for (const QByteArray &line : ioports.split('\n')) {
        const QList<QByteArray> parts = line.split(':');
        if (parts.size() < 2)
            continue;
        const QByteArray range = parts[0].trimmed();
        if (range.toLower().startsWith("0378-") && parts[1].trimmed().startsWith("parport"))
            return true;
    }
    return false;
}

class AutoPort : public StatusByteSource {
public:
    AutoPort(PortSystem &system, ParallelTimings timings) : m_system(system), m_timings(timings) {}

    InputReading read() override
    {
        if (m_io)
            return m_io->read();
        if (m_ppdev) {
            InputReading reading = m_ppdev->read();
            if (reading || !deviceMissing(m_ppdev->lastError()))
                return reading;
            // The kernel knows the port but ppdev is not loaded: direct I/O when permitted,
            // otherwise the message says to load ppdev, and the next attempt looks again.
            m_ppdev.reset();
            if (m_system.permitIo() < 0)
                return reading;
            m_io = std::make_unique<IoPort>(m_system);
            return m_io->read();
        }
        if (const auto device = findParportAt378(m_system)) {
            m_ppdev = std::make_unique<PpdevPort>(m_system, *device, m_timings);
            return read();
        }
        if (ioportsShowParallelAt378(m_system.readSmallFile(QStringLiteral("/proc/ioports"))) &&
            m_system.permitIo() >= 0) {
            m_io = std::make_unique<IoPort>(m_system);
            return m_io->read();
        }
        return failure(Texts::tr(
            "nessuna porta parallela trovata all'indirizzo 0x378: caricare i moduli parport_pc e ppdev "
            "(sudo modprobe parport_pc ppdev) oppure indicare la porta con --port"));
    }

private:
    PortSystem &m_system;
    ParallelTimings m_timings;
    std::unique_ptr<PpdevPort> m_ppdev;
    std::unique_ptr<InputSource> m_io;
};

}   // namespace

Result<std::unique_ptr<InputSource>> makePpdevPort(PortSystem &system, const QString &device,
                                                   ParallelTimings timings)
{
    // Another kind of node will not become a port while Velmora runs: refused, unopened.
    // One that is not there yet is waited for.
    if (system.checkNode(QFile::encodeName(device)) == -ENOTTY)
        return failure(deviceErrorText(device, ENOTTY));
    return std::unique_ptr<InputSource>(std::make_unique<PpdevPort>(system, device, timings));
}

Result<std::unique_ptr<InputSource>> makeIoPort(PortSystem &system)
{
    // Without I/O instructions (an ARM board, a Raspberry Pi) no later attempt can
    // succeed: refused at start.
    if (!system.hasIoInstructions())
        return failure(Texts::tr(
            "l'accesso diretto alla porta 0x379 (--port io) esiste solo sui PC con processore x86, non "
            "su questo: usare /dev/parportN, i pulsanti su gpio:, evdev: o serial: (velmora "
            "--list-inputs mostra quelli presenti)"));
    return std::unique_ptr<InputSource>(std::make_unique<IoPort>(system));
}

std::unique_ptr<InputSource> makeAutoPort(PortSystem &system, ParallelTimings timings)
{
    return std::make_unique<AutoPort>(system, timings);
}
