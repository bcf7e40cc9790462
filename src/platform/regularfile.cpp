#include "regularfile.h"

#include "platform/systemreason.h"
#include "platform/texts.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

QString regularFileProblem(unsigned mode, qint64 size, qint64 maxBytes)
{
    if (S_ISDIR(mode))
        return Texts::tr("è una cartella");
    if (!S_ISREG(mode))
        return Texts::tr("non è un file normale");
    if (maxBytes >= 0 && size > maxBytes) {
        const bool mebibytes = maxBytes >= (1 << 20) && maxBytes % (1 << 20) == 0;
        return mebibytes ? Texts::tr("file troppo grande (oltre %1 MiB)").arg(maxBytes >> 20)
                         : Texts::tr("file troppo grande (oltre %1 byte)").arg(maxBytes);
    }
    return {};
}

namespace regularfile_detail {

Result<OpenFile> openRegular(const QByteArray &path, qint64 maxBytes)
{
    // Looked at before it is opened: opening a device node can act on its own (a watchdog
    // starts counting down), and a FIFO would wait for a writer. Looked at again once
    // open, in case another file took its place meanwhile.
    struct stat st {};
    if (::stat(path.constData(), &st) != 0)
        return failure(lastError());
    if (QString problem = regularFileProblem(st.st_mode, st.st_size, maxBytes); !problem.isEmpty())
        return failure(problem);
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return failure(lastError());
    QString problem =
        ::fstat(fd, &st) != 0 ? lastError() : regularFileProblem(st.st_mode, st.st_size, maxBytes);
    if (!problem.isEmpty()) {
        ::close(fd);
        return failure(problem);
    }
    return OpenFile {fd, qint64(st.st_size)};
}

qint64 readSome(int fd, char *buffer, qint64 size)
{
    for (;;) {
        const ssize_t n = ::read(fd, buffer, std::size_t(size));
        if (n < 0 && errno == EINTR)
            continue;
        return n;
    }
}

QString lastError() { return systemReason(errno); }

void closeFd(int fd) { ::close(fd); }

}   // namespace regularfile_detail

Result<QByteArray> readRegularFile(const QByteArray &path, qint64 maxBytes)
{
    QByteArray bytes;
    const Done read =
        readRegularFileInChunks(path, maxBytes, [&bytes](QByteArrayView chunk) { bytes.append(chunk); });
    if (!read)
        return failure(read.error());
    return bytes;
}
