#include "clipstore.h"

#include "platform/regularfile.h"
#include "platform/systemreason.h"
#include "soundlog.h"

#include <QHash>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <set>
#include <thread>

#include <cerrno>
#include <malloc.h>
#include <sys/stat.h>

namespace {

struct FileStamp {
    qint64 size = -1;
    qint64 mtimeNs = -1;
    bool operator==(const FileStamp &) const = default;
};

struct Job {
    QByteArray path;
    FileStamp stamp;
    Decoded result = failure(QString());
};

}   // namespace

struct ClipStore::Shared {
    Settings settings;
    std::function<void()> loaded;
    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable ended;
    std::deque<Job> queue;
    std::deque<Job> done;
    bool stopping = false;
    bool loaderEnded = false;
    std::atomic<bool> cancel {false};   // read by the loader between pieces of a file

    void loaderLoop()
    {
        std::unique_lock lock(mutex);
        for (;;) {
            wake.wait(lock, [this] { return stopping || !queue.empty(); });
            if (stopping)
                break;
            Job job = std::move(queue.front());
            queue.pop_front();
            lock.unlock();
            job.result = readWavFile(job.path, settings.limits, &cancel);
            lock.lock();
            if (stopping)
                break;   // nobody to tell
            done.push_back(std::move(job));
            loaded();
        }
        loaderEnded = true;
        ended.notify_all();
    }
};

struct ClipStore::Cache {
    struct Entry {
        FileStamp stamp;
        Decoded result;
        quint64 lastUse = 0;
    };
    QHash<QByteArray, Entry> entries;
    std::size_t bytes = 0;
    quint64 uses = 0;
    std::set<QByteArray> loading;
    std::thread loader;
};

ClipStore::ClipStore(Settings settings, std::function<void()> loaded)
    : m_shared(std::make_shared<Shared>()), m_cache(std::make_unique<Cache>())
{
    m_shared->settings = settings;
    m_shared->loaded = std::move(loaded);
    // Reading and converting a file takes about its size in scratch memory. With a fixed
    // threshold every such buffer gets pages of its own, returned when freed; otherwise
    // the allocator raises the threshold and keeps the freed memory for good.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
    m_cache->loader = std::thread([shared = m_shared] { shared->loaderLoop(); });
}

ClipStore::~ClipStore()
{
    std::unique_lock lock(m_shared->mutex);
    m_shared->stopping = true;
    m_shared->cancel = true;
    m_shared->wake.notify_all();
    // A file being read stops at its next piece; a conversion cannot be interrupted, and
    // nobody waits for it: the loader then finishes on its own, holding what it uses.
    if (m_shared->ended.wait_for(lock, std::chrono::milliseconds(100),
                                 [this] { return m_shared->loaderEnded; })) {
        lock.unlock();
        m_cache->loader.join();
    } else {
        m_cache->loader.detach();
    }
}

namespace {

Result<FileStamp> checkFile(const QByteArray &path, qint64 maxBytes)
{
    struct stat st {};
    if (::stat(path.constData(), &st) != 0)
        return failure(systemReason(errno));
    if (QString problem = regularFileProblem(st.st_mode, st.st_size, maxBytes); !problem.isEmpty())
        return failure(problem);
    return FileStamp {qint64(st.st_size), qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

}   // namespace

ClipStore::Found ClipStore::find(const QByteArray &path)
{
    const Result<FileStamp> stamp = checkFile(path, m_shared->settings.limits.maxFileBytes);
    if (!stamp)
        return failure(stamp.error());
    if (auto it = m_cache->entries.find(path); it != m_cache->entries.end() && it->stamp == *stamp) {
        it->lastUse = ++m_cache->uses;
        return it->result;
    }
    if (m_cache->loading.insert(path).second) {
        std::lock_guard lock(m_shared->mutex);
        m_shared->queue.push_back({path, *stamp});
        m_shared->wake.notify_one();
    }
    return std::shared_ptr<const Clip>();   // being decoded
}

void ClipStore::preload(const QByteArray &path) { (void)find(path); }

QList<QByteArray> ClipStore::collect()
{
    std::deque<Job> done;
    {
        std::lock_guard lock(m_shared->mutex);
        done.swap(m_shared->done);
    }
    QList<QByteArray> paths;
    Cache &cache = *m_cache;
    for (Job &job : done) {
        cache.loading.erase(job.path);
        if (!job.result)
            qCDebug(lcSound).noquote() << job.path << "non riproducibile:" << job.result.error();
        if (auto old = cache.entries.find(job.path); old != cache.entries.end()) {
            cache.bytes -= old->result ? (*old->result)->bytes() : 0;
            cache.entries.erase(old);
        }
        cache.bytes += job.result ? (*job.result)->bytes() : 0;
        cache.entries.insert(job.path, {job.stamp, std::move(job.result), ++cache.uses});
        paths.append(job.path);
    }
    // Failed entries cost almost nothing but are still capped, so that a long run of
    // distinct bad names cannot grow the cache without end. A clip that is playing stays
    // alive through the output's own reference.
    constexpr qsizetype kMaxEntries = 256;
    while (cache.entries.size() > 1 &&
           (cache.bytes > m_shared->settings.cacheBytes || cache.entries.size() > kMaxEntries)) {
        auto oldest = cache.entries.begin();
        for (auto it = cache.entries.begin(); it != cache.entries.end(); ++it)
            if (it->lastUse < oldest->lastUse)
                oldest = it;
        cache.bytes -= oldest->result ? (*oldest->result)->bytes() : 0;
        cache.entries.erase(oldest);
    }
    return paths;
}
