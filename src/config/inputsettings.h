#pragma once

#include "inputs/playrules.h"
#include "sounds/filechoice.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <array>

// Beside CONFIG.TXT, which stays the four lines it always was, INGRESSI.TXT keeps how each
// input plays; a box without one plays as Velmora always has. docs/modes.md describes it.
inline constexpr auto kInputSettingsFile = "INGRESSI.TXT";

struct InputSettings {
    InputMode mode;
    int volume = 100;          // %, in the mix
    int fadeMs = 0;            // when stopped: 0 cuts at once
    QList<QByteArray> files;   // several files or a folder ("jingles/"); empty: CONFIG.TXT's
    FileOrder order = FileOrder::Turn;
    bool operator==(const InputSettings &) const = default;
};

struct BoxSettings {
    std::array<InputSettings, 4> inputs {};
    bool quiz = false;
    int quizResetSeconds = 0;   // 0: reset by hand only
    bool operator==(const BoxSettings &) const = default;
};

// What a file says, and what in it could not be taken: each problem names its line and
// what was kept instead (that input's default); the rest is read.
struct ReadInputSettings {
    BoxSettings settings;
    QStringList problems;
};

[[nodiscard]] ReadInputSettings parseInputSettings(QByteArrayView text);
[[nodiscard]] QByteArray serializeInputSettings(const BoxSettings &settings);
