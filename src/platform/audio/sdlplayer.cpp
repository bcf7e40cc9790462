#include "sdlplayer.h"

#include "outputchoice.h"
#include "platform/texts.h"
#include "platform/timing.h"
#include "soundlog.h"

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
    QByteArray path;
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
    std::atomic<qint64> soundingUntilNs {0};   // steady clock

    // The control thread's own.
    std::unique_ptr<AudioOutput> output;
    std::function<void(const QList<QByteArray> &)> tookIn;
    std::shared_ptr<const Clip> chime;
    std::optional<QByteArray> waiting;   // the latest request, while its file loads
    ClipStore store;                     // after what its loader's callback uses
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
    void handlePlay(const QByteArray &path);
    void start(const std::shared_ptr<const Clip> &clip);
};

void SdlPlayer::Impl::start(const std::shared_ptr<const Clip> &clip)
{
    output->start(clip);
    soundingUntilNs = clip ? steadyNowNs() + qint64(clip->frames()) * 1'000'000'000 / kOutputRate : 0;
}

void SdlPlayer::Impl::handlePlay(const QByteArray &path)
{
    waiting.reset();
    const ClipStore::Found found = store.find(path);
    if (found && *found) {
        qCDebug(lcSound).noquote() << path << "- in memoria";
        start(*found);
    } else if (found) {
        qCDebug(lcSound).noquote() << path << "- caricamento";
        output->start(nullptr);   // the new request silences the old sound at once
        soundingUntilNs = std::numeric_limits<qint64>::max();
        waiting = path;
    } else {
        qCDebug(lcSound).noquote() << path << "- suono predefinito:" << found.error();
        start(chime);
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
        // Only the newest play or stop can be heard: older ones in the same batch are skipped.
        const auto newest = std::find_if(batch.rbegin(), batch.rend(),
                                         [](const Command &c) { return c.kind != Command::Preload; });
        for (auto it = batch.begin(); it != batch.end(); ++it) {
            if (it->kind == Command::Preload)
                store.preload(it->path);
            else if (newest == batch.rend() || &*it != &*newest)
                continue;
            else if (it->kind == Command::Play)
                handlePlay(it->path);
            else {   // a stop
                waiting.reset();
                start(nullptr);
            }
        }
        if (collect) {
            const QList<QByteArray> taken = store.collect();
            for (const QByteArray &path : taken)
                if (waiting == path)
                    handlePlay(
                        path);   // found in the store now, or loading again if the file changed meanwhile
            if (tookIn)
                tookIn(taken);
        }
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

void SdlPlayer::play(const QByteArray &path) { d->push({Command::Play, path}); }

void SdlPlayer::preload(const QByteArray &path) { d->push({Command::Preload, path}); }

void SdlPlayer::stop() { d->push({Command::Stop, {}}); }

bool SdlPlayer::sounding() const { return steadyNowNs() < d->soundingUntilNs; }
