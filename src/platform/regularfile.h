#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Reads a whole regular file without ever blocking on it: a FIFO, a device or a folder
// given by mistake is refused instead of hanging the caller. Files larger than
// maxBytes are refused unread.
struct FileBytes {
    std::optional<QByteArray> bytes;
    QString error;   // why not, in Italian
};
[[nodiscard]] FileBytes readRegularFile(const QByteArray &path, qint64 maxBytes);

// Calls `chunk` with successive pieces of a regular file, at most maxBytes in all;
// memory stays at one piece whatever the file's size.
template <typename F>
[[nodiscard]] QString readRegularFileInChunks(const QByteArray &path, qint64 maxBytes, F &&chunk);

// Why a file with this stat mode and size cannot be read as a regular file of at most
// maxBytes, or an empty string when it can.
[[nodiscard]] QString regularFileProblem(unsigned mode, qint64 size, qint64 maxBytes);

namespace regularfile_detail {
int openRegular(const QByteArray &path, qint64 maxBytes, QString *error, qint64 *size = nullptr);
qint64 readSome(int fd, char *buffer, qint64 size);
QString lastError();
void closeFd(int fd);
}   // namespace regularfile_detail

template <typename F>
QString readRegularFileInChunks(const QByteArray &path, qint64 maxBytes, F &&chunk)
{
    QString error;
    const int fd = regularfile_detail::openRegular(path, maxBytes, &error);
    if (fd < 0)
        return error;
    QByteArray buffer(64 * 1024, Qt::Uninitialized);
    qint64 total = 0;
    while (total < maxBytes) {
        const qint64 n = regularfile_detail::readSome(fd, buffer.data(),
                                                      std::min<qint64>(buffer.size(), maxBytes - total));
        if (n < 0)   // a read error part way must not pass for the end of the file
            error = regularfile_detail::lastError();
        if (n <= 0)
            break;
        total += n;
        chunk(QByteArrayView(buffer.constData(), n));
    }
    regularfile_detail::closeFd(fd);
    return error;
}
