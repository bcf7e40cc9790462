#include "gpiochip.h"

#include "devicenode.h"

#include <QCollator>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/gpio.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

// An open descriptor, closed when it goes.
struct Fd {
    int fd = -1;
    explicit Fd(int f) : fd(f) {}
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    ~Fd()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

Result<int, int> openChip(const QByteArray &path)
{
    if (const int r = checkDeviceNode(path, DeviceKind::GpioChip); r < 0)   // never open another kind
        return failure(-r);
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return failure(errno);
    return fd;
}

QString text(const char *field, std::size_t size)
{
    return QString::fromUtf8(field, qsizetype(strnlen(field, size)));
}

class ChipLines : public GpioLines {
public:
    ChipLines(int fd, const std::array<int, 4> &offsets) : m_fd(fd)
    {
        std::copy(offsets.begin(), offsets.end(), m_offsets.begin());
    }

    Result<std::array<bool, 4>, int> values() override
    {
        gpio_v2_line_values values {};
        values.mask = 0xf;
        if (::ioctl(m_fd.fd, GPIO_V2_LINE_GET_VALUES_IOCTL, &values) != 0)
            return failure(errno);
        std::array<bool, 4> out {};
        for (std::size_t i = 0; i < out.size(); ++i)
            out[i] = (values.bits >> i) & 1;   // logical: the request says which level is active
        return out;
    }

    Result<Edges, int> edges() override
    {
        Edges out;
        std::array<gpio_v2_line_event, 16> events {};
        for (;;) {
            const ssize_t got = ::read(m_fd.fd, events.data(), sizeof events);
            if (got < 0) {
                if (errno == EAGAIN || errno == EINTR)
                    break;
                return failure(errno);
            }
            if (got == 0)
                return failure(ENODEV);
            for (std::size_t i = 0; i < std::size_t(got) / sizeof(gpio_v2_line_event); ++i) {
                const gpio_v2_line_event &e = events[i];
                // Numbered from 1 across the request's lines: a gap is edges the kernel dropped.
                out.lost = out.lost || e.seqno != m_nextSeqno;
                m_nextSeqno = e.seqno + 1;
                const int line =
                    int(std::find(m_offsets.begin(), m_offsets.end(), e.offset) - m_offsets.begin());
                if (line < 4)   // rising is inactive to active, as the request's polarity says
                    out.edges.append({line, e.id == GPIO_V2_LINE_EVENT_RISING_EDGE, qint64(e.timestamp_ns)});
            }
            if (std::size_t(got) < sizeof events)
                break;
        }
        return out;
    }

    int descriptor() const override { return m_fd.fd; }

private:
    Fd m_fd;
    std::array<__u32, 4> m_offsets {};   // the lines' numbers on the chip, inputs 1 to 4
    __u32 m_nextSeqno = 1;
};

}   // namespace

Result<std::unique_ptr<GpioLines>, int> requestGpioLines(const QByteArray &chip,
                                                         const std::array<int, 4> &offsets, GpioBias bias)
{
    const Result<int, int> opened = openChip(chip);
    if (!opened)
        return failure(opened.error());
    const Fd chipFd(*opened);
    gpio_v2_line_request request {};
    for (std::size_t i = 0; i < offsets.size(); ++i)
        request.offsets[i] = __u32(offsets[i]);
    request.num_lines = 4;
    std::strncpy(request.consumer, "velmora", sizeof request.consumer - 1);
    // Both edges, each with the kernel's own time (the steady clock); no debounce, which
    // would hold every press back by its period: bounce is the press rules' to filter.
    request.config.flags =
        GPIO_V2_LINE_FLAG_INPUT | GPIO_V2_LINE_FLAG_EDGE_RISING | GPIO_V2_LINE_FLAG_EDGE_FALLING;
    switch (bias) {
    case GpioBias::PullUp:
        request.config.flags |= GPIO_V2_LINE_FLAG_BIAS_PULL_UP | GPIO_V2_LINE_FLAG_ACTIVE_LOW;
        break;
    case GpioBias::PullDown:
        request.config.flags |= GPIO_V2_LINE_FLAG_BIAS_PULL_DOWN;
        break;
    case GpioBias::None:
        request.config.flags |= GPIO_V2_LINE_FLAG_BIAS_DISABLED | GPIO_V2_LINE_FLAG_ACTIVE_LOW;
        break;
    }
    request.event_buffer_size = 256;   // many bounces between two reads
    if (::ioctl(chipFd.fd, GPIO_V2_GET_LINE_IOCTL, &request) != 0)
        return failure(errno);
    const int lineFd = request.fd;
    ::fcntl(lineFd, F_SETFL, ::fcntl(lineFd, F_GETFL) | O_NONBLOCK);
    return std::unique_ptr<GpioLines>(std::make_unique<ChipLines>(lineFd, offsets));
}

Result<GpioChipInfo, int> readGpioChip(const QByteArray &path)
{
    const Result<int, int> opened = openChip(path);
    if (!opened)
        return failure(opened.error());
    const Fd chip(*opened);
    gpiochip_info info {};
    if (::ioctl(chip.fd, GPIO_GET_CHIPINFO_IOCTL, &info) != 0)
        return failure(errno);
    GpioChipInfo out {QFile::decodeName(path),
                      text(info.name, sizeof info.name),
                      text(info.label, sizeof info.label),
                      {},
                      0};
    for (__u32 offset = 0; offset < info.lines; ++offset) {
        gpio_v2_line_info line {};
        line.offset = offset;
        if (::ioctl(chip.fd, GPIO_V2_GET_LINEINFO_IOCTL, &line) != 0)
            return failure(errno);
        out.lines.append({text(line.name, sizeof line.name), text(line.consumer, sizeof line.consumer),
                          (line.flags & GPIO_V2_LINE_FLAG_USED) != 0});
    }
    return out;
}

QList<GpioChipInfo> listGpioChips()
{
    QList<GpioChipInfo> chips;
    const QDir dev(QStringLiteral("/dev"));
    for (const QString &name : dev.entryList({QStringLiteral("gpiochip*")}, QDir::System)) {
        const QByteArray path = QFile::encodeName(dev.filePath(name));
        const Result<GpioChipInfo, int> chip = readGpioChip(path);
        chips << (chip ? *chip : GpioChipInfo {dev.filePath(name), name, {}, {}, chip.error()});
    }
    QCollator numbers;   // gpiochip2 before gpiochip10
    numbers.setNumericMode(true);
    std::sort(chips.begin(), chips.end(), [&numbers](const GpioChipInfo &a, const GpioChipInfo &b) {
        return numbers.compare(a.path, b.path) < 0;
    });
    return chips;
}
