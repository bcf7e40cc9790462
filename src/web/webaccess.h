#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QHash>
#include <QHostAddress>
#include <QString>

class QHttpServerRequest;
class QWebSocket;

// What a request says of who asks, wherever it came from (a request, a WebSocket's opening).
struct Asker {
    QHostAddress from;
    QByteArray origin, host, authorization, cookie;
};
[[nodiscard]] Asker askerOf(const QHttpServerRequest &request);
[[nodiscard]] Asker askerOf(const QWebSocket &socket);

// Who may do what on the web page. Every request that changes something needs the access
// key - as a session cookie the browser got for it, or as "Authorization: Bearer KEY" -
// also from this machine, where another user must not play or replace sounds; a page
// served to the network needs it even to look. A request that changes something from
// another site's page (its Origin) is refused whatever it carries. Wrong keys make their
// address wait longer each time, and are logged.
class WebAccess {
public:
    // `folder` holds the key; `loopback`: served to this machine only; `https`: over TLS.
    WebAccess(QString folder, bool loopback, bool https = false);

    enum class Verdict { Allowed, NoKey, WrongKey, Waiting, OtherSite, KeyUnreadable };
    [[nodiscard]] Verdict check(const Asker &asker, bool changes);
    // A key given to log in: the Set-Cookie of a new session in `session`, or why not.
    [[nodiscard]] Verdict logIn(const Asker &asker, const QByteArray &given, QByteArray &session);
    // The reason of a refusal, for the answer and the log.
    [[nodiscard]] static QString reason(Verdict verdict);
    // Whether `origin` (a WebSocket's, or a request's Origin header) is this page's own, for
    // a request that came to `host` (its Host header); no origin at all (curl) is.
    [[nodiscard]] static bool sameSite(const QByteArray &origin, const QByteArray &host);

private:
    [[nodiscard]] const QByteArray &key();
    [[nodiscard]] bool waiting(const QHostAddress &from) const;
    Verdict wrongKey(const QHostAddress &from);

    QString m_folder;
    bool m_loopback, m_https;
    QByteArray m_key;
    QDateTime m_keyRead;    // the key file's time when it was read: a new key is read again
    QString m_keyProblem;   // why the key could not be read, as last logged
    struct Failures {
        int count = 0;
        qint64 waitUntilMs = 0;
    };
    QHash<QString, Failures> m_failures;   // by address
};
