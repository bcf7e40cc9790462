#pragma once

#include "platform/result.h"

#include <QSslConfiguration>

// HTTPS as --web-cert and --web-cert-key ask: the certificate (PEM, the server's first,
// then any chain) and its private key (PEM, RSA or EC, not protected by a passphrase: the
// box starts unattended). Or why not, naming the file.
[[nodiscard]] Result<QSslConfiguration> httpsFrom(const QString &certificate, const QString &key);
