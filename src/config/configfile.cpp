#include "configfile.h"

#include "platform/regularfile.h"
#include "platform/systemreason.h"
#include "platform/texts.h"

#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSaveFile>

#include <algorithm>
#include <cerrno>

Q_LOGGING_CATEGORY(lcConfig, "velmora.config", QtInfoMsg)

namespace {

constexpr qsizetype kKeyLength = 19;

QByteArray keyOf(int input) { return "SUONO INGRESSO " + QByteArray::number(input) + " = "; }

}   // namespace

void ConfigParser::feed(QByteArrayView bytes)
{
    const char *p = bytes.data();
    const char *end = p + bytes.size();
    while (p < end) {
        // A line ends in CR LF, LF or CR.
        if (*p == '\n' && m_afterCR) {
            m_afterCR = false;
            ++p;
            continue;
        }
        m_afterCR = false;
        const char *stop = std::find_if(p, end, [](char c) { return c == '\r' || c == '\n'; });
        const qsizetype room = kMaxLineLength - m_line.size();
        if (stop - p > room)
            m_tooLong = true;
        if (!m_tooLong)
            m_line.append(p, stop - p);
        p = stop;
        if (p < end) {
            m_afterCR = *p == '\r';
            ++p;
            endLine();
        }
    }
}

void ConfigParser::endLine()
{
    if (!m_tooLong && m_line.size() > kKeyLength) {
        const QByteArray value = m_line.mid(kKeyLength);
        for (int n = 1; n <= 4; ++n)
            if (m_line.contains(keyOf(n)))
                m_values[std::size_t(n - 1)] = value;
    }
    m_line.clear();
    m_tooLong = false;
}

SoundSlots ConfigParser::finish()
{
    endLine();   // a last line without an ending counts like the others
    return std::exchange(m_values, {});
}

std::optional<QString> unsavableName(QByteArrayView value)
{
    if (value.contains('\r') || value.contains('\n'))
        return Texts::tr("contiene un a capo");
    for (int n = 1; n <= 4; ++n)
        if (value.contains(keyOf(n)))
            return Texts::tr("contiene il testo \"%1\"").arg(QString::fromLatin1(keyOf(n)));
    if (value.size() > ConfigParser::kMaxLineLength - kKeyLength)
        return Texts::tr("è più lungo di %1 caratteri").arg(ConfigParser::kMaxLineLength - kKeyLength);
    return std::nullopt;
}

SoundSlots parseConfig(QByteArrayView bytes)
{
    ConfigParser parser;
    parser.feed(bytes);
    return parser.finish();
}

QByteArray serializeConfig(const SoundSlots &values)
{
    QByteArray out;
    for (int n = 1; n <= 4; ++n)
        out += keyOf(n) + values[std::size_t(n - 1)] + "\r\n";
    return out;
}

Result<SoundSlots> loadConfig(const QString &path)
{
    ConfigParser parser;
    const Done read = readRegularFileInChunks(QFile::encodeName(path), kMaxConfigBytes,
                                              [&parser](QByteArrayView chunk) { parser.feed(chunk); });
    if (read)
        return parser.finish();
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
        return SoundSlots {};
    qCWarning(lcConfig).noquote() << Texts::tr("Configurazione non letta da %1 - %2").arg(path, read.error());
    return failure(read.error());
}

Done saveConfig(const QString &path, const SoundSlots &values)
{
    for (int n = 1; n <= 4; ++n)
        if (const auto why = unsavableName(values[std::size_t(n - 1)]))
            return failure(Texts::tr("il nome del suono dell'ingresso %1 %2; correggerlo e salvare di nuovo")
                               .arg(n)
                               .arg(*why));
    // The reason in Velmora's words: the toolkit's own is English ("Filename refers to a
    // directory") and the errno of the call that failed says the same in any language.
    auto why = [&](int error) { return failure(error ? systemReason(error) : QString()); };
    if (QFileInfo(path).isDir())
        return why(EISDIR);
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    const QByteArray bytes = serializeConfig(values);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return errno ? why(errno) : failure(file.errorString());
    // A disk that fills up partway takes part of a write without a word: what is left is
    // written again until the system says why it cannot, or the old file would be
    // replaced by the part that fitted.
    for (qsizetype done = 0; done < bytes.size();) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0)
            return errno ? why(errno) : failure(file.errorString());   // the old file stays as it was
        done += qsizetype(written);
    }
    errno = 0;
    if (!file.commit())
        return errno ? why(errno) : failure(file.errorString());
    return kDone;
}
