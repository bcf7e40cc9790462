#include "webaccess.h"

#include "accesskey.h"
#include "platform/texts.h"

#include <QFileInfo>
#include <QHttpServerRequest>
#include <QLoggingCategory>
#include <QUrl>
#include <QWebSocket>

Q_LOGGING_CATEGORY(lcWeb, "velmora.web", QtInfoMsg)

namespace {

constexpr qint64 kLongestWaitMs = 60'000;
const QByteArray kCookie = "velmora_session";

QByteArray cookieIn(const QByteArray &cookies)
{
    for (const QByteArray &part : cookies.split(';')) {
        const QByteArray pair = part.trimmed();
        if (pair.startsWith(kCookie + '='))
            return pair.mid(kCookie.size() + 1);
    }
    return {};
}

}   // namespace

Asker askerOf(const QHttpServerRequest &request)
{
    return {request.remoteAddress(), request.value("Origin"), request.value("Host"),
            request.value("Authorization"), cookieIn(request.value("Cookie"))};
}

Asker askerOf(const QWebSocket &socket)
{
    const QNetworkRequest &request = socket.request();
    return {socket.peerAddress(), socket.origin().toLatin1(), request.rawHeader("Host"),
            request.rawHeader("Authorization"), cookieIn(request.rawHeader("Cookie"))};
}

WebAccess::WebAccess(QString folder, bool loopback, bool https)
    : m_folder(std::move(folder)), m_loopback(loopback), m_https(https)
{}

const QByteArray &WebAccess::key()
{
    // `velmora --web-key new` may have replaced it while Velmora runs: its sessions end.
    QDateTime modified = QFileInfo(accessKeyPath(m_folder)).lastModified();
    if (m_key.isEmpty() || modified != m_keyRead) {
        const Result<QByteArray> key = accessKey(m_folder);
        m_key = key.value_or({});
        // Why the page cannot check a key, said once in the log, which the refusal names.
        if (!key && key.error() != m_keyProblem)
            qCWarning(lcWeb).noquote() << key.error();
        m_keyProblem = key.error();
        if (!modified.isValid())   // made just now
            modified = QFileInfo(accessKeyPath(m_folder)).lastModified();
        m_keyRead = modified;
    }
    return m_key;
}

bool WebAccess::sameSite(const QByteArray &origin, const QByteArray &host)
{
    if (origin.isEmpty())
        return true;
    const QUrl url(QString::fromLatin1(origin));
    const QString ours = url.host() + (url.port() < 0 ? QString() : QStringLiteral(":%1").arg(url.port()));
    return url.isValid() && !host.isEmpty() &&
           ours.compare(QString::fromLatin1(host), Qt::CaseInsensitive) == 0;
}

WebAccess::Verdict WebAccess::wrongKey(const QHostAddress &from)
{
    Failures &failures = m_failures[from.toString()];
    failures.count = std::min(failures.count + 1, 16);
    const qint64 wait = std::min(kLongestWaitMs, qint64(250) << (failures.count - 1));
    failures.waitUntilMs = QDateTime::currentMSecsSinceEpoch() + wait;
    qCWarning(lcWeb).noquote() << Texts::tr("chiave di accesso sbagliata da %1 (%2ª volta): attende %3 ms")
                                      .arg(from.toString())
                                      .arg(failures.count)
                                      .arg(wait);
    return Verdict::WrongKey;
}

bool WebAccess::waiting(const QHostAddress &from) const
{
    const auto failed = m_failures.constFind(from.toString());
    return failed != m_failures.cend() && QDateTime::currentMSecsSinceEpoch() < failed->waitUntilMs;
}

WebAccess::Verdict WebAccess::check(const Asker &asker, bool changes)
{
    if (changes && !sameSite(asker.origin, asker.host))
        return Verdict::OtherSite;
    if (asker.authorization.isEmpty()) {
        // A session cookie, or none. One of an old key (a new one was made since) is no
        // guess at the key: its browser simply logs in again.
        if (!asker.cookie.isEmpty() && !key().isEmpty() && isSession(asker.cookie, m_key))
            return Verdict::Allowed;
        return changes || !m_loopback ? Verdict::NoKey : Verdict::Allowed;
    }
    if (waiting(asker.from))
        return Verdict::Waiting;
    if (key().isEmpty())
        return Verdict::KeyUnreadable;
    if (asker.authorization.startsWith("Bearer ") && sameKey(asker.authorization.mid(7).trimmed(), m_key)) {
        m_failures.remove(asker.from.toString());
        return Verdict::Allowed;
    }
    return wrongKey(asker.from);
}

WebAccess::Verdict WebAccess::logIn(const Asker &asker, const QByteArray &given, QByteArray &session)
{
    if (!sameSite(asker.origin, asker.host))
        return Verdict::OtherSite;
    if (waiting(asker.from))
        return Verdict::Waiting;
    if (key().isEmpty())
        return Verdict::KeyUnreadable;
    if (!sameKey(given.trimmed(), m_key))
        return wrongKey(asker.from);
    m_failures.remove(asker.from.toString());
    // Over HTTPS, never sent back over plain HTTP.
    session = kCookie + '=' + newSession(m_key) + "; Path=/; HttpOnly; SameSite=Strict" +
              (m_https ? "; Secure" : "");
    return Verdict::Allowed;
}

QString WebAccess::reason(Verdict verdict)
{
    switch (verdict) {
    case Verdict::Allowed:
        return {};
    case Verdict::NoKey:
        return Texts::tr("serve la chiave di accesso (velmora --web-key la mostra)");
    case Verdict::WrongKey:
        return Texts::tr("chiave di accesso sbagliata");
    case Verdict::Waiting:
        return Texts::tr("troppe chiavi sbagliate da questo indirizzo: riprovare tra poco");
    case Verdict::OtherSite:
        return Texts::tr("richiesta da un'altra pagina: rifiutata");
    case Verdict::KeyUnreadable:
        return Texts::tr("la chiave di accesso non si legge: vedere il registro di Velmora");
    }
    return {};
}
