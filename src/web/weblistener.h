#pragma once

#include <QHash>
#include <QHostAddress>
#include <QTcpServer>

#include <memory>
#include <optional>

class QSslConfiguration;

// The web page's door. Qt's HTTP server reads whatever a client sends, as slowly and as
// much as it likes, and keeps every connection open; a broken or hostile client on the
// network could then hold the box's memory or its every connection. Each connection is
// watched here, before the server reads it: how many are open (in all and per address),
// how large a request's headers and body are, how long its headers take, how long it stays
// silent. Past a limit it is answered with its status and closed. A connection that became
// a WebSocket is the page's own to look after (it pings it).
class WebListener : public QTcpServer {
    Q_OBJECT
public:
    struct Limits {
        int connections = 128, perAddress = 32;
        qint64 headerBytes = 16 << 10, bodyBytes = qint64(64) << 20;
        int headerMs = 10'000, idleMs = 30'000;
    };
    // With `tls`, every connection is HTTPS.
    WebListener(Limits limits, std::optional<QSslConfiguration> tls, QObject *parent = nullptr);
    ~WebListener() override;

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    friend class ConnectionGuard;
    void closed(const QHostAddress &from);
    // Logged, but not more often than every few seconds.
    void said(const QString &line);

    Limits m_limits;
    std::unique_ptr<QSslConfiguration> m_tls;
    int m_open = 0;
    QHash<QHostAddress, int> m_perAddress;
    qint64 m_lastSaidMs = 0;
};
