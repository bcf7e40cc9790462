#pragma once

#include <QByteArray>
#include <QList>

// Names are listed as the bytes they have on disk, sorted as a person reads them. A name
// that is not valid in the system's encoding is listed too and keeps its bytes, so that
// what it names can be found. An unreadable folder lists nothing. Both may block as long
// as the folder's file system does: never call them on the window's thread.

// The WAV files (".wav" in any letter case) in a folder; a link to a file counts.
[[nodiscard]] QList<QByteArray> listWavFiles(const QByteArray &folder);
// The folders in a folder; a link to a folder counts.
[[nodiscard]] QList<QByteArray> listSubfolders(const QByteArray &folder);
// The order both lists are in: letter case aside, as the names read.
[[nodiscard]] bool readsBefore(const QByteArray &a, const QByteArray &b);
