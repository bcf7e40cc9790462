#include "inputdevice.h"

#include "devicenode.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <libevdev/libevdev.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>

namespace {

class EvdevDevice : public InputDevice {
public:
    EvdevDevice(int fd, libevdev *dev) : m_fd(fd), m_dev(dev) {}
    ~EvdevDevice() override
    {
        libevdev_free(m_dev);
        ::close(m_fd);
    }
    int next(input_event *event, bool resync) override
    {
        const int r =
            libevdev_next_event(m_dev, resync ? LIBEVDEV_READ_FLAG_SYNC : LIBEVDEV_READ_FLAG_NORMAL, event);
        if (r == -EAGAIN)
            return Empty;
        if (r == LIBEVDEV_READ_STATUS_SYNC)
            return resync ? Event : Dropped;   // while resyncing, SYNC marks each catch-up event
        return r == LIBEVDEV_READ_STATUS_SUCCESS ? Event : r;
    }
    bool isDown(int code) const override { return libevdev_get_event_value(m_dev, EV_KEY, uint(code)) != 0; }
    int descriptor() const override { return m_fd; }
    QString name() const { return QString::fromUtf8(libevdev_get_name(m_dev)); }
    QString identity() const override
    {
        const char *phys = libevdev_get_phys(m_dev);
        return QStringLiteral("%1, %2, %3:%4")
            .arg(name(), QString::fromUtf8(phys ? phys : ""))
            .arg(libevdev_get_id_vendor(m_dev), 4, 16, QLatin1Char('0'))
            .arg(libevdev_get_id_product(m_dev), 4, 16, QLatin1Char('0'));
    }
    // Event times on the clock the timing log uses, so a press can be followed to its sound.
    void useSteadyClock() { libevdev_set_clock_id(m_dev, CLOCK_MONOTONIC); }
    QList<int> keys() const override
    {
        QList<int> codes;
        for (int code = 1; code <= KEY_MAX; ++code)
            if (libevdev_has_event_code(m_dev, EV_KEY, uint(code)))
                codes << code;
        return codes;
    }

private:
    int m_fd;
    libevdev *m_dev;
};

// Each device's /dev/input/by-id link, preferring the "-event-" one of a device that has
// several (a joystick also has a "-joystick" link to its js node).
QHash<QString, QString> byIdLinks()
{
    QHash<QString, QString> links;
    const QDir byId(QStringLiteral("/dev/input/by-id"));
    for (const QFileInfo &link : byId.entryInfoList(QDir::System | QDir::Files, QDir::Name)) {
        QString &found = links[link.canonicalFilePath()];
        if (found.isEmpty() || link.fileName().contains(QLatin1String("-event-")))
            found = link.filePath();
    }
    return links;
}

// Read-only and non-blocking; or the errno why it cannot be opened.
Result<std::unique_ptr<EvdevDevice>, int> openEvdev(const QByteArray &path)
{
    if (const int r = checkDeviceNode(path, DeviceKind::InputDevice); r < 0)   // never open another kind
        return failure(-r);
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return failure(errno);
    libevdev *dev = nullptr;
    if (const int r = libevdev_new_from_fd(fd, &dev); r < 0) {
        ::close(fd);
        return failure(-r);
    }
    return std::make_unique<EvdevDevice>(fd, dev);
}

}   // namespace

Result<std::unique_ptr<InputDevice>, int> openInputDevice(const QByteArray &path)
{
    auto device = openEvdev(path);
    if (!device)
        return failure(device.error());
    (*device)->useSteadyClock();
    return std::unique_ptr<InputDevice>(std::move(*device));
}

int keyCodeFromName(const QString &name)
{
    return libevdev_event_code_from_name(EV_KEY, name.toLatin1().constData());
}

QString keyCodeName(int code)
{
    const char *name =
        code >= 0 && code <= KEY_MAX ? libevdev_event_code_get_name(EV_KEY, uint(code)) : nullptr;
    return name ? QString::fromLatin1(name) : QString();
}

QList<InputDeviceInfo> listInputDevices()
{
    QStringList nodes =
        QDir(QStringLiteral("/dev/input")).entryList({QStringLiteral("event*")}, QDir::System);
    std::sort(nodes.begin(), nodes.end(),
              [](const QString &a, const QString &b) { return a.mid(5).toInt() < b.mid(5).toInt(); });
    const QHash<QString, QString> links = byIdLinks();
    QList<InputDeviceInfo> devices;
    for (const QString &entry : std::as_const(nodes)) {
        InputDeviceInfo info;
        info.node = QStringLiteral("/dev/input/") + entry;
        info.byId = links.value(info.node);
        if (const auto device = openEvdev(QFile::encodeName(info.node))) {
            info.name = (*device)->name();
            info.keys = (*device)->keys();
        } else {
            info.error = device.error();
        }
        if (info.error || !info.keys.isEmpty())
            devices << info;
    }
    return devices;
}
