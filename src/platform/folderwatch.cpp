#include "folderwatch.h"

#include "background.h"

#include <QSocketNotifier>

#include <array>
#include <cstring>
#include <sys/inotify.h>
#include <unistd.h>

struct FolderWatch::Descriptor {
    const int fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

namespace {
constexpr uint32_t kNamesChange =
    IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
}   // namespace

FolderWatch::FolderWatch(QObject *parent) : QObject(parent), m_inotify(std::make_shared<Descriptor>())
{
    if (m_inotify->fd < 0)
        return;   // out of inotify instances: the list is still right whenever a folder is opened
    m_notifier = new QSocketNotifier(m_inotify->fd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &FolderWatch::readEvents);
}

FolderWatch::~FolderWatch() = default;

void FolderWatch::watch(const QByteArray &folder)
{
    ++m_generation;
    if (m_inotify->fd < 0)
        return;
    if (m_wd >= 0)
        ::inotify_rm_watch(m_inotify->fd, m_wd);   // by number: the folder is not looked up again
    m_wd = -1;
    if (folder.isEmpty())
        return;
    ++m_pending;
    runInBackground(
        this,
        [inotify = m_inotify, folder] {
            return ::inotify_add_watch(inotify->fd, folder.constData(), kNamesChange);
        },
        [this, generation = m_generation](int wd) { setUp(generation, wd); });
}

void FolderWatch::setUp(quint64 generation, int wd)
{
    --m_pending;
    const bool current = generation == m_generation;
    if (current)
        m_wd = wd;   // -1: cannot be watched; its list is right as of its opening
    else if (wd >= 0)
        m_stale.append(wd);
    // The kernel gives one folder one number: a stale one may be the folder wanted now,
    // so the stale go only once every set-up has come back.
    if (m_pending == 0) {
        for (const int stale : std::as_const(m_stale))
            if (stale != m_wd)
                ::inotify_rm_watch(m_inotify->fd, stale);
        m_stale.clear();
    }
    // A name that changed after the caller listed the folder and before the watch was set
    // up, or before this answer came (its events were not yet known as this folder's), is
    // told by one change more: from here on the kernel tells each.
    if (current && wd >= 0)
        emit changed();
}

void FolderWatch::readEvents()
{
    bool news = false;
    alignas(inotify_event) std::array<char, 4096> buffer;
    for (;;) {
        const ssize_t got = ::read(m_inotify->fd, buffer.data(), buffer.size());
        if (got <= 0)
            break;
        for (ssize_t at = 0; at < got;) {
            inotify_event event;
            std::memcpy(&event, buffer.data() + at, sizeof event);
            at += ssize_t(sizeof event + event.len);
            if (event.mask & IN_Q_OVERFLOW)
                news = true;
            else if (m_wd >= 0 && event.wd == m_wd) {
                news = true;
                if (event.mask & IN_IGNORED)
                    m_wd = -1;   // the folder is gone
            }
        }
    }
    if (news)
        emit changed();
}
