#pragma once

#include <QtGlobal>

#include <sys/eventfd.h>
#include <unistd.h>

// How a source's own thread wakes the window: it raises this descriptor, the window's
// watch on it fires, and the window clears it when it reads the source.
class Wakeup {
public:
    Wakeup() : m_fd(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC)) {}
    ~Wakeup()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Wakeup(const Wakeup &) = delete;
    Wakeup &operator=(const Wakeup &) = delete;

    [[nodiscard]] int descriptor() const { return m_fd; }
    void raise()
    {
        const quint64 one = 1;
        (void)!::write(m_fd, &one, sizeof one);
    }
    void clear()
    {
        quint64 count;
        while (::read(m_fd, &count, sizeof count) > 0) {}
    }

private:
    const int m_fd;
};
