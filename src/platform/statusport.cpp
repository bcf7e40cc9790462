#include "statusport.h"

#include "parallelport.h"
#include "regularfile.h"

#include <QFile>

#include <cctype>
#include <sys/stat.h>

namespace {

// The status byte as written in a text file: decimal or 0x hex, blanks around it ignored.
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
        const bool ok =
            hex ? std::isxdigit(static_cast<unsigned char>(c)) : std::isdigit(static_cast<unsigned char>(c));
        if (!ok)
            return std::nullopt;
    }
    bool ok = false;
    const uint value = digits.toUInt(&ok, hex ? 16 : 10);
    if (!ok || value > 255)
        return std::nullopt;
    return quint8(value);
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
            return PortReading::failed(
                QStringLiteral("impossibile leggere il file della porta %1: %2").arg(m_path, file.error));
        const auto value = parsePortText(*file.bytes);
        return value ? PortReading::ok(*value) : PortReading::failed(malformed());
    }

private:
    QString malformed() const
    {
        return QStringLiteral(
                   "il file della porta %1 non contiene un numero da 0 a 255 (decimale o 0x esadecimale)")
            .arg(m_path);
    }
    QString m_path;
};

// A path that is there but is a folder, a device or a FIFO, said without opening it.
QString notAFile(const QString &path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || S_ISREG(st.st_mode))
        return {};
    return path + QLatin1Char(' ') + regularFileProblem(st.st_mode, 0, -1);
}

}   // namespace

std::unique_ptr<StatusPort> makeStatusPort(const QString &spec, QString *error, PortSystem &system)
{
    std::unique_ptr<StatusPort> port;
    if (spec == QLatin1String("auto"))
        port = makeAutoPort(system);
    else if (spec == QLatin1String("io"))
        port = makeIoPort(system);
    else if (spec.startsWith(QLatin1String("file:")) && spec.size() > 5)
        port = std::make_unique<FilePort>(spec.mid(5));
    else if (spec.startsWith(QLatin1String("/dev/")))
        port = makePpdevPort(system, spec);
    // A path that names the wrong kind of thing will not mend while Velmora runs, and is
    // never opened; one that is not there yet is waited for.
    const QString why = !port                                     ? QString()
                        : spec.startsWith(QLatin1String("/dev/")) ? ppdevStartUpProblem(system, spec)
                        : spec.startsWith(QLatin1String("file:")) ? notAFile(spec.mid(5))
                                                                  : QString();
    if (!why.isEmpty()) {
        if (error)
            *error = QStringLiteral("porta non valida: \"%1\": %2").arg(spec, why);
        return nullptr;
    }
    if (!port) {
        if (error)
            *error = QStringLiteral("porta non valida: \"%1\" (valori ammessi: auto, io, /dev/parportN, "
                                    "evdev:DISPOSITIVO, file:PERCORSO)")
                         .arg(spec);
        return nullptr;
    }
    return std::make_unique<RetryingStatusPort>(std::move(port), std::chrono::seconds(2));
}

RetryingStatusPort::RetryingStatusPort(std::unique_ptr<StatusPort> inner, std::chrono::milliseconds interval,
                                       Clock clock)
    : m_inner(std::move(inner)), m_interval(interval), m_clock(std::move(clock))
{}

PortReading RetryingStatusPort::read()
{
    const auto now = m_clock();
    if (m_failedAt && now - *m_failedAt < m_interval)
        return PortReading::failed(m_lastError);
    PortReading reading = m_inner->read();
    if (reading.isFailure()) {
        m_failedAt = now;
        m_lastError = reading.error;
    } else {
        m_failedAt.reset();   // read, or still being claimed: asked again at the next tick
    }
    return reading;
}
