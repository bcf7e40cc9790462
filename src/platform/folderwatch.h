#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>

#include <memory>

class QSocketNotifier;

// Tells when the names in one folder change (a WAV copied in, one deleted), through the
// kernel's inotify. Finding a folder to watch can hang for minutes on a network mount
// that does not answer, so it is done on a thread of its own: the caller never waits,
// and a folder that never answers is simply never watched. Paths are bytes, as on disk.
class FolderWatch : public QObject {
    Q_OBJECT
public:
    explicit FolderWatch(QObject *parent = nullptr);
    ~FolderWatch() override;

    // Watches `folder` instead of the one before (empty: none).
    void watch(const QByteArray &folder);

signals:
    // The names in the watched folder changed, or may have (the kernel's queue overflowed).
    void changed();

private:
    void readEvents();
    void setUp(quint64 generation, int wd);

    struct Descriptor;   // shared with threads still setting up a watch
    std::shared_ptr<Descriptor> m_inotify;
    QSocketNotifier *m_notifier = nullptr;
    int m_wd = -1;              // the watched folder's, once set up
    quint64 m_generation = 0;   // of the latest watch()
    int m_pending = 0;          // set-ups under way
    QList<int> m_stale;         // set up for a folder no longer wanted
};
