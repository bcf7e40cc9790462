#pragma once

#include "platform/result.h"

#include <QByteArray>
#include <QString>

// The web page's access key: random, 192 bits, kept in the data folder in a file only its
// user may read, made at first use. Whoever has it may change the box's sounds, so it is
// compared in constant time, never logged, and a new one ends every session made with the
// old one: a session is the key's signature of a random number, checked against the key
// as it is now.

// The key file in `folder`.
[[nodiscard]] QString accessKeyPath(const QString &folder);
// The key kept in `folder`, made there first when there is none. A key file that others
// may read is refused (it may have been seen): a new key mends it.
[[nodiscard]] Result<QByteArray> accessKey(const QString &folder);
// A new key in `folder`, replacing the old one whole (or leaving it as it was).
[[nodiscard]] Result<QByteArray> newAccessKey(const QString &folder);

// Whether `given` is `key`, in a time that does not depend on where they differ.
[[nodiscard]] bool sameKey(const QByteArray &given, const QByteArray &key);

// A new session's cookie value, and whether a cookie is one of `key`'s sessions.
[[nodiscard]] QByteArray newSession(const QByteArray &key);
[[nodiscard]] bool isSession(const QByteArray &cookie, const QByteArray &key);
