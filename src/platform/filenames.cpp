#include "filenames.h"

#include <QFile>
#include <QString>

#include <algorithm>
#include <memory>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

bool before(const QString &shownA, const QByteArray &a, const QString &shownB, const QByteArray &b)
{
    const int order = shownA.compare(shownB, Qt::CaseInsensitive);
    return order != 0 ? order < 0 : a < b;
}

// The entries of `folder` whose name passes `named` and that are of the kind `isKind`
// wants (a link counts as what it points to), sorted. The kind is known from the folder
// itself where the file system says it, so a folder of many files costs no stat each.
template <typename Named>
QList<QByteArray> listSorted(const QByteArray &folder, Named named, bool (*isKind)(mode_t),
                             unsigned char kind)
{
    QList<std::pair<QString, QByteArray>> found;
    const std::unique_ptr<DIR, int (*)(DIR *)> dir(::opendir(folder.constData()), &::closedir);
    while (dir) {
        const dirent *entry = ::readdir(dir.get());
        if (!entry)
            break;
        const QByteArray name(entry->d_name);
        if (name == "." || name == ".." || !named(name))
            continue;
        struct stat st {};
        if (entry->d_type == kind ||
            ((entry->d_type == DT_UNKNOWN || entry->d_type == DT_LNK) &&
             ::fstatat(::dirfd(dir.get()), entry->d_name, &st, 0) == 0 && isKind(st.st_mode)))
            found.append({QFile::decodeName(name), name});   // decoded once, for sorting
    }
    std::sort(found.begin(), found.end(),
              [](const auto &a, const auto &b) { return before(a.first, a.second, b.first, b.second); });
    QList<QByteArray> names;
    names.reserve(found.size());
    for (auto &[shown, bytes] : found)
        names.append(std::move(bytes));
    return names;
}

bool isFile(mode_t mode) { return S_ISREG(mode); }
bool isFolder(mode_t mode) { return S_ISDIR(mode); }

}   // namespace

QList<QByteArray> listWavFiles(const QByteArray &folder)
{
    return listSorted(
        folder, [](const QByteArray &name) { return name.size() >= 4 && name.right(4).toLower() == ".wav"; },
        &isFile, DT_REG);
}

QList<QByteArray> listSubfolders(const QByteArray &folder)
{
    return listSorted(
        folder, [](const QByteArray &) { return true; }, &isFolder, DT_DIR);
}

bool readsBefore(const QByteArray &a, const QByteArray &b)
{
    return before(QFile::decodeName(a), a, QFile::decodeName(b), b);
}
