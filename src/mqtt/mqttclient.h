#pragma once

#include "mqttsettings.h"

#include <QObject>

#include <memory>

// Velmora's connection to the broker, through libmosquitto, on a thread of its own: no
// call here waits on the network. It connects, and connects again with a back-off of 1 s
// doubling to 30 s whenever the broker cannot be reached or goes; a broker that refuses
// the name and password is not asked again. Its last will is PREFIX/status "offline".
//
// What it is given is kept across outages: the retained state (each topic's latest)
// is sent again on every connection, and the messages that must arrive (presses) wait
// in order, up to kQueued, until the broker is back.
class MqttClient : public QObject {
    Q_OBJECT
public:
    static constexpr int kQueued = 1000;
    // At most this many commands are taken each second; the others are refused at once.
    static constexpr int kCommandsPerSecond = 20;

    explicit MqttClient(const MqttSettings &settings, QObject *parent = nullptr);
    // A clean stop: "offline" published and the connection closed, waiting a moment at most.
    ~MqttClient() override;

    // Retained, and sent again on every connection.
    void setRetained(const QByteArray &topic, const QByteArray &payload);
    // QoS 1, not retained; queued while there is no connection.
    void publishQueued(const QByteArray &topic, const QByteArray &payload);
    // Not retained, lost while there is no connection (a command's answer).
    void publish(const QByteArray &topic, const QByteArray &payload);

signals:
    // Told on this object's thread. Connected, or why not, and whether Velmora keeps trying.
    void connectionChanged(bool connected, const QString &why, bool retrying);
    // A command on PREFIX/cmd/VERB, within the rate.
    void command(const QByteArray &verb, const QByteArray &payload);

private:
    struct Impl;
    std::shared_ptr<Impl> d;
};
