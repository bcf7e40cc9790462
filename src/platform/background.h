#pragma once

#include <QMetaObject>
#include <QObject>

#include <memory>
#include <mutex>
#include <thread>

// Runs `work` on a thread of its own and hands its result to `done` on the receiver's
// thread. For listings that can hang (a dead network mount blocks statfs and readdir for
// minutes): the window never waits for them, and neither does the program's exit - the
// thread is not joined, and a result that comes after the receiver is gone is dropped.
template <typename Work, typename Done>
void runInBackground(QObject *receiver, Work work, Done done)
{
    struct Guard {
        std::mutex mutex;
        QObject *receiver = nullptr;
        QMetaObject::Connection watch;
    };
    auto guard = std::make_shared<Guard>();
    guard->receiver = receiver;
    guard->watch = QObject::connect(receiver, &QObject::destroyed, [guard] {
        std::lock_guard lock(guard->mutex);
        guard->receiver = nullptr;
    });
    std::thread([guard, work = std::move(work), done = std::move(done)]() mutable {
        auto result = work();
        std::lock_guard lock(guard->mutex);
        if (!guard->receiver)
            return;
        // Posted while the receiver is known to be alive; Qt drops it if the receiver
        // is destroyed before it is delivered.
        QMetaObject::invokeMethod(
            guard->receiver,
            [guard, done = std::move(done), result = std::move(result)]() mutable {
                QObject::disconnect(guard->watch);
                done(std::move(result));
            },
            Qt::QueuedConnection);
    }).detach();
}
