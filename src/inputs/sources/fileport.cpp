#include "fileport.h"

#include "platform/regularfile.h"
#include "platform/texts.h"
#include "statusbyte.h"

#include <QFile>

#include <cctype>
#include <cerrno>
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
class FilePort : public StatusByteSource {
public:
    explicit FilePort(QString path) : m_path(std::move(path)), m_encodedPath(QFile::encodeName(m_path)) {}
    [[nodiscard]] QString name() const override { return Texts::tr("File della porta"); }

    InputReading read() override
    {
        // Read every 10 ms: a file unchanged since it was last read is not read again. A
        // file's time moves in steps of a few milliseconds, so one changed within the last
        // 50 ms of a read could change again without its time moving: it is read anew.
        const QByteArray &path = m_encodedPath;
        struct stat now {};
        const int statError = ::stat(path.constData(), &now) == 0 ? 0 : errno;
        const bool known = statError == 0 && sameFile(now, m_lastStat);
        if (m_last && known && m_settled)
            return seenNow(*m_last);
        struct timespec readAt {};
        ::clock_gettime(CLOCK_REALTIME, &readAt);
        m_last.reset();
        if (statError == ENOENT)
            return failure(missing());
        const Result<QByteArray> text = readRegularFile(path, 256);
        if (!text)
            return failure(Texts::tr("%1: %2").arg(m_path, text.error()));
        // `echo 0x68 > FILE` empties the file before it writes: read in between, it is
        // empty. That is no new value, not a failure; the next read finds the byte.
        if (text->trimmed().isEmpty())
            return notYet();
        const auto value = parsePortText(*text);
        if (!value)
            return failure(malformed());
        m_last = inputsFromStatus(*value);
        m_lastStat = now;
        m_settled = nanoseconds(readAt) - nanoseconds(now.st_mtim) > 50'000'000;
        return seenNow(*m_last);
    }

private:
    static qint64 nanoseconds(const timespec &t) { return qint64(t.tv_sec) * 1'000'000'000 + t.tv_nsec; }
    static bool sameFile(const struct stat &a, const struct stat &b)
    {
        return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
               nanoseconds(a.st_mtim) == nanoseconds(b.st_mtim) && S_ISREG(a.st_mode);
    }
    QString missing() const
    {
        return Texts::tr("%1 non c'è: crearlo con il byte di stato, per esempio echo 0x78 > %1").arg(m_path);
    }
    QString malformed() const
    {
        return Texts::tr(
                   "il file della porta %1 non contiene un numero da 0 a 255 (decimale o 0x esadecimale)")
            .arg(m_path);
    }
    QString m_path;
    QByteArray m_encodedPath;
    std::optional<Inputs> m_last;   // as last read, while the file is known unchanged
    struct stat m_lastStat {};
    bool m_settled = false;
};

// A path that is there but is a folder, a device or a FIFO, said without opening it.
QString notAFile(const QString &path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || S_ISREG(st.st_mode))
        return {};
    return path + QLatin1Char(' ') + regularFileProblem(st.st_mode, 0, -1) +
           Texts::tr(": indicare un file di testo con il byte di stato (per esempio echo 0x78 > /tmp/porta)");
}

}   // namespace

Result<std::unique_ptr<InputSource>> makeFilePort(const QString &path)
{
    if (const QString why = notAFile(path); !why.isEmpty())
        return failure(why);
    return std::unique_ptr<InputSource>(std::make_unique<FilePort>(path));
}
