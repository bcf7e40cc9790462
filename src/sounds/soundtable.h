#pragma once

#include "platform/result.h"

#include "platform/audio/soundplayer.h"
#include "sounds/playsettings.h"

#include <QByteArray>
#include <QString>

#include <array>

// The four sound slots, slot n at index n - 1. Values are kept as the bytes they were
// read or typed as, so a name in another system's encoding still finds its file.
using SoundSlots = std::array<QByteArray, 4>;

// Where the sound of a slot value lives: below the program folder. A backslash counts as
// a folder separator, so names written on Windows ("effetti\gong.wav") still work.
[[nodiscard]] QByteArray soundPath(const QByteArray &programFolder, const QByteArray &value);

// The slot value for what the user chose: a file picked anywhere on disk (its absolute
// path) or a name typed (from the program folder). Only files below the program folder can
// play, so a path there becomes its path from the folder; one elsewhere, or a name with no
// file behind it, is refused with the reason and what to do.
[[nodiscard]] Result<QByteArray> slotValueFor(const QByteArray &programFolder, const QByteArray &chosen);

// A sound asked for by name from outside (a message): a file below the program folder,
// named from there with '/' between folders; never an absolute path, a '..', a hidden or
// control character, nor anything whose real place (links followed) is elsewhere.
[[nodiscard]] Result<QByteArray> soundInFolder(const QByteArray &programFolder, const QByteArray &name);

class SoundTable {
public:
    SoundTable(SoundPlayer &player, const QString &programFolder);

    [[nodiscard]] const SoundSlots &values() const { return m_values; }
    [[nodiscard]] const QByteArray &programFolder() const { return m_programFolder; }
    [[nodiscard]] const QByteArray &value(int input) const { return m_values.at(std::size_t(input - 1)); }

    // Each new value is handed to the player at once, so its first play is instant.
    void set(int input, const QByteArray &value);
    void setAll(const SoundSlots &values);

    // How each input plays; its several files (a folder's WAVs) listed now, not at a press.
    void setSettings(const std::array<InputSettings, 4> &settings);
    [[nodiscard]] const InputSettings &settings(int input) const
    {
        return m_settings.at(std::size_t(input - 1));
    }

    // Asks the player for the slot's sound and returns at once; never fails.
    void SuonaBrano(int input) { start(input, false); }
    // The input's sound as its settings say: the next of its files, at its volume, replacing
    // or mixed; looped until stopped when asked.
    void start(int input, bool loop);
    // Stops the input's sound, with its fade.
    void stopInput(int input);
    // Plays a file that is no input's sound (soundInFolder's path).
    void play(const QByteArray &path) { m_player.play(path); }
    void stop() { m_player.stop(-1, 0); }
    [[nodiscard]] bool sounding() const { return m_player.sounding(); }

private:
    SoundPlayer &m_player;
    QByteArray m_programFolder;
    SoundSlots m_values;
    std::array<InputSettings, 4> m_settings {};
    std::array<QList<QByteArray>, 4> m_files;   // paths: empty plays the slot's value
    std::array<int, 4> m_last {-1, -1, -1, -1};
};
