#include "webtls.h"

#include "platform/texts.h"

#include <QFile>
#include <QSslCertificate>
#include <QSslKey>

namespace {

Result<QByteArray> contentsOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(Texts::tr("impossibile leggere %1: %2").arg(path, file.errorString()));
    return file.read(1 << 20);
}

}   // namespace

Result<QSslConfiguration> httpsFrom(const QString &certificate, const QString &key)
{
    if (!QSslSocket::supportsSsl())
        return failure(Texts::tr("HTTPS non disponibile: manca la libreria TLS (%1); installare "
                                 "libssl3 o togliere --web-cert")
                           .arg(QSslSocket::sslLibraryBuildVersionString()));
    const Result<QByteArray> chainText = contentsOf(certificate);
    if (!chainText)
        return failure(chainText.error());
    const QList<QSslCertificate> chain = QSslCertificate::fromData(*chainText, QSsl::Pem);
    if (chain.isEmpty() || chain.constFirst().isNull())
        return failure(
            Texts::tr("%1 non è un certificato PEM (-----BEGIN CERTIFICATE-----)").arg(certificate));
    const Result<QByteArray> keyText = contentsOf(key);
    if (!keyText)
        return failure(keyText.error());
    QSslKey privateKey;
    for (const QSsl::KeyAlgorithm algorithm : {QSsl::Rsa, QSsl::Ec})
        if (privateKey.isNull())
            privateKey = QSslKey(*keyText, algorithm, QSsl::Pem, QSsl::PrivateKey);
    if (privateKey.isNull())
        return failure(Texts::tr("%1 non è una chiave privata PEM RSA o EC senza passphrase").arg(key));
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    tls.setLocalCertificateChain(chain);
    tls.setPrivateKey(privateKey);
    tls.setPeerVerifyMode(QSslSocket::VerifyNone);   // browsers bring no certificate of theirs
    tls.setProtocol(QSsl::TlsV1_2OrLater);
    return tls;
}
