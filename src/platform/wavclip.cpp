#include "wavclip.h"

#include "regularfile.h"
#include "sdlapi.h"


#include <climits>
#include <cmath>
#include <cstring>


DecodeResult decodeWav(const void *data, std::size_t size, const ClipLimits &limits)
{
    if (size > std::size_t(INT_MAX))
        return {nullptr, QStringLiteral("file troppo grande")};
    QString unavailable;
    const SdlApi *sdl = sdlApi(&unavailable);
    if (!sdl)
        return {nullptr, unavailable};
    SDL_RWops *rw = sdl->SDL_RWFromConstMem(data, int(size));
    if (!rw)
        return {nullptr, QString::fromUtf8(sdl->SDL_GetError())};
    SDL_AudioSpec spec {};
    Uint8 *buffer = nullptr;
    Uint32 length = 0;
    if (!sdl->SDL_LoadWAV_RW(rw, 1, &spec, &buffer, &length))
        return {nullptr, QStringLiteral("non è un WAV leggibile: %1").arg(QString::fromUtf8(sdl->SDL_GetError()))};
    std::unique_ptr<Uint8, decltype(sdl->SDL_FreeWAV)> owned(buffer, sdl->SDL_FreeWAV);

    const int frameBytes = int(SDL_AUDIO_BITSIZE(spec.format) / 8) * spec.channels;
    if (frameBytes <= 0 || spec.freq <= 0)
        return {nullptr, QStringLiteral("formato WAV non valido")};
    const std::size_t inFrames = length / std::size_t(frameBytes);
    const double outFrames = double(inFrames) * kOutputRate / spec.freq;
    if (outFrames > double(limits.maxFrames))
        return {nullptr, QStringLiteral("suono troppo lungo (più di %1 secondi)").arg(limits.maxFrames / kOutputRate)};

    const int channels = spec.channels == 1 ? 1 : 2;   // more than two are mixed down to stereo
    SDL_AudioCVT cvt;
    if (sdl->SDL_BuildAudioCVT(&cvt, spec.format, spec.channels, spec.freq, AUDIO_S16SYS, Uint8(channels), kOutputRate) < 0)
        return {nullptr, QStringLiteral("formato WAV non convertibile: %1").arg(QString::fromUtf8(sdl->SDL_GetError()))};
    const std::size_t inBytes = inFrames * std::size_t(frameBytes);
    const std::size_t workBytes = inBytes * std::size_t(std::max(cvt.len_mult, 1));
    if (workBytes > std::size_t(INT_MAX))
        return {nullptr, QStringLiteral("suono troppo lungo")};

    auto clip = std::make_shared<Clip>();
    clip->channels = channels;
    if (inBytes == 0)   // a WAV without samples plays as silence
        return {std::move(clip), {}};
    std::vector<Uint8> work(workBytes + sizeof(qint16) * std::size_t(channels));
    std::memcpy(work.data(), buffer, inBytes);
    owned.reset();
    cvt.buf = work.data();
    cvt.len = int(inBytes);
    if (cvt.needed && sdl->SDL_ConvertAudio(&cvt) < 0)
        return {nullptr, QStringLiteral("conversione non riuscita: %1").arg(QString::fromUtf8(sdl->SDL_GetError()))};
    const std::size_t outBytes = cvt.needed ? std::size_t(cvt.len_cvt) : inBytes;

    clip->samples.resize(outBytes / (sizeof(qint16) * std::size_t(channels)) * std::size_t(channels));
    if (!clip->samples.empty())   // converted to less than one frame: silence, as above
        std::memcpy(clip->samples.data(), work.data(), clip->bytes());
    return {std::move(clip), {}};
}

DecodeResult readWavFile(const QByteArray &path, const ClipLimits &limits)
{
    const FileBytes file = readRegularFile(path, limits.maxFileBytes);
    if (!file.bytes)
        return {nullptr, file.error};
    return decodeWav(file.bytes->constData(), std::size_t(file.bytes->size()), limits);
}

std::shared_ptr<const Clip> makeChime()
{
    // Two bell-like notes, each a sine with softer upper partials and an exponential
    // decay, with a 5 ms attack so that neither clicks.
    constexpr double kLength = 0.9;
    constexpr double kSecondStart = 0.16;
    const std::size_t frames = std::size_t(kLength * kOutputRate);
    auto clip = std::make_shared<Clip>();
    clip->samples.resize(frames);
    constexpr double kTwoPi = 6.283185307179586;
    auto bell = [](double t, double hz) {
        if (t < 0)
            return 0.0;
        const double attack = std::min(1.0, t / 0.005);
        const double body = std::sin(kTwoPi * hz * t) + 0.25 * std::sin(kTwoPi * 2 * hz * t) * std::exp(-t * 6);
        return attack * std::exp(-t * 5.0) * body;
    };
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = double(i) / kOutputRate;
        clip->samples[i] = qint16(std::lround(32767 * 0.22 * (bell(t, kChimeFirstHz) + bell(t - kSecondStart, kChimeSecondHz))));
    }
    return clip;
}
