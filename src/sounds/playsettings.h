#pragma once

#include "inputs/playrules.h"
#include "sounds/filechoice.h"

#include <QByteArray>
#include <QList>

#include <array>

// How each input plays, beyond the file CONFIG.TXT gives it (config/inputsettings.h reads
// and writes them); the defaults are how Velmora always played.
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
