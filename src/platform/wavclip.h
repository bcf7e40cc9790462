#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <memory>
#include <vector>

// Every clip is resampled once, when it is loaded, to the device's rate, so the audio
// callback only copies and scales samples. Clips are kept as 16-bit samples with their
// own channel count (mono stays mono): a quarter of the memory of the device's float
// stereo, so more and longer sounds stay ready to start at once.
inline constexpr int kOutputRate = 48000;
inline constexpr int kOutputChannels = 2;   // the device's

struct Clip {
    std::vector<qint16> samples;   // interleaved, `channels` per frame, at kOutputRate
    int channels = 1;              // 1 or 2
    std::size_t frames() const { return samples.size() / std::size_t(channels); }
    std::size_t bytes() const { return samples.size() * sizeof(qint16); }
};

struct ClipLimits {
    qint64 maxFileBytes = qint64(256) << 20;        // larger files are not read at all
    std::size_t maxFrames = std::size_t(5) * 60 * kOutputRate;   // 5 minutes, at most 55 MiB in stereo
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
