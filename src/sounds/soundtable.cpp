#include "soundtable.h"

#include "platform/audio/soundlog.h"

#include <QFile>

QByteArray soundPath(const QByteArray &programFolder, const QByteArray &value)
{
    QByteArray path = programFolder;
    if (!path.endsWith('/'))
        path += '/';
    return path + QByteArray(value).replace('\\', '/');
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

void SoundTable::SuonaBrano(int input)
{
    if (input < 1 || input > 4)
        return;
    const QByteArray path = soundPath(m_programFolder, value(input));
    qCDebug(lcSound).noquote() << "ingresso" << input << path;
    m_player.play(path);
}
