#pragma once

#include "core/core.h"
#include "mqttclient.h"

#include <QObject>
#include <QTimer>

#include <array>

// Velmora on the room's message bus: what the core does is told to the broker (lamps,
// presses, the sounds assigned and playing, the box online), and the commands that come
// from it are asked of the core. Everything here runs after the tick, on the window's
// thread, and only hands messages to the client, which never waits on the network.
class MqttFace : public QObject {
    Q_OBJECT
public:
    MqttFace(Core &core, const MqttSettings &settings);
    ~MqttFace() override;

private:
    void onLamps();
    void onAssignments();
    void onQuiz();
    void onPressed(int input, qint64 atNs);
    void onSoundStarted(int input, const QByteArray &file);
    void onCommand(const QByteArray &verb, const QByteArray &payload);
    void onConnection(bool connected, const QString &why, bool retrying);
    void sayUnreachable();

    Core &m_core;
    MqttSettings m_settings;
    MqttClient m_client;
    std::array<quint64, 4> m_counts {};
    quint64 m_sequence = 0;
    QTimer m_playing;       // while a sound plays: notices its end
    QTimer m_unreachable;   // a broker that has not answered for a while is said to be out
    QString m_why;          // the latest reason the broker could not be reached
    bool m_said = false;    // this outage was said
};
