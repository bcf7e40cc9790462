#include "weblistener.h"

#include "platform/texts.h"

#include <QDateTime>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLoggingCategory>
#include <QPointer>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTimer>

Q_DECLARE_LOGGING_CATEGORY(lcWeb)

namespace {

// Said at most this often, however many clients are refused: a flood must not fill the log.
constexpr qint64 kLogEveryMs = 10'000;
// A refused client is given this long to read its answer before the connection goes.
constexpr int kLingerMs = 1'000;

}   // namespace

// One connection's watch, a child of its socket: it goes when the socket goes. It sees
// the bytes before the server reads them, and finds only where a request's headers end
// (the empty line), to measure them; the server parses everything.
class ConnectionGuard : public QObject {
public:
    ConnectionGuard(QTcpSocket &socket, WebListener &listener, QHostAddress from)
        : QObject(&socket), m_socket(socket), m_listener(&listener), m_from(std::move(from))
    {
        m_reading = connect(&socket, &QIODevice::readyRead, this, &ConnectionGuard::arrived);
        connect(&socket, &QIODevice::bytesWritten, this, &ConnectionGuard::answered);
        for (QTimer *timer : {&m_idle, &m_header})
            timer->setSingleShot(true);
        connect(&m_idle, &QTimer::timeout, this, [this] {
            if (!handedOn())
                m_socket.abort();   // silent too long, or a refused client that does not go
        });
        connect(&m_header, &QTimer::timeout, this, [this] {
            if (!handedOn())
                refuse(408, "Request Timeout",
                       Texts::tr("la richiesta non è arrivata intera in %1 s").arg(limits().headerMs / 1000));
        });
        m_idle.start(limits().idleMs);
    }
    ~ConnectionGuard() override
    {
        if (m_listener)
            m_listener->closed(m_from);
    }

private:
    const WebListener::Limits &limits() const { return m_listener->m_limits; }

    void arrived()
    {
        m_idle.start(limits().idleMs);
        if (m_state == State::Refused) {   // not the server's any more
            m_socket.readAll();
            return;
        }
        const QByteArray fresh = m_socket.peek(m_socket.bytesAvailable());
        if (m_state == State::Headers) {
            if (m_headerBytes == 0 && !fresh.isEmpty())
                m_header.start(limits().headerMs);
            const QByteArray seen = m_tail + fresh;
            const qsizetype end = seen.indexOf("\r\n\r\n");
            const qsizetype headers = end < 0 ? fresh.size() : end + 4 - m_tail.size();
            m_headerBytes += headers;
            m_tail = seen.right(3);
            if (m_headerBytes > limits().headerBytes)
                return refuse(431, "Request Header Fields Too Large",
                              Texts::tr("le intestazioni della richiesta superano %1 KiB")
                                  .arg(limits().headerBytes >> 10));
            if (end < 0)
                return;
            m_header.stop();
            m_state = State::Body;
            m_bodyBytes = fresh.size() - headers;
        } else {
            m_bodyBytes += fresh.size();
        }
        if (m_bodyBytes > limits().bodyBytes)
            refuse(413, "Payload Too Large",
                   Texts::tr("la richiesta supera il limite di %1 MiB (--web-upload-limit)")
                       .arg(limits().bodyBytes >> 20));
    }

    // The server answered: what comes next is a new request.
    void answered()
    {
        m_idle.start(m_state == State::Refused ? kLingerMs : limits().idleMs);
        if (m_state == State::Refused)
            return;
        m_state = State::Headers;
        m_headerBytes = m_bodyBytes = 0;
        m_tail.clear();
    }

    // Whether the server has handed the socket on (a WebSocket now: the page looks after it).
    bool handedOn()
    {
        if (m_reading)
            return false;
        m_idle.stop();
        m_header.stop();
        return true;
    }

    void refuse(int status, const char *phrase, const QString &why)
    {
        m_state = State::Refused;
        m_header.stop();
        m_socket.readAll();
        m_listener->said(
            Texts::tr("pagina web: rifiutata una richiesta da %1: %2").arg(m_from.toString(), why));
        const QByteArray body = QJsonDocument(QJsonObject {{"error", why}}).toJson(QJsonDocument::Compact);
        m_socket.write("HTTP/1.1 " + QByteArray::number(status) + ' ' + phrase +
                       "\r\nContent-Type: application/json\r\nCache-Control: no-store\r\nConnection: "
                       "close\r\nContent-Length: " +
                       QByteArray::number(body.size()) + "\r\n\r\n" + body);
        m_idle.start(kLingerMs);
        QTimer::singleShot(kLingerMs, &m_socket, &QAbstractSocket::disconnectFromHost);
    }

    enum class State { Headers, Body, Refused };
    QTcpSocket &m_socket;
    QPointer<WebListener> m_listener;
    QHostAddress m_from;
    QMetaObject::Connection m_reading;   // broken by the server when it hands the socket on
    QTimer m_idle, m_header;
    State m_state = State::Headers;
    qint64 m_headerBytes = 0, m_bodyBytes = 0;
    QByteArray m_tail;   // the last bytes seen, for an empty line split between two reads
};

WebListener::WebListener(Limits limits, std::optional<QSslConfiguration> tls, QObject *parent)
    : QTcpServer(parent), m_limits(limits), m_tls(tls ? std::make_unique<QSslConfiguration>(*tls) : nullptr)
{}

WebListener::~WebListener() = default;

void WebListener::incomingConnection(qintptr descriptor)
{
    QTcpSocket *socket = m_tls ? new QSslSocket(this) : new QTcpSocket(this);
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    const QHostAddress from = socket->peerAddress();
    if (m_open >= m_limits.connections || m_perAddress.value(from) >= m_limits.perAddress) {
        said(Texts::tr("pagina web: troppe connessioni (%1 in tutto, %2 da %3): le altre sono chiuse")
                 .arg(m_open)
                 .arg(m_perAddress.value(from))
                 .arg(from.toString()));
        socket->abort();
        delete socket;
        return;
    }
    ++m_open;
    ++m_perAddress[from];
    new ConnectionGuard(*socket, *this, from);
    if (auto *tls = qobject_cast<QSslSocket *>(socket)) {
        tls->setSslConfiguration(*m_tls);
        tls->startServerEncryption();
    }
    addPendingConnection(socket);
}

void WebListener::closed(const QHostAddress &from)
{
    --m_open;
    if (--m_perAddress[from] <= 0)
        m_perAddress.remove(from);
}

void WebListener::said(const QString &line)
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (now - m_lastSaidMs < kLogEveryMs)
        return;
    m_lastSaidMs = now;
    qCInfo(lcWeb).noquote() << line;
}
