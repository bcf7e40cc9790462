#include "sdlplayer.h"

#include "outputchoice.h"
#include "platform/texts.h"
#include "platform/timing.h"
#include "soundlog.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <limits>
#include <mutex>
#include <optional>
#include <thread>

namespace {
struct Command {
    enum Kind { Play, Preload, Stop } kind;
    PlayRequest request;   // Stop: its owner
    int fadeMs = 0;
    // What every sound before it is cut by: a sound that replaces, or a stop of all.
    [[nodiscard]] bool cutsAll() const
    {
        return (kind == Play && request.replace) || (kind == Stop && request.owner < 0 && fadeMs == 0);
    }
};
}   // namespace

struct SdlPlayer::Impl {
    Impl(Settings settings, std::unique_ptr<AudioOutput> out)
        : output(std::move(out)), tookIn(std::move(settings.tookIn)),
          store(settings.store, [this] { wakeUp(); })
    {}

    // Shared between the window's thread, the store's loader and the control thread.
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<Command> queue;
    bool loadsDone = false;
    bool stopping = false;
    bool stopped = false;   // the control thread is done
    std::condition_variable ended;
    // Until when each owner's sounds play (a file played by name is owner 0), steady clock.
    std::array<std::atomic<qint64>, 5> untilNs {};
    std::atomic<int> loading {0};
    std::atomic<qint64> &until(int owner) { return untilNs[std::size_t(std::clamp(owner, 0, 4))]; }

    // The control thread's own.
    std::unique_ptr<AudioOutput> output;
    std::function<void(const QList<QByteArray> &)> tookIn;
    std::shared_ptr<const Clip> chime;
    QList<PlayRequest> waiting;   // requests whose files load
    ClipStore store;              // after what its loader's callback uses
    std::thread control;

    void wakeUp()
    {
        std::lock_guard lock(mutex);
        loadsDone = true;
        wake.notify_one();
    }
    void push(Command command)
    {
        std::lock_guard lock(mutex);
        queue.push_back(std::move(command));
        wake.notify_one();
    }
    void controlLoop();
    void stop(int owner, int fadeMs)
    {
        waiting.removeIf([owner](const PlayRequest &r) { return owner < 0 || r.owner == owner; });
        output->stop(owner, uint32_t(qint64(fadeMs) * kOutputRate / 1000));
        const qint64 end = fadeMs == 0 ? 0 : steadyNowNs() + qint64(fadeMs) * 1'000'000;
        for (int o = 0; o < int(untilNs.size()); ++o)
            if (owner < 0 || o == owner)
                until(o) = std::min<qint64>(until(o), end);
    }
    void handlePlay(const PlayRequest &request);
    void start(const PlayRequest &request, std::shared_ptr<const Clip> clip);
};

void SdlPlayer::Impl::start(const PlayRequest &request, std::shared_ptr<const Clip> clip)
{
    const qint64 end = !clip          ? 0
                       : request.loop ? std::numeric_limits<qint64>::max()
                                      : steadyNowNs() + qint64(clip->frames()) * 1'000'000'000 / kOutputRate;
    output->play(
        {request.owner, std::move(clip), float(request.volume) / 100.0f, request.loop, request.replace});
    if (request.replace)
        for (auto &each : untilNs)
            each = 0;
    until(request.owner) = std::max<qint64>(until(request.owner), end);
}

void SdlPlayer::Impl::handlePlay(const PlayRequest &request)
{
    if (request.replace)
        waiting.clear();
    const QByteArray &path = request.path;
    const ClipStore::Found found = store.find(path);
    if (found && *found) {
        qCDebug(lcSound).noquote() << path << "- in memoria";
        start(request, *found);
    } else if (found) {
        qCDebug(lcSound).noquote() << path << "- caricamento";
        if (request.replace)
            start(request, nullptr);   // the new request silences the old sound at once
        waiting.append(request);
    } else {
        qCDebug(lcSound).noquote() << path << "- suono predefinito:" << found.error();
        start(request, chime);
    }
}

void SdlPlayer::Impl::controlLoop()
{
    chime = makeChime();
    for (;;) {
        std::deque<Command> batch;
        bool collect = false;
        {
            std::unique_lock lock(mutex);
            wake.wait_for(lock, std::chrono::milliseconds(250),
                          [this] { return stopping || loadsDone || !queue.empty(); });
            if (stopping)
                break;
            batch.swap(queue);
            collect = std::exchange(loadsDone, false);
        }
        // What a later sound or stop in the same batch would cut at once is never started.
        const auto cut =
            std::find_if(batch.rbegin(), batch.rend(), [](const Command &c) { return c.cutsAll(); });
        const auto heardFrom = cut == batch.rend() ? batch.begin() : std::prev(cut.base());
        for (auto it = batch.begin(); it != batch.end(); ++it) {
            if (it->kind == Command::Preload)
                store.preload(it->request.path);
            else if (it < heardFrom)
                continue;
            else if (it->kind == Command::Play)
                handlePlay(it->request);
            else
                stop(it->request.owner, it->fadeMs);
        }
        if (collect) {
            const QList<QByteArray> taken = store.collect();
            for (const QByteArray &path : taken)
                for (const PlayRequest &request : std::exchange(waiting, {}))
                    if (request.path == path)
                        handlePlay(request);   // found in the store now, or loading again if it changed
                    else
                        waiting.append(request);
            if (tookIn)
                tookIn(taken);
        }
        loading = int(waiting.size());   // a sound asked for and still loading counts as sounding
        output->maintain();
    }
    output.reset();   // closes the device on the thread that opened it
    std::lock_guard lock(mutex);
    stopped = true;
    ended.notify_all();
}

SdlPlayer::SdlPlayer() : SdlPlayer(Settings {}) {}

SdlPlayer::SdlPlayer(Settings settings) : SdlPlayer(settings, makeAudioOutput(settings.output)) {}

SdlPlayer::SdlPlayer(Settings settings, std::unique_ptr<AudioOutput> output)
    : d(std::make_unique<Impl>(settings, std::move(output)))
{
    d->control = std::thread([impl = d.get()] { impl->controlLoop(); });
}

SdlPlayer::~SdlPlayer()
{
    std::unique_lock lock(d->mutex);
    d->stopping = true;
    d->wake.notify_all();
    // A sound system that does not answer (a device open that never returns) must not keep
    // Velmora from ending: after a moment the control thread is left to the process's end,
    // with all it uses.
    if (!d->ended.wait_for(lock, std::chrono::milliseconds(600), [this] { return d->stopped; })) {
        lock.unlock();
        qCWarning(lcSound).noquote() << Texts::tr(
            "Il sistema audio non risponde: Velmora termina senza attenderlo.");
        d->control.detach();
        (void)d.release();
        return;
    }
    lock.unlock();
    d->control.join();
}

void SdlPlayer::start(const PlayRequest &request) { d->push({Command::Play, request}); }

void SdlPlayer::preload(const QByteArray &path) { d->push({Command::Preload, {path}}); }

void SdlPlayer::stop(int owner, int fadeMs) { d->push({Command::Stop, {{}, owner}, fadeMs}); }

bool SdlPlayer::sounding() const
{
    const qint64 now = steadyNowNs();
    return d->loading > 0 || std::any_of(d->untilNs.begin(), d->untilNs.end(),
                                         [now](const auto &until) { return now < until; });
}
