#include "sdloutput.h"

#include "platform/audio/soundlog.h"
#include "platform/texts.h"
#include "platform/timing.h"
#include "sdlapi.h"

#include <atomic>
#include <optional>

#if __has_include(<alsa/asoundlib.h>)
#include <alsa/asoundlib.h>
// Without a sound server SDL falls back to ALSA, whose library prints several lines of
// its own on every failed attempt; our one warning says what matters.
static void quietAlsa(const char *, int, const char *, int, const char *, ...) {}
#define VELMORA_QUIET_ALSA() snd_lib_error_set_handler(&quietAlsa)
#else
#define VELMORA_QUIET_ALSA()
#endif

namespace {
using Clock = std::chrono::steady_clock;
}   // namespace

struct SdlOutput::State {
    explicit State(Settings s) : settings(s) {}

    Settings settings;
    bool loaded = false;
    const SdlApi *sdl = nullptr;
    SDL_AudioDeviceID device = 0;
    bool unavailable = false;   // said once; said again only after it worked
    std::optional<Clock::time_point> lastOpenAttempt;
    std::optional<Clock::time_point> silentSince;

    // Shared with the audio callback.
    Mixer mixer;
    std::atomic<qint64> calledAtNs {0};     // the callback's last call, or the device's opening
    std::atomic<bool> calledBack {false};   // since the device was opened

    static void SDLCALL callback(void *userdata, Uint8 *stream, int len);
    void load();
    bool open();
    void close();
    void dropIfLost();
};

void SDLCALL SdlOutput::State::callback(void *userdata, Uint8 *stream, int len)
{
    auto *d = static_cast<State *>(userdata);
    auto *out = reinterpret_cast<float *>(stream);
    const std::size_t wanted = std::size_t(len) / (sizeof(float) * kOutputChannels);   // frames
    d->mixer.fill(out, uint32_t(wanted));
    d->calledAtNs.store(steadyNowNs(), std::memory_order_relaxed);
    d->calledBack.store(true, std::memory_order_relaxed);
}

void SdlOutput::State::load()
{
    loaded = true;
    if (settings.sdl) {
        sdl = settings.sdl;
        return;
    }
    VELMORA_QUIET_ALSA();
    const Result<const SdlApi *> loadedApi = sdlApi();
    sdl = loadedApi.value_or(nullptr);
    if (!sdl) {
        qCWarning(lcSound).noquote()
            << Texts::tr("Audio non disponibile: %1 - Velmora continua senza suono.").arg(loadedApi.error());
        return;
    }
    sdl->SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    sdl->SDL_SetHint(SDL_HINT_AUDIO_DEVICE_APP_NAME, "Velmora");
    // On a PipeWire desktop SDL would talk to it through its PulseAudio service, which
    // adds some 15 ms before a sound is heard (bench/heard); its own PipeWire backend is
    // taken first where a PipeWire server answers. SDL_AUDIODRIVER, when set, still rules.
    sdl->SDL_SetHint(SDL_HINT_AUDIODRIVER, settings.pipeWireBackend
                                               ? "pipewire,pulseaudio,alsa,jack,sndio,oss"
                                               : "pulseaudio,alsa,jack,sndio,oss");
}

bool SdlOutput::State::open()
{
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
        want.samples = Uint16(settings.bufferFrames);
        want.callback = &State::callback;
        want.userdata = this;
        SDL_AudioSpec have {};
        // No format change allowed: SDL converts for the hardware, our clips stay as they are.
        device = sdl->SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
        if (!device) {
            why = QString::fromUtf8(sdl->SDL_GetError());
            sdl->SDL_QuitSubSystem(
                SDL_INIT_AUDIO);   // starting over lets SDL find a server that appears later
        }
    } else {
        why = QString::fromUtf8(sdl->SDL_GetError());
    }
    if (!device) {
        if (!unavailable)
            qCWarning(lcSound).noquote()
                << Texts::tr(
                       "Audio non disponibile: nessun dispositivo audio si è aperto (SDL: %1) - Velmora "
                       "continua senza suono e riprova alla prossima richiesta.")
                       .arg(why);
        unavailable = true;
        return false;
    }
    if (unavailable)
        qCInfo(lcSound).noquote() << Texts::tr("Audio di nuovo disponibile.");
    unavailable = false;
    calledAtNs = steadyNowNs();   // its first call is awaited from now
    calledBack = false;
    if (lcTiming().isDebugEnabled())
        qCDebug(lcTiming, "open %lld", static_cast<long long>(calledAtNs.load()));
    sdl->SDL_PauseAudioDevice(device, 0);
    return true;
}

void SdlOutput::State::close()
{
    sdl->SDL_CloseAudioDevice(device);
    device = 0;
    mixer.clear();
    silentSince.reset();
}

// A sound server that stops or restarts, or a USB card pulled out, leaves the device
// stopped for good: SDL reports it, or (its PipeWire backend) simply no longer calls
// back. Such a device is closed, and SDL's audio started over so that the next clip
// connects afresh, at once.
void SdlOutput::State::dropIfLost()
{
    if (!device)
        return;
    const qint64 stallNs =
        std::chrono::nanoseconds(calledBack.load(std::memory_order_relaxed) ? settings.stallLimit
                                                                            : settings.startLimit)
            .count();
    const bool stalled = steadyNowNs() - calledAtNs.load(std::memory_order_relaxed) > stallNs;
    if (!stalled && sdl->SDL_GetAudioDeviceStatus(device) != SDL_AUDIO_STOPPED)
        return;
    qCWarning(lcSound).noquote() << Texts::tr("Dispositivo audio perso (server audio fermato o scheda "
                                              "scollegata): Velmora riprova alla prossima richiesta.");
    close();
    sdl->SDL_QuitSubSystem(SDL_INIT_AUDIO);
    lastOpenAttempt.reset();
    unavailable = true;   // so that coming back is said, and a failure not said twice
}

SdlOutput::SdlOutput() : SdlOutput(Settings {}) {}

SdlOutput::SdlOutput(Settings settings) : d(std::make_unique<State>(settings)) {}

SdlOutput::~SdlOutput()
{
    if (d->device) {
        d->close();
        d->sdl->SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
}

void SdlOutput::play(Mixer::Start start)
{
    if (!d->loaded)
        d->load();
    if (!d->sdl)
        return;
    logFirstFrame(d->mixer.firstFrameAtNs);
    d->silentSince.reset();
    d->dropIfLost();
    if (!d->device && !d->open())
        return;
    d->mixer.start(std::move(start));
}

void SdlOutput::stop(int owner, uint32_t fadeFrames)
{
    if (d->device)
        d->mixer.stop(owner, fadeFrames);
}

void SdlOutput::maintain()
{
    if (!d->loaded)
        d->load();
    if (!d->sdl)
        return;
    logFirstFrame(d->mixer.firstFrameAtNs);
    d->dropIfLost();
    if (!d->device)
        return;
    d->mixer.collect();
    const bool silent = !d->mixer.busy();
    const auto now = Clock::now();
    if (!silent)
        d->silentSince.reset();
    else if (!d->silentSince)
        d->silentSince = now;
    else if (now - *d->silentSince >= d->settings.idleClose)
        d->close();
}

bool SdlOutput::isOpen() const { return d->device != 0; }
