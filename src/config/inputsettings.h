#pragma once

#include "platform/result.h"
#include "sounds/playsettings.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <array>

// Beside CONFIG.TXT, which stays the four lines it always was, INGRESSI.TXT keeps how each
// input plays; a box without one plays as Velmora always has. docs/modes.md describes it.
inline constexpr auto kInputSettingsFile = "INGRESSI.TXT";

// What a file says, and what in it could not be taken: each problem names its line and
// what was kept instead (that input's default); the rest is read.
struct ReadInputSettings {
    BoxSettings settings;
    QStringList problems;
};

[[nodiscard]] ReadInputSettings parseInputSettings(QByteArrayView text);
[[nodiscard]] QByteArray serializeInputSettings(const BoxSettings &settings);
// The file at `path`: none is the defaults, said nowhere; one that cannot be read is a problem.
[[nodiscard]] ReadInputSettings loadInputSettings(const QString &path);
// The settings as read, for --check: a line per input, the quiz's, and each problem.
[[nodiscard]] QString describeInputSettings(const ReadInputSettings &read);
// Written whole or not at all.
[[nodiscard]] Done saveInputSettings(const QString &path, const BoxSettings &settings);
