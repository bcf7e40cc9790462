#include "soundtable.h"

#include "platform/audio/soundlog.h"
#include "platform/texts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>

#include <cstdlib>
#include <sys/stat.h>

QByteArray soundPath(const QByteArray &programFolder, const QByteArray &value)
{
    QByteArray path = programFolder;
    if (!path.endsWith('/'))
        path += '/';
    return path + QByteArray(value).replace('\\', '/');
}

Result<QByteArray> slotValueFor(const QByteArray &programFolder, const QByteArray &chosen)
{
    const QString folder = QFile::decodeName(programFolder);
    auto resolved = [](const QByteArray &path) {
        char *real = ::realpath(path.constData(), nullptr);
        QByteArray out = real ? QByteArray(real) : QByteArray();
        std::free(real);
        return out;
    };
    if (!chosen.startsWith('/')) {   // typed: a name in the program folder
        struct stat st {};
        if (::stat(soundPath(programFolder, chosen).constData(), &st) != 0 || !S_ISREG(st.st_mode))
            return failure(Texts::tr("%1 non c'è nella cartella di Velmora (%2): sceglierlo nell'elenco, "
                                     "o copiarlo prima in quella cartella")
                               .arg(QFile::decodeName(chosen), folder));
        return chosen;
    }
    const QByteArray home = resolved(programFolder), file = resolved(chosen);
    if (!home.isEmpty() && file.startsWith(home + '/'))
        return file.mid(home.size() + 1);
    return failure(Texts::tr("%1 è fuori dalla cartella di Velmora (%2), e Velmora suona solo i file che "
                             "sono lì: copiarlo in quella cartella e sceglierlo di nuovo")
                       .arg(QFile::decodeName(chosen), folder));
}

Result<QByteArray> soundInFolder(const QByteArray &programFolder, const QByteArray &name)
{
    const auto plain = [](const QByteArray &part) {
        return !part.isEmpty() && !part.startsWith('.') &&
               std::none_of(part.begin(), part.end(), [](char c) { return uchar(c) < 0x20 || c == 0x7f; });
    };
    const QList<QByteArray> parts = name.split('/');
    if (name.size() > 1024 || !std::all_of(parts.begin(), parts.end(), plain))
        return failure(Texts::tr("il nome \"%1\" non è quello di un file della cartella dei suoni "
                                 "(niente percorsi assoluti, '..', nomi nascosti o caratteri di controllo)")
                           .arg(QString::fromUtf8(name)));
    const QString folder = QFileInfo(QFile::decodeName(programFolder)).canonicalFilePath();
    const QFileInfo file(QDir(folder).filePath(QFile::decodeName(name)));
    if (!file.isFile() || !file.canonicalFilePath().startsWith(folder + QLatin1Char('/')))
        return failure(
            Texts::tr("%1 non c'è nella cartella dei suoni %2").arg(QString::fromUtf8(name), folder));
    return QFile::encodeName(file.filePath());
}

SoundTable::SoundTable(SoundPlayer &player, const QString &programFolder)
    : m_player(player), m_programFolder(QFile::encodeName(programFolder))
{}

void SoundTable::set(int input, const QByteArray &value)
{
    if (input < 1 || input > 4)
        return;
    m_values[std::size_t(input - 1)] = value;
    if (!value.isEmpty())
        m_player.preload(soundPath(m_programFolder, value));
}

void SoundTable::setAll(const SoundSlots &values)
{
    for (int n = 1; n <= 4; ++n)
        set(n, values[std::size_t(n - 1)]);
}

void SoundTable::setSettings(const std::array<InputSettings, 4> &settings)
{
    m_settings = settings;
    for (std::size_t i = 0; i < m_files.size(); ++i) {
        m_files[i].clear();
        m_last[i] = -1;
        for (const QByteArray &entry : settings[i].files) {
            if (!entry.endsWith('/')) {
                m_files[i] << soundPath(m_programFolder, entry);
                continue;
            }
            const QDir folder(QFile::decodeName(soundPath(m_programFolder, entry)));
            for (const QString &name : folder.entryList({QStringLiteral("*.wav"), QStringLiteral("*.WAV")},
                                                        QDir::Files, QDir::Name))
                m_files[i] << QFile::encodeName(folder.filePath(name));
        }
        for (const QByteArray &path : m_files[i])
            m_player.preload(path);
    }
}

void SoundTable::start(int input, bool loop)
{
    if (input < 1 || input > 4)
        return;
    const std::size_t i = std::size_t(input - 1);
    const InputSettings &how = m_settings[i];
    QByteArray path = soundPath(m_programFolder, value(input));
    if (!m_files[i].isEmpty()) {
        m_last[i] =
            nextFile(int(m_files[i].size()), how.order, m_last[i], QRandomGenerator::global()->generate());
        path = m_files[i][m_last[i]];
    }
    qCDebug(lcSound).noquote() << "ingresso" << input << path;
    m_player.start({path, input, how.volume, loop, how.mode.with == InputMode::With::Replace});
}

void SoundTable::stopInput(int input)
{
    if (input >= 1 && input <= 4)
        m_player.stop(input, m_settings[std::size_t(input - 1)].fadeMs);
}
