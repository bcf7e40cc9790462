#pragma once

#include <QHttpServer>
#include <QHttpServerResponder>
#include <QHttpServerResponse>
#include <QJsonDocument>
#include <QTcpServer>

#include <utility>

// Qt's HTTP server changed its API between Qt 6.4 (Debian 12) and 6.8 (Debian 13): headers
// became QHttpHeaders, the after-request hook and the responder's argument changed, and a
// WebSocket upgrade must be accepted explicitly. Velmora builds on both; the differences
// live here and nowhere else.
namespace httpcompat {

#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
inline bool bind(QHttpServer &server, QTcpServer *listener) { return server.bind(listener); }

using Responder = QHttpServerResponder &;   // a route's responder, moved from to answer later

inline void setHeader(QHttpServerResponse &response, const QByteArray &name, const QByteArray &value)
{
    QHttpHeaders headers = response.headers();
    headers.replaceOrAppend(name, value);
    response.setHeaders(std::move(headers));
}

// `edit` sees every answer the routes return, before it is sent.
template <typename Edit>
void onEveryAnswer(QHttpServer &server, QObject *context, Edit edit)
{
    server.addAfterRequestHandler(
        context, [edit](const QHttpServerRequest &, QHttpServerResponse &response) { edit(response); });
}

// WebSockets are opened on `path` only.
inline void allowWebSocketsOn(QHttpServer &server, QObject *context, const QString &path)
{
    server.addWebSocketUpgradeVerifier(context, [path](const QHttpServerRequest &request) {
        return request.url().path() == path ? QHttpServerWebSocketUpgradeResponse::accept()
                                            : QHttpServerWebSocketUpgradeResponse::passToNext();
    });
}

inline void writeJson(QHttpServerResponder &responder, const QJsonDocument &body,
                      QHttpServerResponder::StatusCode status)
{
    QHttpHeaders headers;
    headers.append(QHttpHeaders::WellKnownHeader::ContentType, "application/json");
    headers.append(QHttpHeaders::WellKnownHeader::CacheControl, "no-store");
    headers.append("X-Content-Type-Options", "nosniff");
    responder.write(body.toJson(QJsonDocument::Compact), headers, status);
}
#else
inline bool bind(QHttpServer &server, QTcpServer *listener)
{
    server.bind(listener);
    return true;
}

using Responder = QHttpServerResponder &&;

inline void setHeader(QHttpServerResponse &response, const QByteArray &name, const QByteArray &value)
{
    response.setHeader(name, value);
}

template <typename Edit>
void onEveryAnswer(QHttpServer &server, QObject *, Edit edit)
{
    server.afterRequest([edit](QHttpServerResponse &&response) {
        edit(response);
        return std::move(response);
    });
}

// A route of that path that never answers: the server then opens the WebSocket.
inline void allowWebSocketsOn(QHttpServer &server, QObject *, const QString &path)
{
    server.route(path, QHttpServerRequest::Method::Get,
                 [](const QHttpServerRequest &, QHttpServerResponder &&) {});
}

inline void writeJson(QHttpServerResponder &responder, const QJsonDocument &body,
                      QHttpServerResponder::StatusCode status)
{
    responder.write(body, {{"Cache-Control", "no-store"}, {"X-Content-Type-Options", "nosniff"}}, status);
}
#endif

}   // namespace httpcompat
