#include "sdlplayer.h"

#include "regularfile.h"
#include "sdlapi.h"

#include <QHash>
#include <QLoggingCategory>

#include <atomic>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <set>
#include <thread>

#include <cerrno>
#include <malloc.h>
#include <sys/stat.h>

#if __has_include(<alsa/asoundlib.h>)
#include <alsa/asoundlib.h>
// Without a sound server SDL falls back to ALSA, whose library prints several lines of
// its own on every failed attempt; our one warning says what matters.
static void quietAlsa(const char *, int, const char *, int, const char *, ...) {}
#define VELMORA_QUIET_ALSA() snd_lib_error_set_handler(&quietAlsa)
#else
#define VELMORA_QUIET_ALSA()
#endif

Q_LOGGING_CATEGORY(lcSound, "velmora.sound", QtInfoMsg)
Q_LOGGING_CATEGORY(lcTiming, "velmora.timing", QtInfoMsg)

qint64 steadyNowNs() { return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch()).count(); }

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kBufferFrames = 512;

struct FileStamp {
    qint64 size = -1;
    qint64 mtimeNs = -1;
    bool operator==(const FileStamp &) const = default;
};

struct Command {
    enum Kind { Play, Preload, Loaded } kind;
    QByteArray path;
    int input = 0;
    Clock::time_point requestedAt {};
    FileStamp stamp {};
    DecodeResult result {};
};

struct CacheEntry {
    FileStamp stamp;
    DecodeResult result;
    quint64 lastUse = 0;
};

} // namespace

struct SdlPlayer::Impl {
    explicit Impl(Settings s) : settings(s) {}

    Settings settings;
    std::shared_ptr<const Clip> chime;   // made by the control thread, off the window's start-up

    // Shared between the window's thread and the worker threads.
    mutable std::mutex mutex;
    std::condition_variable controlWake;
    std::condition_variable loaderWake;
    std::deque<Command> controlQueue;
    std::deque<std::pair<QByteArray, FileStamp>> loaderQueue;
    bool stopping = false;
    bool loaderDone = false;
    std::condition_variable loaderEnded;
    std::atomic<bool> cancelLoads {false};   // read by the loader between pieces of a file
    bool controlBusy = false;
    bool loaderBusy = false;

    // Owned by the control thread.
    QHash<QByteArray, CacheEntry> cache;
    std::size_t cacheBytes = 0;
    quint64 useCounter = 0;
    std::set<QByteArray> loading;
    std::optional<Command> waiting;   // the latest request, while its file loads
    const SdlApi *sdl = nullptr;   // loaded by the control thread
    SDL_AudioDeviceID device = 0;
    std::atomic<bool> deviceIsOpen {false};
    bool audioUnavailable = false;
    std::optional<Clock::time_point> lastOpenAttempt;
    std::optional<Clock::time_point> silentSince;

    // Shared with the audio callback, under SDL's device lock.
    std::shared_ptr<const Clip> current;
    std::size_t position = 0;   // in frames
    Clock::time_point currentRequestedAt {};
    bool firstFramePending = false;
    std::atomic<qint64> latencyNs {-1};
    std::atomic<qint64> firstFrameAtNs {-1};   // for the timing log

    std::thread controlThread;
    std::thread loaderThread;

    static void SDLCALL audioCallback(void *userdata, Uint8 *stream, int len);
    void controlLoop();
    void loaderLoop();
    void handlePlay(const Command &cmd);
    void handlePreload(const Command &cmd);
    void handleLoaded(Command &cmd);
    void start(std::shared_ptr<const Clip> clip, Clock::time_point requestedAt);
    bool ensureDevice();
    void dropLostDevice();
    void closeWhenSilent();
    std::optional<QString> checkFile(const QByteArray &path, FileStamp *stamp) const;
    const CacheEntry *cached(const QByteArray &path, const FileStamp &stamp);
    void insert(const QByteArray &path, const FileStamp &stamp, DecodeResult result);
    void queueLoad(const QByteArray &path, const FileStamp &stamp);
};

void SDLCALL SdlPlayer::Impl::audioCallback(void *userdata, Uint8 *stream, int len)
{
    auto *d = static_cast<Impl *>(userdata);
    auto *out = reinterpret_cast<float *>(stream);
    const std::size_t wanted = std::size_t(len) / (sizeof(float) * kOutputChannels);   // frames
    std::size_t copied = 0;
    if (d->current && d->position < d->current->frames()) {
        const Clip &clip = *d->current;
        copied = std::min(wanted, clip.frames() - d->position);
        const qint16 *in = clip.samples.data() + d->position * std::size_t(clip.channels);
        constexpr float kScale = 1.0f / 32768.0f;
        if (clip.channels == 1) {
            for (std::size_t i = 0; i < copied; ++i)
                out[2 * i] = out[2 * i + 1] = float(in[i]) * kScale;
        } else {
            for (std::size_t i = 0; i < 2 * copied; ++i)
                out[i] = float(in[i]) * kScale;
        }
        d->position += copied;
    }
    std::fill(out + kOutputChannels * copied, out + kOutputChannels * wanted, 0.0f);
    if (d->firstFramePending) {
        d->firstFramePending = false;
        const Clock::time_point now = Clock::now();
        d->latencyNs = std::chrono::duration_cast<std::chrono::nanoseconds>(now - d->currentRequestedAt).count();
        d->firstFrameAtNs = std::chrono::duration_cast<std::chrono::nanoseconds>(now.time_since_epoch()).count();
    }
}

std::optional<QString> SdlPlayer::Impl::checkFile(const QByteArray &path, FileStamp *stamp) const
{
    struct stat st {};
    if (::stat(path.constData(), &st) != 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    if (QString problem = regularFileProblem(st.st_mode, st.st_size, settings.limits.maxFileBytes); !problem.isEmpty())
        return problem;
    *stamp = {qint64(st.st_size), qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
    return std::nullopt;
}

const CacheEntry *SdlPlayer::Impl::cached(const QByteArray &path, const FileStamp &stamp)
{
    auto it = cache.find(path);
    if (it == cache.end() || it->stamp != stamp)
        return nullptr;
    it->lastUse = ++useCounter;
    return &*it;
}

void SdlPlayer::Impl::insert(const QByteArray &path, const FileStamp &stamp, DecodeResult result)
{
    if (auto old = cache.find(path); old != cache.end()) {
        cacheBytes -= old->result.clip ? old->result.clip->bytes() : 0;
        cache.erase(old);
    }
    cacheBytes += result.clip ? result.clip->bytes() : 0;
    cache.insert(path, {stamp, std::move(result), ++useCounter});
    // Failed entries cost almost nothing but are still capped, so that a long run of
    // distinct bad names cannot grow the cache without end.
    constexpr qsizetype kMaxEntries = 256;
    while (cache.size() > 1 && (cacheBytes > settings.cacheBytes || cache.size() > kMaxEntries)) {
        auto oldest = cache.begin();
        for (auto it = cache.begin(); it != cache.end(); ++it)
            if (it->lastUse < oldest->lastUse)
                oldest = it;
        cacheBytes -= oldest->result.clip ? oldest->result.clip->bytes() : 0;
        cache.erase(oldest);
    }
}

void SdlPlayer::Impl::queueLoad(const QByteArray &path, const FileStamp &stamp)
{
    if (!loading.insert(path).second)
        return;
    std::lock_guard lock(mutex);
    loaderQueue.emplace_back(path, stamp);
    loaderWake.notify_one();
}

// A sound server that stops or restarts, or a USB card pulled out, leaves the device
// stopped for good: SDL reports it and no longer calls back. Such a device is closed,
// and SDL's audio started over so that the next request connects afresh.
void SdlPlayer::Impl::dropLostDevice()
{
    if (!device || sdl->SDL_GetAudioDeviceStatus(device) != SDL_AUDIO_STOPPED)
        return;
    qCWarning(lcSound) << "Dispositivo audio perso (server audio fermato o scheda scollegata):"
                       << "Velmora riprova alla prossima richiesta.";
    sdl->SDL_CloseAudioDevice(device);
    sdl->SDL_QuitSubSystem(SDL_INIT_AUDIO);
    device = 0;
    deviceIsOpen = false;
    current.reset();
    silentSince.reset();
    lastOpenAttempt.reset();   // try at once
    audioUnavailable = true;   // so that coming back is said, and a failure not said again
}

bool SdlPlayer::Impl::ensureDevice()
{
    dropLostDevice();
    if (device)
        return true;
    if (!sdl)
        return false;   // already said why, once
    const auto now = Clock::now();
    if (lastOpenAttempt && now - *lastOpenAttempt < settings.reopenInterval)
        return false;
    lastOpenAttempt = now;

    QString why;
    if (sdl->SDL_WasInit(SDL_INIT_AUDIO) || sdl->SDL_InitSubSystem(SDL_INIT_AUDIO) == 0) {
        SDL_AudioSpec want {};
        want.freq = kOutputRate;
        want.format = AUDIO_F32SYS;
        want.channels = kOutputChannels;
        want.samples = kBufferFrames;
        want.callback = &Impl::audioCallback;
        want.userdata = this;
        SDL_AudioSpec have {};
        // No format change allowed: SDL converts for the hardware, our clips stay as they are.
        device = sdl->SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (!device) {
            why = QString::fromUtf8(sdl->SDL_GetError());
            // Starting over lets SDL pick a sound server that has appeared since.
            sdl->SDL_QuitSubSystem(SDL_INIT_AUDIO);
        }
    } else {
        why = QString::fromUtf8(sdl->SDL_GetError());
    }
    if (!device) {
        if (!audioUnavailable)
            qCWarning(lcSound).noquote() << "Audio non disponibile:" << why
                                         << "- Velmora continua senza suono e riprova alla prossima richiesta.";
        audioUnavailable = true;
        return false;
    }
    if (audioUnavailable)
        qCInfo(lcSound) << "Audio di nuovo disponibile.";
    audioUnavailable = false;
    deviceIsOpen = true;
    sdl->SDL_PauseAudioDevice(device, 0);
    return true;
}

void SdlPlayer::Impl::start(std::shared_ptr<const Clip> clip, Clock::time_point requestedAt)
{
    silentSince.reset();
    if (!ensureDevice())
        return;
    sdl->SDL_LockAudioDevice(device);
    std::swap(current, clip);
    position = 0;
    currentRequestedAt = requestedAt;
    firstFramePending = current != nullptr;
    sdl->SDL_UnlockAudioDevice(device);
    // `clip` now holds the replaced sound and is released here, not in the audio callback.
}

void SdlPlayer::Impl::closeWhenSilent()
{
    dropLostDevice();
    if (!device)
        return;
    sdl->SDL_LockAudioDevice(device);
    const bool silent = !current || position >= current->frames();
    sdl->SDL_UnlockAudioDevice(device);
    if (!silent || waiting) {
        silentSince.reset();
        return;
    }
    const auto now = Clock::now();
    if (!silentSince) {
        silentSince = now;
    } else if (now - *silentSince >= settings.idleClose) {
        sdl->SDL_CloseAudioDevice(device);
        device = 0;
        deviceIsOpen = false;
        current.reset();
        silentSince.reset();
    }
}

void SdlPlayer::Impl::handlePlay(const Command &cmd)
{
    waiting.reset();
    FileStamp stamp;
    if (const auto problem = checkFile(cmd.path, &stamp)) {
        qCDebug(lcSound).noquote() << "ingresso" << cmd.input << cmd.path << "- suono predefinito:" << *problem;
        start(chime, cmd.requestedAt);
        return;
    }
    if (const CacheEntry *entry = cached(cmd.path, stamp)) {
        if (entry->result.clip) {
            qCDebug(lcSound).noquote() << "ingresso" << cmd.input << cmd.path << "- in memoria";
            start(entry->result.clip, cmd.requestedAt);
        } else {
            qCDebug(lcSound).noquote() << "ingresso" << cmd.input << cmd.path
                                       << "- suono predefinito:" << entry->result.error;
            start(chime, cmd.requestedAt);
        }
        return;
    }
    qCDebug(lcSound).noquote() << "ingresso" << cmd.input << cmd.path << "- caricamento";
    start(nullptr, cmd.requestedAt);   // the new request silences the old sound at once
    waiting = cmd;
    waiting->stamp = stamp;
    queueLoad(cmd.path, stamp);
}

void SdlPlayer::Impl::handlePreload(const Command &cmd)
{
    FileStamp stamp;
    if (!checkFile(cmd.path, &stamp) && !cached(cmd.path, stamp))
        queueLoad(cmd.path, stamp);
}

void SdlPlayer::Impl::handleLoaded(Command &cmd)
{
    loading.erase(cmd.path);
    if (!cmd.result.clip)
        qCDebug(lcSound).noquote() << cmd.path << "non riproducibile:" << cmd.result.error;
    insert(cmd.path, cmd.stamp, cmd.result);
    if (waiting && waiting->path == cmd.path) {
        const Command request = *waiting;
        waiting.reset();
        if (request.stamp == cmd.stamp)
            start(cmd.result.clip ? cmd.result.clip : chime, request.requestedAt);
        else
            handlePlay(request);   // the file changed while it was loading: look again
    }
}

void SdlPlayer::Impl::controlLoop()
{
    VELMORA_QUIET_ALSA();
    chime = makeChime();
    QString unavailable;
    sdl = sdlApi(&unavailable);
    if (sdl) {
        sdl->SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
        sdl->SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "Velmora");
    } else {
        qCWarning(lcSound).noquote() << "Audio non disponibile:" << unavailable << "- Velmora continua senza suono.";
        audioUnavailable = true;
    }
    for (;;) {
        std::deque<Command> batch;
        {
            std::unique_lock lock(mutex);
            controlBusy = false;
            controlWake.wait_for(lock, std::chrono::milliseconds(250),
                                 [this] { return stopping || !controlQueue.empty(); });
            if (stopping)
                break;
            batch.swap(controlQueue);
            controlBusy = !batch.empty();
        }
        // Only the newest play request can be heard: older ones in the same batch are skipped.
        auto lastPlay = std::find_if(batch.rbegin(), batch.rend(), [](const Command &c) { return c.kind == Command::Play; });
        const Command *newest = lastPlay == batch.rend() ? nullptr : &*lastPlay;
        for (Command &cmd : batch) {
            switch (cmd.kind) {
            case Command::Play:
                if (&cmd == newest)
                    handlePlay(cmd);
                break;
            case Command::Preload:
                handlePreload(cmd);
                break;
            case Command::Loaded:
                handleLoaded(cmd);
                break;
            }
        }
        closeWhenSilent();
    }
    if (device)
        sdl->SDL_CloseAudioDevice(device);
    device = 0;
    deviceIsOpen = false;
    if (sdl)
        sdl->SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void SdlPlayer::Impl::loaderLoop()
{
    for (;;) {
        std::pair<QByteArray, FileStamp> job;
        {
            std::unique_lock lock(mutex);
            loaderBusy = false;
            loaderWake.wait(lock, [this] { return stopping || !loaderQueue.empty(); });
            if (stopping) {
                loaderDone = true;
                loaderEnded.notify_all();
                return;
            }
            job = std::move(loaderQueue.front());
            loaderQueue.pop_front();
            loaderBusy = true;
        }
        Command done {Command::Loaded, job.first};
        done.stamp = job.second;
        done.result = readWavFile(job.first, settings.limits, &cancelLoads);
        std::lock_guard lock(mutex);
        controlQueue.push_back(std::move(done));
        controlWake.notify_one();
    }
}

SdlPlayer::SdlPlayer() : SdlPlayer(Settings {}) {}

SdlPlayer::SdlPlayer(Settings settings) : d(std::make_shared<Impl>(settings))
{
    // Reading and converting a file takes several times its size in scratch memory. With
    // a fixed threshold every such buffer gets pages of its own, returned when freed;
    // otherwise the allocator raises the threshold and keeps the freed memory for good.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
    d->controlThread = std::thread([this] { d->controlLoop(); });
    d->loaderThread = std::thread([self = d] { self->loaderLoop(); });
}

SdlPlayer::~SdlPlayer()
{
    {
        std::lock_guard lock(d->mutex);
        d->stopping = true;
    }
    d->cancelLoads = true;
    d->controlWake.notify_all();
    d->loaderWake.notify_all();
    d->controlThread.join();
    // A file being read stops at its next piece; a conversion under way cannot be
    // interrupted, and the program's exit does not wait for it: the loader then finishes
    // on its own, holding what it uses.
    std::unique_lock lock(d->mutex);
    if (d->loaderEnded.wait_for(lock, std::chrono::milliseconds(100), [this] { return d->loaderDone; })) {
        lock.unlock();
        d->loaderThread.join();
    } else {
        lock.unlock();
        d->loaderThread.detach();
    }
}

void SdlPlayer::play(const QByteArray &path, int input)
{
    // The callback must not log, so the previous clip's first frame is logged here.
    if (lcTiming().isDebugEnabled())
        if (const qint64 at = d->firstFrameAtNs.exchange(-1); at >= 0)
            qCDebug(lcTiming, "sound %lld", static_cast<long long>(at));
    d->latencyNs = -1;   // until this request's first frame reaches the device
    Command cmd {Command::Play, path, input, Clock::now()};
    std::lock_guard lock(d->mutex);
    d->controlQueue.push_back(std::move(cmd));
    d->controlWake.notify_one();
}

void SdlPlayer::preload(const QByteArray &path)
{
    std::lock_guard lock(d->mutex);
    d->controlQueue.push_back(Command {Command::Preload, path});
    d->controlWake.notify_one();
}

std::optional<std::chrono::nanoseconds> SdlPlayer::lastTriggerLatency() const
{
    const qint64 ns = d->latencyNs;
    if (ns < 0)
        return std::nullopt;
    return std::chrono::nanoseconds(ns);
}

bool SdlPlayer::idle() const
{
    std::lock_guard lock(d->mutex);
    return d->controlQueue.empty() && d->loaderQueue.empty() && !d->controlBusy && !d->loaderBusy;
}

bool SdlPlayer::deviceOpen() const { return d->deviceIsOpen; }
