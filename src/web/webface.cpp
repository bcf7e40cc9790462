#include "webface.h"

#include "httpcompat.h"
#include "platform/background.h"
#include "platform/filenames.h"
#include "platform/texts.h"
#include "uploadname.h"
#include "weblistener.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QWebSocket>

using Method = QHttpServerRequest::Method;
using Status = QHttpServerResponse::StatusCode;

namespace {
constexpr int kPingMs = 30'000;

QHttpServerResponse answer(const QJsonObject &body, Status status = Status::Ok) { return {body, status}; }
QHttpServerResponse refusal(const QString &why, Status status) { return answer({{"error", why}}, status); }

QHttpServerResponse refusal(WebAccess::Verdict verdict)
{
    const Status status = verdict == WebAccess::Verdict::Waiting         ? Status::TooManyRequests
                          : verdict == WebAccess::Verdict::OtherSite     ? Status::Forbidden
                          : verdict == WebAccess::Verdict::KeyUnreadable ? Status::InternalServerError
                                                                         : Status::Unauthorized;
    return refusal(WebAccess::reason(verdict), status);
}

QHttpServerResponse done(const Done &result)
{
    return result ? answer({{"done", true}}) : refusal(result.error(), Status::UnprocessableEntity);
}

QHttpServerResponse resource(const QString &name, const QByteArray &type)
{
    QFile file(QStringLiteral(":/web/") + name);
    return file.open(QIODevice::ReadOnly) ? QHttpServerResponse(type, file.readAll())
                                          : QHttpServerResponse(Status::NotFound);
}

}   // namespace

QJsonObject stateJson(const Inputs &lamps, const SoundSlots &sounds, const std::array<bool, 4> &unsaved,
                      const QString &status)
{
    QJsonArray inputs;
    for (std::size_t i = 0; i < 4; ++i)
        inputs.append(QJsonObject {{"input", int(i + 1)},
                                   {"active", lamps[i]},
                                   {"sound", QFile::decodeName(sounds[i])},
                                   {"saved", !unsaved[i]}});
    return {{"inputs", inputs}, {"status", status}};
}

WebFace::WebFace(Core &core, Settings settings, QObject *parent)
    : QObject(parent), m_core(core), m_settings(std::move(settings)),
      m_access(m_settings.folder, m_settings.where.loopback(), m_settings.https.has_value())
{
    addRoutes();
    // Told after the tick, from the event loop: a page never holds a press. Lamps, often, alone.
    for (auto change :
         {&Core::lampsChanged, &Core::assignmentsChanged, &Core::sourceStatusChanged, &Core::quizChanged}) {
        const bool lamps = change == &Core::lampsChanged;
        connect(
            &m_core, change, this,
            [this, lamps] {
                sendLive(lamps ? QJsonObject {{"lamps", state()["inputs"]}}
                               : QJsonObject {{"state", state()}});
            },
            Qt::QueuedConnection);
    }
    connect(&m_core, &Core::logged, this, [this](const QString &line) { sendLive({{"log", line}}, true); });
    connect(&m_server, &QAbstractHttpServer::newWebSocketConnection, this, &WebFace::acceptSocket);
    connect(&m_pings, &QTimer::timeout, this, [this] {
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        std::vector<QWebSocket *> gone;   // let go after the walk: letting go ends its entry
        for (const auto &socket : m_sockets)
            if (now - m_heardMs.value(socket.get()) > 3 * kPingMs)
                gone.push_back(socket.get());
            else
                socket->ping();
        for (QWebSocket *socket : gone)
            socket->abort();
    });
    m_pings.start(kPingMs);
}

WebFace::~WebFace()
{
    // The pages' sockets go with the page, without telling it of their end.
    for (const auto &socket : m_sockets)
        socket->disconnect(this);
}

QJsonObject WebFace::state() const
{
    QJsonObject json =
        stateJson(m_core.lamps(), m_core.assignments(), m_core.unsavedInputs(), m_core.statusLine());
    json["uploadLimit"] = m_settings.uploadLimit;   // the page refuses a larger file before sending it
    const std::optional<int> winner = m_core.quizWinner();
    json["quiz"] =
        QJsonObject {{"on", m_core.playSettings().quiz}, {"winner", winner ? *winner : QJsonValue()}};
    return json;
}

Result<QString> WebFace::start()
{
    WebListener::Limits limits;
    limits.bodyBytes = m_settings.uploadLimit;
    auto *listener = new WebListener(limits, m_settings.https, this);
    if (!listener->listen(m_settings.where.address, m_settings.where.port) ||
        !httpcompat::bind(m_server, listener))
        return failure(Texts::tr("la pagina web non può ascoltare su %1, porta %2: %3")
                           .arg(m_settings.where.address.toString())
                           .arg(m_settings.where.port)
                           .arg(listener->errorString()));
    const QHostAddress shown =
        m_settings.where.address == QHostAddress::Any || m_settings.where.address == QHostAddress::AnyIPv6
            ? QHostAddress(QHostAddress::LocalHost)
            : m_settings.where.address;
    const QString host =
        shown.protocol() == QAbstractSocket::IPv6Protocol ? '[' + shown.toString() + ']' : shown.toString();
    return QStringLiteral("%1://%2:%3/")
        .arg(m_settings.https ? "https" : "http", host)
        .arg(listener->serverPort());
}

std::optional<QHttpServerResponse> WebFace::refusedTo(const QHttpServerRequest &request, bool changes)
{
    if (const auto verdict = m_access.check(askerOf(request), changes);
        verdict != WebAccess::Verdict::Allowed)
        return refusal(verdict);
    return std::nullopt;
}

void WebFace::addRoutes()
{
    m_server.route("/", Method::Get, [this](const QHttpServerRequest &request) {
        if (const auto verdict = m_access.check(askerOf(request), false);
            verdict != WebAccess::Verdict::Allowed && verdict != WebAccess::Verdict::NoKey)
            return refusal(verdict);
        return resource(QStringLiteral("index.html"), "text/html; charset=utf-8");
    });
    m_server.route("/app.js", Method::Get,
                   [] { return resource(QStringLiteral("app.js"), "text/javascript; charset=utf-8"); });
    m_server.route("/style.css", Method::Get,
                   [] { return resource(QStringLiteral("style.css"), "text/css; charset=utf-8"); });
    m_server.route("/icon.svg", Method::Get,
                   [] { return resource(QStringLiteral("velmora.svg"), "image/svg+xml"); });

    m_server.route("/api/login", Method::Post, [this](const QHttpServerRequest &request) {
        QByteArray cookie;
        const auto key = QJsonDocument::fromJson(request.body()).object().value("key").toString().toUtf8();
        if (const auto verdict = m_access.logIn(askerOf(request), key, cookie);
            verdict != WebAccess::Verdict::Allowed)
            return refusal(verdict);
        QHttpServerResponse response = answer({{"done", true}});
        httpcompat::setHeader(response, "Set-Cookie", cookie);
        return response;
    });
    m_server.route("/api/state", Method::Get, [this](const QHttpServerRequest &request) {
        if (auto refused = refusedTo(request, false))
            return std::move(*refused);
        return answer(state());
    });
    m_server.route("/api/sounds", Method::Get, [this](const QHttpServerRequest &request) {
        if (auto refused = refusedTo(request, false))
            return std::move(*refused);
        QJsonArray names;
        for (const QByteArray &name : listWavFiles(QFile::encodeName(m_settings.folder)))
            names.append(QFile::decodeName(name));
        return answer({{"sounds", names}});
    });
    // The log's lines may name paths and addresses: the key, as for a change, even here.
    m_server.route("/api/log", Method::Get, [this](const QHttpServerRequest &request) {
        if (auto refused = refusedTo(request, true))
            return std::move(*refused);
        return answer({{"log", QJsonArray::fromStringList(m_core.recentLog())}});
    });
    // What changes something: the key, from this page only.
    auto changing = [this](auto act) {
        return [this, act](int input, const QHttpServerRequest &request) {
            if (auto refused = refusedTo(request, true))
                return std::move(*refused);
            return act(input, request);
        };
    };
    m_server.route("/api/test/<arg>", Method::Post, changing([this](int input, const QHttpServerRequest &) {
                       return done(m_core.test(input));
                   }));
    m_server.route(
        "/api/assign/<arg>", Method::Post, changing([this](int input, const QHttpServerRequest &request) {
            const QString file = QJsonDocument::fromJson(request.body()).object().value("file").toString();
            return done(m_core.assign(input, QFile::encodeName(file)));
        }));
    for (const auto &[path, act] :
         {std::pair<const char *, std::function<Done()>> {"/api/save", [this] { return m_core.save(); }},
          {"/api/reload", [this] { return m_core.load(); }},
          {"/api/reset", [this] { return m_core.resetQuiz(), Done(kDone); }}})
        m_server.route(path, Method::Post, [this, act](const QHttpServerRequest &request) {
            if (auto refused = refusedTo(request, true))
                return std::move(*refused);
            return done(act());
        });
    m_server.route("/api/sounds/<arg>", Method::Put,
                   [this](const QString &name, const QHttpServerRequest &request,
                          httpcompat::Responder responder) { upload(name, request, std::move(responder)); });
    // The live lamps: answered by the WebSocket's own opening (acceptSocket).
    httpcompat::allowWebSocketsOn(m_server, this, QStringLiteral("/api/live"));
    httpcompat::onEveryAnswer(m_server, this, [](QHttpServerResponse &response) {
        // Never framed by another site, nothing guessed, nothing kept.
        httpcompat::setHeader(
            response, "Content-Security-Policy",
            "default-src 'self'; frame-ancestors 'none'; base-uri 'none'; form-action 'self'");
        httpcompat::setHeader(response, "X-Frame-Options", "DENY");
        httpcompat::setHeader(response, "X-Content-Type-Options", "nosniff");
        httpcompat::setHeader(response, "Referrer-Policy", "no-referrer");
        httpcompat::setHeader(response, "Cache-Control", "no-store");
    });
}

// Checked by decoding it, and written, on a thread of its own: a large WAV never holds
// the tick. Kept only whole, and replacing a file of that name only when asked.
void WebFace::upload(const QString &asked, const QHttpServerRequest &request,
                     QHttpServerResponder &&responder)
{
    auto reply = std::make_shared<QHttpServerResponder>(std::move(responder));
    auto send = [reply](const QJsonObject &body, Status status) {
        httpcompat::writeJson(*reply, QJsonDocument(body), status);
    };
    if (const auto verdict = m_access.check(askerOf(request), true); verdict != WebAccess::Verdict::Allowed)
        return send({{"error", WebAccess::reason(verdict)}}, refusal(verdict).statusCode());
    const Result<QString> name = uploadName(asked);
    if (!name)
        return send({{"error", name.error()}}, Status::BadRequest);
    const QString path = QDir(m_settings.folder).filePath(*name);
    const bool replace = request.query().queryItemValue(QStringLiteral("replace")) == QLatin1String("1");
    if (!replace && QFile::exists(path))
        return send(
            {{"error",
              Texts::tr("%1 c'è già: sceglierne un altro nome, o chiedere di sostituirlo").arg(*name)}},
            Status::Conflict);
    runInBackground(
        this, [body = request.body(), path, name = *name] { return keepUpload(body, path, name); },
        [send, name = *name](const Done &written) {
            if (written)
                send({{"done", true}, {"sound", name}}, Status::Created);
            else
                send({{"error", written.error()}}, Status::UnprocessableEntity);
        });
}

void WebFace::acceptSocket()
{
    while (m_server.hasPendingWebSocketConnections()) {
        std::unique_ptr<QWebSocket> socket = m_server.nextPendingWebSocketConnection();
        // A page of another site must not watch, nor anyone on the network without the key.
        const Asker asker = askerOf(*socket);
        const WebAccess::Verdict verdict = WebAccess::sameSite(asker.origin, asker.host)
                                               ? m_access.check(asker, false)
                                               : WebAccess::Verdict::OtherSite;
        if (verdict != WebAccess::Verdict::Allowed) {
            socket->close(QWebSocketProtocol::CloseCodePolicyViolated, WebAccess::reason(verdict));
            continue;
        }
        QWebSocket *raw = socket.get();
        m_heardMs[raw] = QDateTime::currentMSecsSinceEpoch();
        connect(raw, &QWebSocket::pong, this,
                [this, raw] { m_heardMs[raw] = QDateTime::currentMSecsSinceEpoch(); });
        if (m_access.check(asker, true) == WebAccess::Verdict::Allowed)
            m_keyed.insert(raw);   // told the log's lines too
        connect(raw, &QWebSocket::disconnected, this, [this, raw] {
            m_keyed.remove(raw);
            m_heardMs.remove(raw);
            const auto held = std::find_if(m_sockets.begin(), m_sockets.end(),
                                           [raw](const auto &socket) { return socket.get() == raw; });
            if (held != m_sockets.end()) {   // not deleted while it tells of its own end
                held->release()->deleteLater();
                m_sockets.erase(held);
            }
        });
        raw->sendTextMessage(QString::fromUtf8(
            QJsonDocument(QJsonObject {{"state", state()}}).toJson(QJsonDocument::Compact)));
        m_sockets.push_back(std::move(socket));
    }
}

void WebFace::sendLive(const QJsonObject &message, bool keyedOnly)
{
    const QString text = QString::fromUtf8(QJsonDocument(message).toJson(QJsonDocument::Compact));
    for (const auto &socket : m_sockets)
        if (!keyedOnly || m_keyed.contains(socket.get()))
            socket->sendTextMessage(text);
}
