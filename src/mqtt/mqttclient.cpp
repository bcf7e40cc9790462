#include "mqttclient.h"

#include "commandrate.h"
#include "mqttmessages.h"
#include "platform/systemreason.h"
#include "platform/texts.h"

#include <QFile>
#include <QLoggingCategory>
#include <QMap>
#include <QPointer>

#include <mosquitto.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

Q_LOGGING_CATEGORY(lcMqtt, "velmora.mqtt", QtInfoMsg)

namespace {
constexpr int kKeepAliveSeconds = 30;

// Why a connection could not be made or was lost, in the user's words.
QString reason(int rc, int error)
{
    switch (rc) {
    case MOSQ_ERR_ERRNO:
        return systemReason(error);
    case MOSQ_ERR_EAI:
        return Texts::tr("il nome del server non si trova: controllare l'indirizzo di --mqtt e la rete");
    case MOSQ_ERR_TLS:
        return Texts::tr("la connessione TLS non riesce");
    case MOSQ_ERR_KEEPALIVE:
    case MOSQ_ERR_CONN_LOST:
    case MOSQ_ERR_NO_CONN:
        return Texts::tr("il server non risponde più");
    default:
        return QString::fromUtf8(mosquitto_strerror(rc));
    }
}

}   // namespace

struct MqttClient::Impl {
    MqttSettings settings;
    QPointer<MqttClient> owner;   // gone once the client is
    mosquitto *mosq = nullptr;
    std::thread thread;

    std::mutex mutex;   // everything below; taken before any of libmosquitto's own
    std::condition_variable wake;
    bool stopping = false;
    bool ended = false;   // the thread is done
    bool connected = false;
    QMap<QByteArray, QByteArray> retained;
    std::deque<std::pair<QByteArray, QByteArray>> queued;
    qsizetype dropped = 0;
    QString lastError;   // libmosquitto's last error line (a TLS reason)
    CommandRate rate {kCommandsPerSecond};
    std::deque<std::pair<QByteArray, QByteArray>> commands;

    void run();
    void tell(bool connected, const QString &why, bool retrying);
    void sendState();   // with the mutex held
    void onConnect(int rc);
    void onMessage(const mosquitto_message &message);
    void send(const QByteArray &topic, const QByteArray &payload, int qos, bool retain)
    {
        (void)mosquitto_publish(mosq, nullptr, topic.constData(), int(payload.size()), payload.constData(),
                                qos, retain);
    }
};

void MqttClient::Impl::tell(bool isConnected, const QString &why, bool retrying)
{
    QMetaObject::invokeMethod(
        owner,
        [owner = owner, isConnected, why, retrying] {
            if (owner)
                emit owner->connectionChanged(isConnected, why, retrying);
        },
        Qt::QueuedConnection);
}

void MqttClient::Impl::sendState()
{
    send(settings.topic("status"), "online", 1, true);
    for (auto it = retained.cbegin(); it != retained.cend(); ++it)
        send(it.key(), it.value(), 1, true);
    if (dropped > 0)
        qCWarning(lcMqtt).noquote() << Texts::tr("%1 pressioni più vecchie non inviate: il server MQTT è "
                                                 "mancato troppo a lungo (se ne tengono %2)")
                                           .arg(std::exchange(dropped, 0))
                                           .arg(kQueued);
    for (const auto &[topic, payload] : queued)
        send(topic, payload, 1, false);
    queued.clear();
}

void MqttClient::Impl::onConnect(int rc)
{
    if (rc != 0) {
        // A broker that refuses who Velmora says it is will refuse it again: not asked again.
        const QString why = QString::fromUtf8(mosquitto_connack_string(rc));
        std::lock_guard lock(mutex);
        if (std::exchange(stopping, true))
            return;
        tell(false,
             Texts::tr("il server MQTT %1:%2 rifiuta l'accesso (%3): correggere --mqtt-password-file e "
                       "riavviare Velmora")
                 .arg(settings.host)
                 .arg(settings.port)
                 .arg(why),
             false);
        return;
    }
    std::lock_guard lock(mutex);
    if (stopping)
        return;
    connected = true;
    (void)mosquitto_subscribe(mosq, nullptr, settings.topic("cmd/#").constData(), 0);
    if (settings.homeAssistant)
        (void)mosquitto_subscribe(mosq, nullptr, "homeassistant/status", 0);
    sendState();
    tell(true, {}, false);
}

void MqttClient::Impl::onMessage(const mosquitto_message &message)
{
    const QByteArray topic(message.topic);
    const QByteArray payload(static_cast<const char *>(message.payload), message.payloadlen);
    if (topic == "homeassistant/status") {
        if (payload == "online") {   // Home Assistant is back: it learns the box again
            std::lock_guard lock(mutex);
            sendState();
        }
        return;
    }
    const QByteArray verb = topic.mid(settings.prefix.size() + 5);   // after PREFIX/cmd/
    if (verb == "result")
        return;   // our own answers
    QString refused;
    if (message.retain)   // left on the broker by someone: it would play at every connection
        refused = Texts::tr("comando conservato (retain) sul server: ignorato; inviarlo senza retain");
    std::unique_lock lock(mutex);
    if (stopping)
        return;
    if (refused.isEmpty() && !rate.take(CommandRate::Clock::now()))
        refused = Texts::tr("troppi comandi: al più %1 al secondo").arg(kCommandsPerSecond);
    if (!refused.isEmpty()) {
        lock.unlock();
        send(settings.topic("cmd/result"),
             resultPayload(verb, commandId(payload.left(kMaxCommandBytes)), refused), 0, false);
        return;
    }
    commands.emplace_back(verb, payload);
    if (commands.size() > 1)
        return;   // already on its way
    // One call takes what has come meanwhile: a flood never fills the window's queue.
    QMetaObject::invokeMethod(
        owner,
        [self = this, owner = owner] {
            std::deque<std::pair<QByteArray, QByteArray>> taken;
            {
                std::lock_guard lock(self->mutex);
                taken.swap(self->commands);
            }
            for (const auto &[verb, payload] : taken)
                if (owner)
                    emit owner->command(verb, payload);
        },
        Qt::QueuedConnection);
}

void MqttClient::Impl::run()
{
    auto backOff = std::chrono::seconds(1);
    bool first = true;
    for (;;) {
        {
            std::lock_guard lock(mutex);
            if (stopping)
                break;
        }
        int rc = first ? mosquitto_connect(mosq, settings.host.toUtf8().constData(), settings.port,
                                           kKeepAliveSeconds)
                       : mosquitto_reconnect(mosq);
        first = false;
        if (rc == MOSQ_ERR_SUCCESS) {
            while ((rc = mosquitto_loop(mosq, 250, 1)) == MOSQ_ERR_SUCCESS) {
                std::lock_guard lock(mutex);
                if (connected)
                    backOff = std::chrono::seconds(1);
                if (stopping)   // asked to stop while this connection was being made
                    (void)mosquitto_disconnect(mosq);
            }
        }
        QString why = reason(rc, errno);
        std::unique_lock lock(mutex);
        if (!lastError.isEmpty())
            why += QStringLiteral(" (") + std::exchange(lastError, {}) + QLatin1Char(')');
        connected = false;
        if (stopping)
            break;
        tell(false, Texts::tr("%1:%2, %3").arg(settings.host).arg(settings.port).arg(why), true);
        wake.wait_for(lock, backOff, [this] { return stopping; });
        backOff = std::min<std::chrono::seconds>(backOff * 2, std::chrono::seconds(30));
    }
    std::lock_guard lock(mutex);
    ended = true;
    wake.notify_all();
}

MqttClient::MqttClient(const MqttSettings &settings, QObject *parent)
    : QObject(parent), d(std::make_shared<Impl>())
{
    d->settings = settings;
    d->owner = this;
    mosquitto_lib_init();
    d->mosq = mosquitto_new(QByteArray("velmora-" + settings.name).left(64).constData(), true, d.get());
    mosquitto_threaded_set(d->mosq, true);
    (void)mosquitto_int_option(d->mosq, MOSQ_OPT_PROTOCOL_VERSION, MQTT_PROTOCOL_V311);
    if (!settings.user.isEmpty())
        (void)mosquitto_username_pw_set(d->mosq, settings.user.constData(), settings.password.constData());
    (void)mosquitto_will_set(d->mosq, settings.topic("status").constData(), 7, "offline", 1, true);
    if (settings.tls) {
        const QByteArray ca = QFile::encodeName(settings.caFile);
        (void)mosquitto_tls_set(d->mosq, ca.isEmpty() ? nullptr : ca.constData(),
                                ca.isEmpty() ? "/etc/ssl/certs" : nullptr, nullptr, nullptr, nullptr);
    }
    mosquitto_connect_callback_set(
        d->mosq, [](mosquitto *, void *impl, int rc) { static_cast<Impl *>(impl)->onConnect(rc); });
    mosquitto_message_callback_set(d->mosq, [](mosquitto *, void *impl, const mosquitto_message *message) {
        static_cast<Impl *>(impl)->onMessage(*message);
    });
    mosquitto_log_callback_set(d->mosq, [](mosquitto *, void *impl, int level, const char *text) {
        if (level == MOSQ_LOG_ERR) {
            auto *self = static_cast<Impl *>(impl);
            std::lock_guard lock(self->mutex);
            self->lastError = QString::fromUtf8(text);
        }
    });
    d->thread = std::thread([impl = d] { impl->run(); });
}

MqttClient::~MqttClient()
{
    std::unique_lock lock(d->mutex);
    if (d->connected)   // said at once, not left to the broker's last will
        d->send(d->settings.topic("status"), "offline", 1, true);
    d->stopping = true;
    d->wake.notify_all();
    lock.unlock();
    (void)mosquitto_disconnect(d->mosq);
    lock.lock();
    // A connection still being made (a host that does not answer) must not keep Velmora
    // from ending: after a moment the thread is left to the process's end, with its state.
    if (!d->wake.wait_for(lock, std::chrono::milliseconds(1500), [this] { return d->ended; })) {
        lock.unlock();
        d->thread.detach();
        return;
    }
    lock.unlock();
    d->thread.join();
    mosquitto_destroy(d->mosq);
    mosquitto_lib_cleanup();
}

void MqttClient::setRetained(const QByteArray &topic, const QByteArray &payload)
{
    std::lock_guard lock(d->mutex);
    if (d->retained.value(topic) == payload && d->retained.contains(topic))
        return;
    d->retained.insert(topic, payload);
    if (d->connected)
        d->send(topic, payload, 1, true);
}

void MqttClient::publishQueued(const QByteArray &topic, const QByteArray &payload)
{
    std::lock_guard lock(d->mutex);
    if (d->connected) {
        d->send(topic, payload, 1, false);   // libmosquitto keeps it until the broker has it
        return;
    }
    if (d->queued.size() >= std::size_t(kQueued)) {
        d->queued.pop_front();
        ++d->dropped;
    }
    d->queued.emplace_back(topic, payload);
}

void MqttClient::publish(const QByteArray &topic, const QByteArray &payload)
{
    std::lock_guard lock(d->mutex);
    if (d->connected)
        d->send(topic, payload, 0, false);
}
