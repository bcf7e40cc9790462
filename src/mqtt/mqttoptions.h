#pragma once

#include <QString>

// What the command line asks of the message bus; the URL empty when there is none.
struct MqttOptions {
    QString url;                  // --mqtt mqtt://HOST[:PORT] or mqtts://HOST[:PORT]
    QString name;                 // --mqtt-name: the box's name, the host name when empty
    QString prefix;               // --mqtt-prefix: the topics' start, velmora/NAME when empty
    QString passwordFile;         // --mqtt-password-file: USER:PASSWORD, readable by the user alone
    QString caFile;               // --mqtt-ca: the CA that signed the broker's certificate (mqtts)
    bool homeAssistant = false;   // --mqtt-homeassistant: announced to Home Assistant
};
