#include "filenames.h"

#include <QFile>

#include <algorithm>
#include <memory>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

QList<QByteArray> listWavFiles(const QByteArray &folder)
{
    QList<QByteArray> names;
    const std::unique_ptr<DIR, int (*)(DIR *)> dir(::opendir(folder.constData()), &::closedir);
    if (!dir)
        return names;
    while (const dirent *entry = ::readdir(dir.get())) {
        const QByteArray name(entry->d_name);
        if (name.size() < 4 || name.right(4).toLower() != ".wav")
            continue;
        struct stat st {};   // a link to a file counts as the file
        if (::fstatat(::dirfd(dir.get()), entry->d_name, &st, 0) == 0 && S_ISREG(st.st_mode))
            names.append(name);
    }
    std::sort(names.begin(), names.end(), [](const QByteArray &a, const QByteArray &b) {
        return QFile::decodeName(a).compare(QFile::decodeName(b), Qt::CaseInsensitive) < 0;
    });
    return names;
}
