#pragma once

#include <QString>

// Where CONFIG.TXT and the sounds live: the program's own folder, as they always have (a
// copied folder, scripts/install's, a build folder), unless the user may not write there or
// it is the system's (an installed package's /usr/bin, where no one puts sounds). Then
// the user's own ~/Velmora, laid out as scripts/install lays it out. Without a home, the
// program's folder all the same (read only: a save says why it failed).
[[nodiscard]] QString dataFolder(const QString &programFolder, bool programFolderWritable,
                                 const QString &home);
