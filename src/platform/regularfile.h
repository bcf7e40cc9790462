#pragma once

#include "platform/result.h"

#include <QByteArray>
#include <QString>

// Reads a whole regular file without ever blocking on it: a FIFO, a device or a folder
// given by mistake is refused unopened instead of hanging the caller. Files larger than
// maxBytes are refused unread.
[[nodiscard]] Result<QByteArray> readRegularFile(const QByteArray &path, qint64 maxBytes);

// Calls `chunk` with successive pieces of a regular file, at most maxBytes in all;
// memory stays at one piece whatever the file's size.
template <typename F>
[[nodiscard]] Done readRegularFileInChunks(const QByteArray &path, qint64 maxBytes, F &&chunk);

// Why a file with this stat mode and size cannot be read as a regular file of at most
// maxBytes, or an empty string when it can.
[[nodiscard]] QString regularFileProblem(unsigned mode, qint64 size, qint64 maxBytes);

namespace regularfile_detail {
struct OpenFile {
    int fd;
    qint64 size;
};
Result<OpenFile> openRegular(const QByteArray &path, qint64 maxBytes);
qint64 readSome(int fd, char *buffer, qint64 size);
QString lastError();
void closeFd(int fd);
}   // namespace regularfile_detail

template <typename F>
Done readRegularFileInChunks(const QByteArray &path, qint64 maxBytes, F &&chunk)
{
    const Result<regularfile_detail::OpenFile> file = regularfile_detail::openRegular(path, maxBytes);
    if (!file)
        return failure(file.error());
    QString error;
    QByteArray buffer(64 * 1024, Qt::Uninitialized);
    qint64 total = 0;
    while (total < maxBytes) {
        const qint64 n = regularfile_detail::readSome(file->fd, buffer.data(),
                                                      std::min<qint64>(buffer.size(), maxBytes - total));
        if (n < 0)   // a read error part way must not pass for the end of the file
            error = regularfile_detail::lastError();
        if (n <= 0)
            break;
        total += n;
        chunk(QByteArrayView(buffer.constData(), n));
    }
    regularfile_detail::closeFd(file->fd);
    if (!error.isEmpty())
        return failure(error);
    return kDone;
}
