#pragma once

#include "core/core.h"
#include "mqttoptions.h"

#include <QObject>
#include <QString>

#include <memory>

// The message bus lives in a module of its own, velmora-mqtt.so, loaded only with --mqtt:
// libmosquitto (and the TLS library it brings) is never loaded by a box without it, and a
// box without libmosquitto still runs. The module uses the program's own core.
struct MqttPlugin {
    // Why --mqtt and its options would be refused; empty when they are fine.
    QString (*check)(const MqttOptions &options);
    // The face over `core`, connecting in the background.
    std::unique_ptr<QObject> (*open)(Core &core, const MqttOptions &options);
};

#define VELMORA_MQTT_PLUGIN "velmoraMqttPlugin"
extern "C" const MqttPlugin *velmoraMqttPlugin();
