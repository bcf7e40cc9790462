#include "datafolder.h"

#include <QDir>

QString dataFolder(const QString &programFolder, bool programFolderWritable, const QString &home)
{
    if (programFolderWritable || home.isEmpty() || QDir(home) == QDir::root())
        return programFolder;
    return QDir(home).filePath(QStringLiteral("Velmora"));
}
