#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <memory>
#include <vector>

// Every clip is converted once, when it is loaded, to the device's own format, so the
// audio callback only copies samples.
inline constexpr int kOutputRate = 48000;
inline constexpr int kOutputChannels = 2;

struct Clip {
    std::vector<float> samples;   // interleaved stereo at kOutputRate
    std::size_t frames() const { return samples.size() / kOutputChannels; }
    std::size_t bytes() const { return samples.size() * sizeof(float); }
};

struct ClipLimits {
    qint64 maxFileBytes = qint64(256) << 20;        // larger files are not read at all
    std::size_t maxFrames = std::size_t(5) * 60 * kOutputRate;   // 5 minutes, about 110 MiB as float stereo
};

struct DecodeResult {
    std::shared_ptr<const Clip> clip;   // null on failure
    QString error;                      // why it cannot be played
};

// Decodes a WAV image held in memory (every encoding SDL_LoadWAV knows) and converts it.
[[nodiscard]] DecodeResult decodeWav(const void *data, std::size_t size, const ClipLimits &limits);

// Reads a file without ever blocking on it (FIFOs and devices are refused) and decodes it.
[[nodiscard]] DecodeResult readWavFile(const QByteArray &path, const ClipLimits &limits);

// Velmora's own default sound: a short two-note chime (C6 then G6), made at start-up,
// played whenever a file cannot be.
[[nodiscard]] std::shared_ptr<const Clip> makeChime();
inline constexpr double kChimeFirstHz = 1046.5;
inline constexpr double kChimeSecondHz = 1568.0;
