#include "accesskey.h"

#include "platform/systemreason.h"
#include "platform/texts.h"

#include <QDir>
#include <QFile>
#include <QMessageAuthenticationCode>
#include <QRandomGenerator>
#include <QSaveFile>
#include <QTemporaryFile>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qsizetype kKeyBytes = 24;       // 192 bits
constexpr qsizetype kSessionBytes = 16;   // 128 bits
constexpr auto kEncoding = QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals;

QByteArray randomText(qsizetype bytes)
{
    QByteArray raw(bytes, Qt::Uninitialized);
    QRandomGenerator::system()->fillRange(reinterpret_cast<quint32 *>(raw.data()), bytes / 4);
    return raw.toBase64(kEncoding);
}

QByteArray signature(const QByteArray &session, const QByteArray &key)
{
    return QMessageAuthenticationCode::hash(session, key, QCryptographicHash::Sha256).toBase64(kEncoding);
}

// The key made at first use, never replacing one made meanwhile: two Velmoras started
// together (the service, and `velmora --web-key` to read it) must agree on one key. It is
// written whole beside its place, then linked there only if nothing is there yet.
Result<QByteArray> firstAccessKey(const QString &folder)
{
    const QString path = accessKeyPath(folder);
    const QByteArray key = randomText(kKeyBytes);
    QTemporaryFile file(path + QStringLiteral(".XXXXXX"));   // made readable by its user alone
    const bool written = file.open() && file.write(key + '\n') == key.size() + 1 && file.flush();
    if (!written)
        return failure(
            Texts::tr("impossibile scrivere la chiave di accesso %1: %2").arg(path, file.errorString()));
    if (::link(QFile::encodeName(file.fileName()).constData(), QFile::encodeName(path).constData()) == 0)
        return key;
    if (errno == EEXIST)   // made by another meanwhile: that one is the key
        return accessKey(folder);
    return newAccessKey(folder);   // a file system without links: as before
}

}   // namespace

QString accessKeyPath(const QString &folder) { return QDir(folder).filePath(QStringLiteral("web-key.txt")); }

Result<QByteArray> accessKey(const QString &folder)
{
    const QString path = accessKeyPath(folder);
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0) {
        if (errno == ENOENT)
            return firstAccessKey(folder);
        return failure(
            Texts::tr("impossibile leggere la chiave di accesso %1: %2").arg(path, systemReason(errno)));
    }
    if (info.st_mode & (S_IRWXG | S_IRWXO))
        return failure(
            Texts::tr("la chiave di accesso %1 è leggibile da altri utenti e può essere stata vista: "
                      "farne una nuova con velmora --web-key new")
                .arg(path));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(
            Texts::tr("impossibile leggere la chiave di accesso %1: %2").arg(path, file.errorString()));
    const QByteArray key = file.read(256).trimmed();
    if (key.size() < 22)   // 128 bits at least
        return failure(
            Texts::tr("la chiave di accesso %1 è troppo corta: farne una nuova con velmora --web-key new")
                .arg(path));
    return key;
}

Result<QByteArray> newAccessKey(const QString &folder)
{
    const QString path = accessKeyPath(folder);
    const QByteArray key = randomText(kKeyBytes);
    QSaveFile file(path);
    // Only its user may read it, before the key is in it.
    const bool written = file.open(QIODevice::WriteOnly) &&
                         file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) &&
                         file.write(key + '\n') == key.size() + 1 && file.commit();
    if (!written)
        return failure(
            Texts::tr("impossibile scrivere la chiave di accesso %1: %2").arg(path, file.errorString()));
    return key;
}

bool sameKey(const QByteArray &given, const QByteArray &key)
{
    // Every byte of the longer is looked at, whatever differs first.
    unsigned char differ = given.size() == key.size() ? 0 : 1;
    const qsizetype length = std::max(given.size(), key.size());
    for (qsizetype i = 0; i < length; ++i)
        differ |=
            static_cast<unsigned char>((i < given.size() ? given[i] : 0) ^ (i < key.size() ? key[i] : 0));
    return differ == 0 && !key.isEmpty();
}

QByteArray newSession(const QByteArray &key)
{
    const QByteArray session = randomText(kSessionBytes);
    return session + '.' + signature(session, key);
}

bool isSession(const QByteArray &cookie, const QByteArray &key)
{
    const qsizetype dot = cookie.indexOf('.');
    return dot > 0 && sameKey(cookie.mid(dot + 1), signature(cookie.left(dot), key));
}
