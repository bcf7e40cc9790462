#include "fileport.h"

#include "platform/regularfile.h"
#include "statusbyte.h"

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
class FilePort : public StatusByteSource {
public:
    explicit FilePort(QString path) : m_path(std::move(path)) {}

    InputReading read() override
    {
        const Result<QByteArray> text = readRegularFile(QFile::encodeName(m_path), 256);
        if (!text)
            return failure(
                QStringLiteral("impossibile leggere il file della porta %1: %2").arg(m_path, text.error()));
        const auto value = parsePortText(*text);
        if (!value)
            return failure(malformed());
        return seenNow(inputsFromStatus(*value));
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
    return path + QLatin1Char(' ') + regularFileProblem(st.st_mode, 0, -1) +
           QStringLiteral(
               ": indicare un file di testo con il byte di stato (per esempio echo 0x78 > /tmp/porta)");
}

}   // namespace

Result<std::unique_ptr<InputSource>> makeFilePort(const QString &path)
{
    if (const QString why = notAFile(path); !why.isEmpty())
        return failure(why);
    return std::unique_ptr<InputSource>(std::make_unique<FilePort>(path));
}
