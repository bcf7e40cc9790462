#pragma once

#include "platform/result.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <cstddef>
#include <memory>
#include <vector>

// Every clip is resampled once, when it is loaded, to the device's rate, so the audio
// callback only copies and scales samples. Clips are kept as 16-bit samples with their
// own channel count (mono stays mono): a quarter of the memory of the device's float
// stereo, so more and longer sounds stay ready to start at once.
inline constexpr int kOutputRate = 48000;
inline constexpr int kOutputChannels = 2;   // the device's

// A clip's samples: either a vector of our own, or the very buffer the decoder filled
// and converted in place, adopted without a copy (a large file is never held twice).
class Samples {
public:
    Samples() = default;
    explicit Samples(std::vector<qint16> owned)
        : m_owned(std::move(owned)), m_data(m_owned.data()), m_size(m_owned.size())
    {}
    Samples(qint16 *adopted, std::size_t count, void (*release)(void *))
        : m_adopted(adopted, release), m_data(adopted), m_size(count)
    {}

    [[nodiscard]] const qint16 *data() const { return m_data; }
    [[nodiscard]] std::size_t size() const { return m_size; }
    [[nodiscard]] bool empty() const { return m_size == 0; }
    [[nodiscard]] const qint16 *begin() const { return m_data; }
    [[nodiscard]] const qint16 *end() const { return m_data + m_size; }

private:
    std::vector<qint16> m_owned;
    std::unique_ptr<qint16, void (*)(void *)> m_adopted {nullptr, nullptr};
    const qint16 *m_data = nullptr;
    std::size_t m_size = 0;
};

struct Clip {
    Samples samples;    // interleaved, `channels` per frame, at kOutputRate
    int channels = 1;   // 1 or 2
    std::size_t frames() const { return samples.size() / std::size_t(channels); }
    std::size_t bytes() const { return samples.size() * sizeof(qint16); }
};

// Copies the clip's frames from `position` into a device buffer of `frames` float stereo
// frames, silence after its end; returns how many of the clip's frames it took. What an
// audio callback does, and all it does: no allocation, no lock.
std::size_t copyFrames(const Clip &clip, std::size_t position, float *out, std::size_t frames);

struct ClipLimits {
    qint64 maxFileBytes = qint64(256) << 20;                     // larger files are not read at all
    std::size_t maxFrames = std::size_t(5) * 60 * kOutputRate;   // 5 minutes, at most 55 MiB in stereo
};

// A decoded clip, never null; or why the file cannot be played.
using Decoded = Result<std::shared_ptr<const Clip>>;

// Decodes a WAV image held in memory (every encoding SDL_LoadWAV knows) and converts it.
[[nodiscard]] Decoded decodeWav(const void *data, std::size_t size, const ClipLimits &limits);

// Reads a file without ever blocking on it (FIFOs and devices are refused) and decodes
// it. The file is read straight into the decoder's buffer and converted there, so memory
// peaks at about the size of the samples, not several times the file. Reading stops
// early, with an error, once `cancel` is set.
[[nodiscard]] Decoded readWavFile(const QByteArray &path, const ClipLimits &limits,
                                  const std::atomic<bool> *cancel = nullptr);

// Velmora's own default sound: a short two-note chime (C6 then G6), made at start-up,
// played whenever a file cannot be.
[[nodiscard]] std::shared_ptr<const Clip> makeChime();
inline constexpr double kChimeFirstHz = 1046.5;
inline constexpr double kChimeSecondHz = 1568.0;
