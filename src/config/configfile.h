#pragma once

#include "platform/result.h"
#include "sounds/soundtable.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// CONFIG.TXT: one line per slot, "SUONO INGRESSO n = " followed by the file name.
// Values are bytes in the system's 8-bit encoding and are kept byte for byte.

// Reads CONFIG.TXT piece by piece, so that a huge or binary file never sits in memory
// whole. A line is read when it is longer than the key; every key found anywhere in it
// sets its slot to everything after the first 19 characters; the last such line wins.
class ConfigParser {
public:
    void feed(QByteArrayView bytes);
    [[nodiscard]] SoundSlots finish();

    // Lines longer than this are skipped like a line without a key.
    static constexpr qsizetype kMaxLineLength = 32767;

private:
    void endLine();
    QByteArray m_line;
    bool m_tooLong = false;
    bool m_afterCR = false;
    SoundSlots m_values;
};

// Why a name could not be saved so that it loads back the same - a line break, the
// text of a key (which would set that slot too), a line too long to be read - or
// nothing when it can.
[[nodiscard]] std::optional<QString> unsavableName(QByteArrayView value);

[[nodiscard]] SoundSlots parseConfig(QByteArrayView bytes);
[[nodiscard]] QByteArray serializeConfig(const SoundSlots &values);

// The four slots as CONFIG.TXT gives them. A file that is missing is not an error: the
// slots are just empty. A file that is there but cannot be read (a folder, no permission,
// a read error, too large) is, in Italian, so the user learns of it before a save
// replaces it.
[[nodiscard]] Result<SoundSlots> loadConfig(const QString &path);

// Writes the file atomically: it is either the old one or the whole new one.
[[nodiscard]] Done saveConfig(const QString &path, const SoundSlots &values);

// CONFIG.TXT larger than this is not read (it cannot be one Velmora wrote).
inline constexpr qint64 kMaxConfigBytes = qint64(64) << 20;
