#pragma once

#include "platform/result.h"

#include <QString>

// The name a WAV sent from a browser is kept under in the data folder: a plain file name
// there, or refused with the reason. Never a path (no "/" or "\", no "." or ".."), no
// control character, not hidden, and ending in .wav (so never CONFIG.TXT nor the access
// key), short enough for any file system (255 bytes).
[[nodiscard]] Result<QString> uploadName(const QString &asked);

// An upload kept at `path` (its name checked): decoded first, so that only a WAV Velmora can
// play is kept, then written whole or not at all. Slow for a large file: not on the tick's
// thread.
[[nodiscard]] Done keepUpload(const QByteArray &body, const QString &path, const QString &name);
