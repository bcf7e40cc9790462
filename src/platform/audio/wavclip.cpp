#include "wavclip.h"

#include "platform/regularfile.h"
#include "platform/texts.h"
#include "sdlapi.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <utility>

#include <unistd.h>

namespace {

// SDL's buffer, freed with SDL's allocator unless handed over.
struct SdlBuffer {
    const SdlApi *sdl;
    void *data = nullptr;
    ~SdlBuffer()
    {
        if (data)
            sdl->SDL_free(data);
    }
    bool resize(std::size_t bytes)
    {
        void *resized = sdl->SDL_realloc(data, bytes);
        if (resized)
            data = resized;
        return resized != nullptr;
    }
};

// Decodes from `rw` (which it closes) and converts in SDL's own buffer: the samples are
// never copied, and the buffer is shrunk to the converted clip when the clip is smaller.
// `readError`, when given, is set by the source if reading failed or was given up.
Decoded decode(const SdlApi *sdl, SDL_RWops *rw, const ClipLimits &limits, const QString *readError)
{
    SDL_AudioSpec spec {};
    Uint8 *loaded = nullptr;
    Uint32 length = 0;
    const bool ok = sdl->SDL_LoadWAV_RW(rw, 1, &spec, &loaded, &length) != nullptr;
    SdlBuffer buffer {sdl, loaded};
    if (readError && !readError->isEmpty())   // SDL may keep what it got before the read failed
        return failure(*readError);
    if (!ok)
        return failure(Texts::tr("non è un WAV leggibile: %1").arg(QString::fromUtf8(sdl->SDL_GetError())));

    const int frameBytes = int(SDL_AUDIO_BITSIZE(spec.format) / 8) * spec.channels;
    if (frameBytes <= 0 || spec.freq <= 0)
        return failure(Texts::tr("formato WAV non valido"));
    const std::size_t inFrames = length / std::size_t(frameBytes);
    const double outFrames = double(inFrames) * kOutputRate / spec.freq;
    if (outFrames > double(limits.maxFrames))
        return failure(
            Texts::tr("suono troppo lungo (più di %1 secondi)").arg(limits.maxFrames / kOutputRate));

    const int channels = spec.channels == 1 ? 1 : 2;   // more than two are mixed down to stereo
    SDL_AudioCVT cvt;
    if (sdl->SDL_BuildAudioCVT(&cvt, spec.format, spec.channels, spec.freq, AUDIO_S16SYS, Uint8(channels),
                               kOutputRate) < 0)
        return failure(
            Texts::tr("formato WAV non convertibile: %1").arg(QString::fromUtf8(sdl->SDL_GetError())));
    const std::size_t inBytes = inFrames * std::size_t(frameBytes);
    const std::size_t workBytes =
        inBytes * std::size_t(std::max(cvt.len_mult, 1)) + sizeof(qint16) * std::size_t(channels);
    if (workBytes > std::size_t(INT_MAX))
        return failure(Texts::tr("suono troppo lungo"));

    auto clip = std::make_shared<Clip>();
    clip->channels = channels;
    std::size_t outBytes = inBytes;
    if (inBytes > 0 && cvt.needed) {
        // The conversion runs in place; it needs room for its largest step.
        if (workBytes > length && !buffer.resize(workBytes))
            return failure(Texts::tr("memoria insufficiente per convertire il suono"));
        cvt.buf = static_cast<Uint8 *>(buffer.data);
        cvt.len = int(inBytes);
        if (sdl->SDL_ConvertAudio(&cvt) < 0)
            return failure(
                Texts::tr("conversione non riuscita: %1").arg(QString::fromUtf8(sdl->SDL_GetError())));
        outBytes = std::size_t(cvt.len_cvt);
    }
    const std::size_t count = outBytes / (sizeof(qint16) * std::size_t(channels)) * std::size_t(channels);
    if (count == 0)   // no samples, or converted to less than one frame: plays as silence
        return std::shared_ptr<const Clip>(std::move(clip));
    buffer.resize(count * sizeof(qint16));   // give back what the clip does not use; kept as is if that fails
    clip->samples = Samples(static_cast<qint16 *>(std::exchange(buffer.data, nullptr)), count, sdl->SDL_free);
    return std::shared_ptr<const Clip>(std::move(clip));
}

// A regular file read through its descriptor, in pieces, so that a read can be given up
// between pieces.
struct FileSource {
    const SdlApi *sdl;
    int fd;
    qint64 size;
    const std::atomic<bool> *cancel;
    QString error;

    static FileSource &of(SDL_RWops *rw) { return *static_cast<FileSource *>(rw->hidden.unknown.data1); }
    static Sint64 SDLCALL sizeOf(SDL_RWops *rw) { return of(rw).size; }
    static Sint64 SDLCALL seek(SDL_RWops *rw, Sint64 offset, int whence)
    {
        // RW_SEEK_SET, _CUR and _END are SEEK_SET, _CUR and _END.
        return ::lseek(of(rw).fd, off_t(offset), whence);
    }
    static size_t SDLCALL read(SDL_RWops *rw, void *to, size_t size, size_t count)
    {
        FileSource &source = of(rw);
        const std::size_t wanted = size * count;
        std::size_t done = 0;
        while (done < wanted && source.error.isEmpty()) {
            if (source.cancel && source.cancel->load(std::memory_order_relaxed)) {
                source.error = Texts::tr("caricamento interrotto");
                break;
            }
            constexpr std::size_t kPiece = std::size_t(1) << 20;
            const qint64 n = regularfile_detail::readSome(source.fd, static_cast<char *>(to) + done,
                                                          qint64(std::min(wanted - done, kPiece)));
            if (n < 0)   // a read error part way must not pass for the end of the file
                source.error = regularfile_detail::lastError();
            if (n <= 0)
                break;
            done += std::size_t(n);
        }
        return size ? done / size : 0;
    }
    static size_t SDLCALL write(SDL_RWops *, const void *, size_t, size_t) { return 0; }
    static int SDLCALL close(SDL_RWops *rw)
    {
        FileSource &source = of(rw);
        regularfile_detail::closeFd(source.fd);
        source.sdl->SDL_FreeRW(rw);
        return 0;
    }
};

}   // namespace

Decoded decodeWav(const void *data, std::size_t size, const ClipLimits &limits)
{
    if (size > std::size_t(INT_MAX))
        return failure(Texts::tr("file troppo grande"));
    const Result<const SdlApi *> loaded = sdlApi();
    if (!loaded)
        return failure(loaded.error());
    const SdlApi *sdl = *loaded;
    SDL_RWops *rw = sdl->SDL_RWFromConstMem(data, int(size));
    if (!rw)
        return failure(QString::fromUtf8(sdl->SDL_GetError()));
    return decode(sdl, rw, limits, nullptr);
}

Decoded readWavFile(const QByteArray &path, const ClipLimits &limits, const std::atomic<bool> *cancel)
{
    const Result<const SdlApi *> loaded = sdlApi();
    if (!loaded)
        return failure(loaded.error());
    const SdlApi *sdl = *loaded;
    const Result<regularfile_detail::OpenFile> file =
        regularfile_detail::openRegular(path, limits.maxFileBytes);
    if (!file)
        return failure(file.error());
    FileSource source {sdl, file->fd, file->size, cancel, {}};
    SDL_RWops *rw = sdl->SDL_AllocRW();
    if (!rw) {
        regularfile_detail::closeFd(file->fd);
        return failure(QString::fromUtf8(sdl->SDL_GetError()));
    }
    rw->size = &FileSource::sizeOf;
    rw->seek = &FileSource::seek;
    rw->read = &FileSource::read;
    rw->write = &FileSource::write;
    rw->close = &FileSource::close;
    rw->type = SDL_RWOPS_UNKNOWN;
    rw->hidden.unknown.data1 = &source;
    // The source lives on this stack frame until SDL has closed it, within decode().
    return decode(sdl, rw, limits, &source.error);
}

std::size_t copyFrames(const Clip &clip, std::size_t position, float *out, std::size_t frames)
{
    const std::size_t copied = position < clip.frames() ? std::min(frames, clip.frames() - position) : 0;
    const qint16 *in = clip.samples.data() + position * std::size_t(clip.channels);
    constexpr float kScale = 1.0f / 32768.0f;
    if (clip.channels == 1) {
        for (std::size_t i = 0; i < copied; ++i)
            out[2 * i] = out[2 * i + 1] = float(in[i]) * kScale;
    } else {
        for (std::size_t i = 0; i < 2 * copied; ++i)
            out[i] = float(in[i]) * kScale;
    }
    std::fill(out + kOutputChannels * copied, out + kOutputChannels * frames, 0.0f);
    return copied;
}

std::shared_ptr<const Clip> makeChime()
{
    // Two bell-like notes, each a sine with softer upper partials and an exponential
    // decay, with a 5 ms attack so that neither clicks.
    constexpr double kLength = 0.9;
    constexpr double kSecondStart = 0.16;
    const std::size_t frames = std::size_t(kLength * kOutputRate);
    auto clip = std::make_shared<Clip>();
    std::vector<qint16> samples(frames);
    constexpr double kTwoPi = 6.283185307179586;
    auto bell = [](double t, double hz) {
        if (t < 0)
            return 0.0;
        const double attack = std::min(1.0, t / 0.005);
        const double body =
            std::sin(kTwoPi * hz * t) + 0.25 * std::sin(kTwoPi * 2 * hz * t) * std::exp(-t * 6);
        return attack * std::exp(-t * 5.0) * body;
    };
    for (std::size_t i = 0; i < frames; ++i) {
        const double t = double(i) / kOutputRate;
        samples[i] = qint16(
            std::lround(32767 * 0.22 * (bell(t, kChimeFirstHz) + bell(t - kSecondStart, kChimeSecondHz))));
    }
    clip->samples = Samples(std::move(samples));
    return clip;
}
