#pragma once

#include <QByteArray>
#include <QList>

// The names of the WAV files (".wav" in any letter case) in a folder, as the bytes they
// have on disk, sorted as a person reads them. A name that is not valid in the system's
// encoding is listed too and keeps its bytes, so that the file it names can be found.
// An unreadable folder lists nothing. May block as long as the folder's file system does.
[[nodiscard]] QList<QByteArray> listWavFiles(const QByteArray &folder);
