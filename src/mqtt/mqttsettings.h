#pragma once

#include "mqttoptions.h"
#include "platform/result.h"

#include <QByteArray>
#include <QString>

// The bus's options made into what the client connects with, each checked as --port is:
// a mistake refuses the start with the reason.
struct MqttSettings {
    QString host;
    int port = 1883;
    bool tls = false;
    QString caFile;              // empty: the system's certificate authorities
    QByteArray name;             // the box's name, one topic level
    QByteArray prefix;           // no '/' at its end
    QByteArray user, password;   // empty user: none
    bool homeAssistant = false;
    [[nodiscard]] QByteArray topic(const QByteArray &rest) const { return prefix + '/' + rest; }
};

// `hostName` stands for the machine's name when the options give none.
[[nodiscard]] Result<MqttSettings> mqttSettings(const MqttOptions &options, const QString &hostName);

// A password file's one line, USER:PASSWORD; refused unless only its owner can read it.
[[nodiscard]] Result<std::pair<QByteArray, QByteArray>> readCredentials(const QString &path);
