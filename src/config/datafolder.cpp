#include "datafolder.h"

#include <QDir>

namespace {

// The system's program folders are the package manager's, even for root, who may write
// there: CONFIG.TXT in /usr/bin would be a stray file that no package owns.
bool systemProgramFolder(const QString &folder)
{
    return folder.startsWith(QLatin1String("/usr/")) || folder == QLatin1String("/bin") ||
           folder == QLatin1String("/sbin");
}

}   // namespace

QString dataFolder(const QString &programFolder, bool programFolderWritable, const QString &home)
{
    const bool usersFolder = programFolderWritable && !systemProgramFolder(programFolder);
    if (usersFolder || home.isEmpty() || QDir(home) == QDir::root())
        return programFolder;
    // A relative HOME (a script's HOME=somewhere) is taken from the folder Velmora started
    // in, once: the program later works from inside the data folder, where it would mean
    // another place.
    return QDir::cleanPath(QDir(home).absoluteFilePath(QStringLiteral("Velmora")));
}
