#include "mqttplugin.h"

#include "mqttface.h"

#include <QSysInfo>

namespace {

Result<MqttSettings> settingsOf(const MqttOptions &options)
{
    return mqttSettings(options, QSysInfo::machineHostName());
}

QString check(const MqttOptions &options) { return settingsOf(options).error(); }

std::unique_ptr<QObject> open(Core &core, const MqttOptions &options)
{
    const Result<MqttSettings> settings = settingsOf(options);
    return settings ? std::make_unique<MqttFace>(core, *settings) : nullptr;
}

}   // namespace

extern "C" Q_DECL_EXPORT const MqttPlugin *velmoraMqttPlugin()
{
    static const MqttPlugin plugin {check, open};
    return &plugin;
}
