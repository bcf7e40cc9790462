#pragma once

#include "wavclip.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <functional>
#include <memory>

// Decoded clips by file, ready to start at once. A clip is decoded once, by a loader
// thread of the store's own, and kept while its file is unchanged (same size and
// modification time); the least recently used are dropped past `cacheBytes`.
//
// find, preload and collect are called from one thread (the player's).
class ClipStore {
public:
    struct Settings {
        ClipLimits limits;
        std::size_t cacheBytes = std::size_t(256) << 20;
    };
    // `loaded` is called from the loader's thread each time a file has been decoded (or
    // has failed): the owner then calls collect().
    ClipStore(Settings settings, std::function<void()> loaded);
    // Stops reading at once; a conversion under way is left to finish on its own.
    ~ClipStore();

    // The clip, ready; null while it is being decoded; or why the file cannot be played.
    using Found = Result<std::shared_ptr<const Clip>>;
    [[nodiscard]] Found find(const QByteArray &path);
    void preload(const QByteArray &path);
    // Takes in the files decoded since the last call; returns their paths.
    QList<QByteArray> collect();

private:
    struct Shared;
    struct Cache;
    std::shared_ptr<Shared> m_shared;   // with the loader thread, which may outlive the store
    std::unique_ptr<Cache> m_cache;
};
