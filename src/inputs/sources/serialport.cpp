#include "serialport.h"

#include "platform/systemreason.h"
#include "platform/texts.h"

#include <QFile>
#include <QStringList>

#include <cerrno>

namespace {

constexpr std::size_t kRi = 3;

QString openFailure(const QString &device, int error)
{
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return Texts::tr("la porta seriale %1 non c'è: collegare l'adattatore (velmora --list-inputs "
                         "elenca le porte presenti); Velmora la riprende da sola")
            .arg(device);
    case EACCES:
    case EPERM:
        return Texts::tr("accesso negato a %1: %2").arg(device, serialAccessHelp());
    case EBUSY:
        return Texts::tr("la porta %1 è occupata da un altro programma: chiuderlo; Velmora riprova da sola")
            .arg(device);
    case ENOTTY:
        if (const SystemPort use = systemPortUse(QFile::encodeName(device)); use != SystemPort::None)
            return (use == SystemPort::Console
                        ? Texts::tr("%1 è la console del sistema (i messaggi del kernel, spesso l'accesso "
                                    "da terminale): Velmora non la usa per non toglierla al sistema. "
                                    "Indicare un'altra porta (velmora --list-inputs)")
                        : Texts::tr("%1 è usata dal sistema (per esempio dal Bluetooth): Velmora non la "
                                    "usa per non toglierla al sistema. Indicare un'altra porta "
                                    "(velmora --list-inputs)"))
                .arg(device);
        return Texts::tr("%1 non è una porta seriale: indicare un /dev/ttyUSBn, /dev/ttyACMn, /dev/ttySn "
                         "o un collegamento in /dev/serial/by-id (velmora --list-inputs)")
            .arg(device);
    default:
        return Texts::tr("impossibile aprire %1: %2").arg(device, systemReason(error));
    }
}

QString lostText(const QString &device, int error)
{
    if (error == EIO || error == ENODEV || error == ENXIO)
        return Texts::tr("la porta seriale %1 è stata scollegata: ricollegarla, Velmora la riprende da sola")
            .arg(device);
    return Texts::tr("errore leggendo %1: %2").arg(device, systemReason(error));
}

}   // namespace

QString serialAccessHelp()
{
    return Texts::tr("aggiungere l'utente al gruppo dialout (sudo usermod -aG dialout $USER), poi uscire e "
                     "rientrare nella sessione");
}

Inputs inputsFromLines(const ModemLines &lines) { return lines.on; }

QLatin1String modemLineName(std::size_t index)
{
    static const char *const names[] = {"CTS", "DSR", "DCD", "RI"};
    return QLatin1String(names[index]);
}

ModemLines reportedOnly(ModemLines lines, const LineSupport &support)
{
    for (std::size_t i = 0; i < lines.on.size(); ++i)
        if (!support.reported[i]) {
            lines.on[i] = false;
            lines.changes[i] = 0;
        }
    return lines;
}

QString missingInputs(const LineSupport &support)
{
    QStringList missing;
    for (std::size_t i = 0; i < support.reported.size(); ++i)
        if (!support.reported[i])
            missing << Texts::tr("ingresso %1 non disponibile su questo adattatore (non ha la linea %2)")
                           .arg(i + 1)
                           .arg(modemLineName(i));
    if (missing.isEmpty())
        return {};
    return missing.join(QStringLiteral("; ")) +
           Texts::tr(": collegare i contatti agli altri ingressi, oppure usare un adattatore "
                     "con tutte e quattro le linee (FTDI, PL2303, CH340)");
}

QList<InputSample> linesChanged(const ModemLines &before, const ModemLines &now, qint64 wokeNs,
                                qint64 answeredNs)
{
    const Inputs was = inputsFromLines(before);
    const Inputs is = inputsFromLines(now);
    Inputs between = is;
    bool more = false;   // counted changes beyond the one that shows
    for (std::size_t i = 0; i < between.size(); ++i) {
        const int moved = now.changes[i] - before.changes[i];
        if (was[i] == is[i] && moved >= (i == kRi ? 1 : 2))
            between[i] = !is[i];
        more = more || moved > (was[i] != is[i] ? 1 : 0);
    }
    QList<InputSample> samples;
    if (between != is)
        samples.append({between, wokeNs});
    if (between != is || is != was)
        samples.append({is, more ? answeredNs : wokeNs});
    return samples;
}

SerialPort::SerialPort(QString device, SerialDeviceOpener open)
    : m_device(std::move(device)), m_open(std::move(open))
{}

SerialPort::~SerialPort() { close(); }

int SerialPort::open()
{
    Result<std::unique_ptr<SerialDevice>, int> opened = m_open(QFile::encodeName(m_device));
    if (!opened)
        return opened.error();
    const Result<ModemLines, int> lines = (*opened)->lines();
    if (!lines)
        return lines.error();
    m_port = std::move(*opened);
    m_support = m_port->support();
    m_remark = missingInputs(m_support);
    m_last = reportedOnly(*lines, m_support);
    m_seen = {{inputsFromLines(m_last), steadyNowNs()}};   // a contact closed while plugged in is held
    m_watcher = std::thread([this] { watch(); });
    return 0;
}

void SerialPort::close()
{
    if (!m_port)
        return;
    m_port->stopWaiting();
    m_watcher.join();
    m_port.reset();
}

// On the watching thread, which alone asks for the lines.
SerialPort::Look SerialPort::look(qint64 wokeNs)
{
    Result<ModemLines, int> now = m_port->lines();
    if (!now) {
        fail(now.error());
        return Look::Failed;
    }
    *now = reportedOnly(*now, m_support);
    m_answeredNs = steadyNowNs();
    const QList<InputSample> changes = linesChanged(m_last, *now, wokeNs, m_answeredNs);
    // The lines and the counts come from two requests, and on a USB adapter the lines are
    // the chip's now while the counts follow its packets: either may be a change ahead.
    // Looked at again shortly after anything moved, so the last look before waiting for
    // the next change is a steady one, and an input is never left as a stale answer had it.
    const bool again = *now != m_last;
    if (lcTiming().isDebugEnabled()) {   // what each look saw and when, to follow a bounce
        constexpr qint64 kSlowNs = 25'000'000;
        if (m_answeredNs - wokeNs > kSlowNs)   // what it shows cannot be dated better than that
            qCDebug(lcTiming, "slow look %lld %lld", static_cast<long long>(wokeNs),
                    static_cast<long long>(m_answeredNs));
        for (const InputSample &sample : changes) {
            QByteArray inputs;
            for (const bool on : sample.raw)
                inputs += on ? '1' : '0';
            qCDebug(lcTiming, "lines %s %lld", inputs.constData(), static_cast<long long>(sample.atNs));
        }
    }
    m_last = *now;
    std::lock_guard lock(m_mutex);
    m_seen.append(changes);
    if (!changes.isEmpty())
        m_wake.raise();
    return again ? Look::Again : Look::Done;
}

void SerialPort::fail(int error)
{
    std::lock_guard lock(m_mutex);
    m_lost = error;
    m_wake.raise();   // the window learns why at once
}

void SerialPort::watch()
{
    for (Look last = Look::Done;;) {
        // A port whose wait misses a change (RI going on, on a PC's UART) is looked at every 10 ms.
        const int r = m_port->waitForChange(last == Look::Again || !m_support.wakesOnEveryEdge);
        // Looked at again after a change: what it shows may have come before the last answer.
        const qint64 wokeNs = last == Look::Again ? m_answeredNs : steadyNowNs();
        if (r == -EINTR)
            return;   // stopping
        if (r < 0) {
            fail(-r);
            return;
        }
        last = look(wokeNs);
        if (last == Look::Failed)
            return;
    }
}

InputReading SerialPort::read()
{
    m_wake.clear();
    if (!m_port) {
        if (const int error = open(); error != 0)
            return failure(openFailure(m_device, error));
    }
    // Once open, the lines are asked for by the watching thread only: on a USB adapter each
    // ask is a request to the device, which the window's ticks must not wait for.
    m_port->discardInput();
    std::unique_lock lock(m_mutex);
    if (const int error = std::exchange(m_lost, 0); error != 0) {
        m_seen.clear();
        lock.unlock();
        close();   // opened again at a later read, when it is back
        return failure(lostText(m_device, error));
    }
    return std::exchange(m_seen, {});
}

QString SerialPort::remark() const { return m_port ? m_remark : QString(); }

QString SerialPort::startUpProblem()
{
    const int error = open();
    return error == ENOTTY ? openFailure(m_device, error) : QString();
}

Result<std::unique_ptr<InputSource>> makeSerialPort(const QString &device, SerialDeviceOpener open)
{
    if (device.isEmpty())
        return failure(Texts::tr("manca la porta (per esempio serial:/dev/ttyUSB0)"));
    auto port = std::make_unique<SerialPort>(device, std::move(open));
    if (const QString why = port->startUpProblem(); !why.isEmpty())
        return failure(why);
    return std::unique_ptr<InputSource>(std::move(port));
}
