#include "pipewireoutput.h"

#include "pipewireapi.h"
#include "platform/audio/soundlog.h"
#include "platform/texts.h"

#include <spa/param/audio/format-utils.h>
#include <spa/pod/builder.h>

#include <atomic>
#include <optional>

using Clock = std::chrono::steady_clock;

struct PipeWireOutput::State {
    explicit State(Settings s) : settings(s) {}

    Settings settings;
    bool loaded = false;
    const PipeWireApi *pw = nullptr;
    pw_thread_loop *loop = nullptr;
    pw_context *context = nullptr;
    pw_core *core = nullptr;
    pw_stream *stream = nullptr;
    spa_hook coreListener {};
    spa_hook streamListener {};
    pw_core_events coreEvents {};
    pw_stream_events streamEvents {};
    bool active = false;
    bool everConnected = false;
    bool lostBefore = false;                              // so that coming back is said
    bool noOutputSaid = false;                            // and so is an output that comes
    std::optional<Clock::time_point> lastAttempt;         // to connect to the server
    std::optional<Clock::time_point> lastStreamAttempt;   // to make a stream, while none links
    std::optional<Clock::time_point> silentSince;
    // Set by the loop's thread: the server gone (only the connection itself says so), or
    // this stream refused or dropped by the server while it answers (no output to link to:
    // no sound device, or its only one unplugged), and the stream linked to an output.
    std::atomic<bool> lost {false};
    std::atomic<bool> streamFailed {false};
    std::atomic<bool> streamLinked {false};

    Mixer mixer;   // filled on the graph's thread

    static void onProcess(void *data);
    static void onStateChanged(void *data, pw_stream_state old, pw_stream_state state, const char *error);
    static void onParamChanged(void *data, uint32_t id, const spa_pod *param);
    static void onCoreError(void *data, uint32_t id, int seq, int res, const char *message);
    bool openCore();
    void keepStream();
    bool openStream();
    void closeStream();
    void close();
    void setActive(bool on);
    void dropIfLost();
};

void PipeWireOutput::State::onProcess(void *data)
{
    auto *d = static_cast<State *>(data);
    pw_buffer *buffer = d->pw->pw_stream_dequeue_buffer(d->stream);
    if (!buffer)
        return;
    spa_data &out = buffer->buffer->datas[0];
    constexpr uint32_t kStride = sizeof(float) * kOutputChannels;
    uint32_t frames = out.data ? out.maxsize / kStride : 0;
    if (buffer->requested > 0)   // exactly what this cycle asks for, whatever the quantum
        frames = std::min(frames, uint32_t(buffer->requested));
    d->mixer.fill(static_cast<float *>(out.data), frames);
    out.chunk->offset = 0;
    out.chunk->stride = int32_t(kStride);
    out.chunk->size = frames * kStride;
    d->pw->pw_stream_queue_buffer(d->stream, buffer);
}

void PipeWireOutput::State::onStateChanged(void *data, pw_stream_state, pw_stream_state state, const char *)
{
    // WirePlumber's "no node available" is an error of this stream alone: the server is
    // there, an output is not. A lost server is told by the core (onCoreError).
    if (state == PW_STREAM_STATE_ERROR || state == PW_STREAM_STATE_UNCONNECTED)
        static_cast<State *>(data)->streamFailed = true;
}

void PipeWireOutput::State::onParamChanged(void *data, uint32_t id, const spa_pod *param)
{
    if (id == SPA_PARAM_Format && param)   // a format is agreed when it is linked to an output
        static_cast<State *>(data)->streamLinked = true;
}

void PipeWireOutput::State::onCoreError(void *data, uint32_t id, int, int res, const char *)
{
    if (id == PW_ID_CORE && res == -EPIPE)   // the server has gone
        static_cast<State *>(data)->lost = true;
}

bool PipeWireOutput::State::openCore()
{
    if (!loaded) {
        loaded = true;
        pw = settings.pw ? settings.pw : pipeWireApi().value_or(nullptr);
        coreEvents.version = PW_VERSION_CORE_EVENTS;
        coreEvents.error = &State::onCoreError;
        streamEvents.version = PW_VERSION_STREAM_EVENTS;
        streamEvents.state_changed = &State::onStateChanged;
        streamEvents.param_changed = &State::onParamChanged;
        streamEvents.process = &State::onProcess;
    }
    if (!pw || !pipeWireServerThere())
        return false;
    loop = pw->pw_thread_loop_new("velmora-audio", nullptr);
    context = loop ? pw->pw_context_new(pw->pw_thread_loop_get_loop(loop), nullptr, 0) : nullptr;
    if (!context || pw->pw_thread_loop_start(loop) < 0) {
        close();
        return false;
    }
    pw->pw_thread_loop_lock(loop);
    core = pw->pw_context_connect(context, pw->pw_properties_new(PW_KEY_APP_NAME, "Velmora", nullptr), 0);
    if (core)
        pw_core_add_listener(core, &coreListener, &coreEvents, this);
    pw->pw_thread_loop_unlock(loop);
    if (!core) {
        close();
        return false;
    }
    everConnected = true;
    return true;
}

// One stream is kept connected to the server, inactive while silent, so that no press waits
// for one to be made. One the server refused or dropped (no output to link to) is said once
// and made again as the reconnect interval allows: an output that comes is used at once.
void PipeWireOutput::State::keepStream()
{
    if (streamFailed) {
        if (!streamLinked && !std::exchange(noOutputSaid, true))
            qCWarning(lcSound).noquote() << Texts::tr(
                "Nessuna uscita audio disponibile (nessun dispositivo audio collegato o acceso): collegare "
                "o accendere casse, cuffie o una scheda audio; Velmora suona appena ce n'è una.");
        closeStream();
    }
    if (streamLinked && std::exchange(noOutputSaid, false))
        qCInfo(lcSound).noquote() << Texts::tr("Audio di nuovo disponibile.");
    const auto now = Clock::now();
    if (stream || (lastStreamAttempt && now - *lastStreamAttempt < settings.reconnectInterval))
        return;
    lastStreamAttempt = now;
    if (!openStream())
        closeStream();
}

bool PipeWireOutput::State::openStream()
{
    pw->pw_thread_loop_lock(loop);
    const QByteArray latency =
        QByteArray::number(settings.latencyFrames) + '/' + QByteArray::number(kOutputRate);
    stream = pw->pw_stream_new(core, "Velmora",
                               pw->pw_properties_new(PW_KEY_MEDIA_TYPE, "Audio", PW_KEY_MEDIA_CATEGORY,
                                                     "Playback", PW_KEY_MEDIA_ROLE, "Music",
                                                     PW_KEY_NODE_LATENCY, latency.constData(), nullptr));
    bool connected = false;
    if (stream) {
        pw->pw_stream_add_listener(stream, &streamListener, &streamEvents, this);
        std::array<uint8_t, 1024> room {};
        spa_pod_builder builder {};
        spa_pod_builder_init(&builder, room.data(), uint32_t(room.size()));
        spa_audio_info_raw format {.format = SPA_AUDIO_FORMAT_F32,
                                   .flags = 0,
                                   .rate = kOutputRate,
                                   .channels = kOutputChannels,
                                   .position = {SPA_AUDIO_CHANNEL_FL, SPA_AUDIO_CHANNEL_FR}};
        const spa_pod *params[] = {spa_format_audio_raw_build(&builder, SPA_PARAM_EnumFormat, &format)};
        // Filled in the graph's own thread, at once; inactive until the first sound.
        connected =
            pw->pw_stream_connect(stream, PW_DIRECTION_OUTPUT, PW_ID_ANY,
                                  pw_stream_flags(PW_STREAM_FLAG_AUTOCONNECT | PW_STREAM_FLAG_MAP_BUFFERS |
                                                  PW_STREAM_FLAG_RT_PROCESS | PW_STREAM_FLAG_INACTIVE),
                                  params, 1) == 0;
    }
    pw->pw_thread_loop_unlock(loop);
    return connected;
}

// Destroyed under the loop's lock, which takes the stream out of the graph before it
// returns, its listener with it: removed by hand while the graph's thread may be calling
// it, PipeWire before 0.3.72 (Debian 12 has 0.3.65) could call into freed memory.
void PipeWireOutput::State::closeStream()
{
    if (stream) {
        pw->pw_thread_loop_lock(loop);
        pw->pw_stream_destroy(stream);
        pw->pw_thread_loop_unlock(loop);
        stream = nullptr;
    }
    mixer.clear();
    active = false;
    silentSince.reset();
    streamFailed = false;
    streamLinked = false;
}

void PipeWireOutput::State::close()
{
    closeStream();
    if (loop)
        pw->pw_thread_loop_stop(loop);   // no callback runs from here on
    if (core) {
        spa_hook_remove(&coreListener);
        pw->pw_core_disconnect(core);
        core = nullptr;
    }
    if (context) {
        pw->pw_context_destroy(context);
        context = nullptr;
    }
    if (loop) {
        pw->pw_thread_loop_destroy(loop);
        loop = nullptr;
    }
    lastStreamAttempt.reset();
    lost = false;
}

void PipeWireOutput::State::setActive(bool on)
{
    pw->pw_thread_loop_lock(loop);
    pw->pw_stream_set_active(stream, on);
    pw->pw_thread_loop_unlock(loop);
    active = on;
}

// The server stopped or restarted: what is left of the connection goes, and it is tried
// again as the reconnect interval allows.
void PipeWireOutput::State::dropIfLost()
{
    if (!core || !lost)
        return;
    qCWarning(lcSound).noquote() << Texts::tr(
        "Server audio PipeWire perso (fermato o riavviato): Velmora si ricollega da sola.");
    close();
    lastAttempt = Clock::now();
    lostBefore = true;
}

PipeWireOutput::PipeWireOutput() : PipeWireOutput(Settings {}) {}

PipeWireOutput::PipeWireOutput(Settings settings) : d(std::make_unique<State>(settings)) {}

PipeWireOutput::~PipeWireOutput() { d->close(); }

bool PipeWireOutput::connect()
{
    d->dropIfLost();
    if (!d->core) {
        const auto now = Clock::now();
        if (d->lastAttempt && now - *d->lastAttempt < d->settings.reconnectInterval)
            return false;
        d->lastAttempt = now;
        if (!d->openCore())
            return false;
        if (std::exchange(d->lostBefore, false))
            qCInfo(lcSound).noquote() << Texts::tr("Server audio PipeWire di nuovo disponibile.");
    }
    d->keepStream();
    return true;
}

bool PipeWireOutput::connected() const { return d->core != nullptr; }

void PipeWireOutput::stop(int owner, uint32_t fadeFrames) { d->mixer.stop(owner, fadeFrames); }

void PipeWireOutput::play(Mixer::Start start)
{
    logFirstFrame(d->mixer.firstFrameAtNs);
    d->silentSince.reset();
    if (!connect() || !d->stream)   // no output yet: a held input asks again at its next tick
        return;
    d->mixer.start(std::move(start));
    if (!d->active)
        d->setActive(true);
}

void PipeWireOutput::maintain()
{
    logFirstFrame(d->mixer.firstFrameAtNs);
    // Connected ahead of the first sound and after the server came back, so no press waits for
    // it; where PipeWire never answered, only a sound asked for tries again.
    if (d->core || d->everConnected || !d->loaded)
        (void)connect();
    if (!d->stream || !d->active)
        return;
    if (d->mixer.busy()) {
        d->silentSince.reset();
        return;
    }
    const auto now = Clock::now();
    if (!d->silentSince)
        d->silentSince = now;
    else if (now - *d->silentSince >= d->settings.idleInactive)
        d->setActive(false);   // the graph no longer runs it; it stays connected
}
