#pragma once

#include "app/commandline.h"
#include "mqtt/mqttplugin.h"
#include "platform/result.h"
#include "web/webplugin.h"

#include <memory>
#include <vector>

// The faces that reach a box from elsewhere live in modules of their own, loaded only when
// asked for: velmora-web.so (--web) and velmora-mqtt.so (--mqtt). Each is looked for beside
// the program (a build, scripts/install's folder), else where the package puts it.
struct Modules {
    const WebPlugin *web = nullptr;
    const MqttPlugin *mqtt = nullptr;
};

// The modules the options ask for, their options checked; or why Velmora cannot start so.
[[nodiscard]] Result<Modules> loadModules(const CommandLine &options);
// The web page's module alone (--web-key); null with the reason in `why`.
[[nodiscard]] const WebPlugin *loadWebPlugin(QString &why);
// The faces over `core`, started; what could not start said why on stderr.
[[nodiscard]] std::vector<std::unique_ptr<QObject>>
openFaces(Core &core, const Modules &modules, const CommandLine &options, const QString &folder);
