#include "statusport.h"

#include "regularfile.h"

#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QRegularExpression>

#include <condition_variable>
#include <mutex>
#include <thread>

#include <cerrno>
#include <cctype>
#include <cstring>
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
constexpr int kBaseAddress = 0x378;

// PPCLAIM normally returns in microseconds; a longer wait means another driver
// (a print job) holds the port, and the window must not wait for it.
constexpr auto kClaimWait = std::chrono::milliseconds(20);

QString systemError(int err) { return QString::fromLocal8Bit(std::strerror(err)); }

QString deviceErrorText(const QString &device, int err)
{
    switch (err) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return QStringLiteral("la porta %1 non esiste (%2): caricare il modulo ppdev "
                              "(sudo modprobe ppdev) e controllare che la porta parallela sia collegata e abilitata")
            .arg(device, systemError(err));
    case EACCES:
    case EPERM:
        return QStringLiteral("accesso negato a %1: aggiungere l'utente al gruppo lp "
                              "(sudo usermod -aG lp $USER), poi uscire e rientrare nella sessione")
            .arg(device);
    case EBUSY:
        return QStringLiteral("la porta %1 è occupata da un altro programma (per esempio una stampa in corso); "
                              "Velmora riprova da sola").arg(device);
    default:
        return QStringLiteral("impossibile leggere %1: %2").arg(device, systemError(err));
    }
}

// The status byte from a text file, read anew on every tick: for trying Velmora
// without hardware, and for tests.
class FilePort : public StatusPort {
public:
    explicit FilePort(QString path) : m_path(std::move(path)) {}

    PortReading read() override
    {
        const FileBytes file = readRegularFile(QFile::encodeName(m_path), 256);
        if (!file.bytes)
            return PortReading::failed(QStringLiteral("impossibile leggere il file della porta %1: %2")
                                           .arg(m_path, file.error));
        const auto value = parsePortText(*file.bytes);
        return value ? PortReading::ok(*value) : PortReading::failed(malformed());
    }

private:
    QString malformed() const
    {
        return QStringLiteral("il file della porta %1 non contiene un numero da 0 a 255 (decimale o 0x esadecimale)")
            .arg(m_path);
    }
    QString m_path;
};

// Opening and claiming run on a helper thread because PPCLAIM blocks while another
// driver holds the port; the window waits for it only briefly.
struct ClaimState {
    std::mutex mutex;
    std::condition_variable done_cv;
    bool done = false;
    bool abandoned = false;
    int fd = -1;
    int err = 0;
};

class PpdevPort : public StatusPort {
public:
    explicit PpdevPort(QString device) : m_device(std::move(device)) {}

    ~PpdevPort() override
    {
        if (m_fd >= 0) {
            ::ioctl(m_fd, PPRELEASE);
            ::close(m_fd);
        }
        if (m_claim) {
            std::lock_guard lock(m_claim->mutex);
            if (m_claim->done && m_claim->fd >= 0)
                ::close(m_claim->fd);
            m_claim->abandoned = true;
        }
    }

    PortReading read() override
    {
        if (m_fd < 0) {
            if (!m_claim)
                startClaim();
            std::unique_lock lock(m_claim->mutex);
            if (!m_claim->done_cv.wait_for(lock, kClaimWait, [this] { return m_claim->done; }))
                return PortReading::failed(deviceErrorText(m_device, EBUSY));
            const int fd = m_claim->fd;
            const int err = m_claim->err;
            lock.unlock();
            m_claim.reset();
            if (fd < 0)
                return PortReading::failed(deviceErrorText(m_device, err));
            m_fd = fd;
        }
        unsigned char status = 0;
        if (::ioctl(m_fd, PPRSTATUS, &status) < 0) {
            const int err = errno;
            ::close(m_fd);   // unplugged or taken away: reopen on the next attempt
            m_fd = -1;
            return PortReading::failed(deviceErrorText(m_device, err));
        }
        return PortReading::ok(status);
    }

private:
    void startClaim()
    {
        m_claim = std::make_shared<ClaimState>();
        std::thread([state = m_claim, path = QFile::encodeName(m_device)] {
            int fd = ::open(path.constData(), O_RDWR | O_CLOEXEC);
            int err = fd < 0 ? errno : 0;
            if (fd >= 0 && ::ioctl(fd, PPCLAIM) < 0) {
                err = errno;
                ::close(fd);
                fd = -1;
            }
            std::lock_guard lock(state->mutex);
            if (state->abandoned) {
                if (fd >= 0)
                    ::close(fd);
                return;
            }
            state->fd = fd;
            state->err = err;
            state->done = true;
            state->done_cv.notify_all();
        }).detach();
    }

    QString m_device;
    int m_fd = -1;
    std::shared_ptr<ClaimState> m_claim;
};

// Direct access to the I/O address, for machines without ppdev; needs root.
class IoPort : public StatusPort {
public:
    PortReading read() override
    {
#ifdef VELMORA_HAS_PORT_IO
        if (!m_permitted) {
            if (::ioperm(kStatusAddress, 1, 1) != 0)
                return PortReading::failed(
                    QStringLiteral("accesso diretto alla porta 0x379 negato (%1): serve root; "
                                   "meglio usare /dev/parport0 con il modulo ppdev e il gruppo lp")
                        .arg(systemError(errno)));
            m_permitted = true;
        }
        return PortReading::ok(::inb(kStatusAddress));
#else
        return PortReading::failed(QStringLiteral("l'accesso diretto alla porta 0x379 non esiste su questo processore: "
                                                  "usare /dev/parport0 con il modulo ppdev"));
#endif
    }

private:
    bool m_permitted = false;
};

bool ioPermitted()
{
#ifdef VELMORA_HAS_PORT_IO
    return ::ioperm(kStatusAddress, 1, 1) == 0;
#else
    return false;
#endif
}

// "auto": looked up again on every attempt until found, so loading ppdev while
// Velmora runs is enough.
class AutoPort : public StatusPort {
public:
    PortReading read() override
    {
        if (!m_port) {
            if (const auto device = findParportAt378(QStringLiteral("/proc"))) {
                m_port = std::make_unique<PpdevPort>(*device);
            } else {
                QFile ioports(QStringLiteral("/proc/ioports"));
                if (ioports.open(QIODevice::ReadOnly) && ioportsShowParallelAt378(ioports.readAll()) && ioPermitted())
                    m_port = std::make_unique<IoPort>();
            }
        }
        if (!m_port)
            return PortReading::failed(QStringLiteral(
                "nessuna porta parallela trovata all'indirizzo 0x378: caricare i moduli parport_pc e ppdev "
                "(sudo modprobe parport_pc ppdev) oppure indicare la porta con --port"));
        return m_port->read();
    }

private:
    std::unique_ptr<StatusPort> m_port;
};

} // namespace

std::optional<QString> findParportAt378(const QString &procRoot)
{
    const QDir dir(procRoot + QStringLiteral("/sys/dev/parport"));
    static const QRegularExpression name(QStringLiteral("^parport(\\d+)$"));
    for (const QString &entry : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const auto match = name.match(entry);
        if (!match.hasMatch())
            continue;
        QFile file(dir.filePath(entry + QStringLiteral("/base-addr")));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        if (parseBaseAddr(file.read(256)) == kBaseAddress)
            return QStringLiteral("/dev/parport") + match.captured(1);
    }
    return std::nullopt;
}

std::optional<quint8> parsePortText(const QByteArray &text)
{
    const QByteArray t = text.trimmed();
    if (t.isEmpty())
        return std::nullopt;
    const bool hex = t.startsWith("0x") || t.startsWith("0X");
    const QByteArray digits = hex ? t.mid(2) : t;
    if (digits.isEmpty() || digits.size() > 8)
        return std::nullopt;
    for (char c : digits) {
        const bool ok = hex ? std::isxdigit(static_cast<unsigned char>(c)) : std::isdigit(static_cast<unsigned char>(c));
        if (!ok)
            return std::nullopt;
    }
    bool ok = false;
    const uint value = digits.toUInt(&ok, hex ? 16 : 10);
    if (!ok || value > 255)
        return std::nullopt;
    return quint8(value);
}

std::optional<int> parseBaseAddr(const QByteArray &text)
{
    const QByteArray first = text.trimmed().split('\t').value(0).split(' ').value(0);
    bool ok = false;
    const int value = first.toInt(&ok, 10);
    if (!ok || value < 0)
        return std::nullopt;
    return value;
}

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

std::unique_ptr<StatusPort> makeStatusPort(const QString &spec, QString *error)
{
    std::unique_ptr<StatusPort> port;
    if (spec == QLatin1String("auto"))
        port = std::make_unique<AutoPort>();
    else if (spec == QLatin1String("io"))
        port = std::make_unique<IoPort>();
    else if (spec.startsWith(QLatin1String("file:")) && spec.size() > 5)
        port = std::make_unique<FilePort>(spec.mid(5));
    else if (spec.startsWith(QLatin1String("/dev/")))
        port = std::make_unique<PpdevPort>(spec);
    if (!port) {
        if (error)
            *error = QStringLiteral("porta non valida: \"%1\" (valori ammessi: auto, io, /dev/parportN, file:PERCORSO)")
                         .arg(spec);
        return nullptr;
    }
    return std::make_unique<RetryingStatusPort>(std::move(port), std::chrono::seconds(2));
}

RetryingStatusPort::RetryingStatusPort(std::unique_ptr<StatusPort> inner, std::chrono::milliseconds interval,
                                       Clock clock)
    : m_inner(std::move(inner)), m_interval(interval), m_clock(std::move(clock))
{
}

PortReading RetryingStatusPort::read()
{
    const auto now = m_clock();
    if (m_failedAt && now - *m_failedAt < m_interval)
        return PortReading::failed(m_lastError);
    PortReading reading = m_inner->read();
    if (reading.status) {
        m_failedAt.reset();
    } else {
        m_failedAt = now;
        m_lastError = reading.error;
    }
    return reading;
}
