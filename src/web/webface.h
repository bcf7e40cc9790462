#pragma once

#include "core/core.h"
#include "webaccess.h"
#include "webaddress.h"

#include <QHttpServer>
#include <QJsonObject>
#include <QObject>
#include <QSet>
#include <QSslConfiguration>
#include <QTimer>

#include <memory>
#include <optional>
#include <vector>

class QWebSocket;

// The web page (--web): what the window shows and does, reached from a browser - the
// lamps pushed live over a WebSocket, each input's sound with its test and its choice
// among the data folder's WAV files, uploads into that folder, save and reload, the
// status line and the log's last lines. A face over the core like the window: nothing
// here runs on the tick's path (the lamps are sent after the tick, from the event loop),
// and an upload is checked and written on a thread of its own.
class WebFace : public QObject {
    Q_OBJECT
public:
    struct Settings {
        WebAddress where;
        QString folder;                           // the data folder: sounds, CONFIG.TXT, the key
        qint64 uploadLimit = qint64(64) << 20;    // bytes
        std::optional<QSslConfiguration> https;   // served over HTTPS with it
    };
    WebFace(Core &core, Settings settings, QObject *parent = nullptr);
    ~WebFace() override;

    // Starts listening; the URL to open, or why it cannot.
    [[nodiscard]] Result<QString> start();

private:
    void addRoutes();
    // The answer to a request its asker may not make (`changes`: it changes something).
    [[nodiscard]] std::optional<QHttpServerResponse> refusedTo(const QHttpServerRequest &request,
                                                               bool changes);
    void upload(const QString &asked, const QHttpServerRequest &request, QHttpServerResponder &&responder);
    void acceptSocket();
    // To every page watching; `keyedOnly`: to those opened with the key.
    void sendLive(const QJsonObject &message, bool keyedOnly = false);
    [[nodiscard]] QJsonObject state() const;

    Core &m_core;
    Settings m_settings;
    WebAccess m_access;
    QHttpServer m_server;
    std::vector<std::unique_ptr<QWebSocket>> m_sockets;
    QSet<QWebSocket *> m_keyed;
    // When each page last answered a ping: one gone without a word (a phone that slept, a
    // cable pulled) is let go instead of being written to for ever.
    QHash<QWebSocket *, qint64> m_heardMs;
    QTimer m_pings;
};

// What /api/state answers: each input with its lamp, its sound and whether that is saved;
// the source's status. (Pure, for its table.)
[[nodiscard]] QJsonObject stateJson(const Inputs &lamps, const SoundSlots &sounds,
                                    const std::array<bool, 4> &unsaved, const QString &status);
