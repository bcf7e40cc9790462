#include "modules.h"

#include "platform/texts.h"

#include <QCoreApplication>
#include <QLibrary>

namespace {

// The entry a module exports, or null with what the loader said of each place tried.
template <typename Plugin>
const Plugin *loadModule(const QString &file, const char *symbol, QStringList &tried)
{
    for (const QString &folder :
         {QCoreApplication::applicationDirPath(), QStringLiteral(VELMORA_MODULE_DIR)}) {
        QLibrary module(folder + QLatin1Char('/') + file);
        using Entry = const Plugin *(*)();
        if (const auto entry = reinterpret_cast<Entry>(module.resolve(symbol)))
            return entry();   // kept loaded: QLibrary leaves a module loaded when it goes
        tried << module.errorString();
    }
    return nullptr;
}

}   // namespace

const WebPlugin *loadWebPlugin(QString &why)
{
    QStringList tried;
    if (const WebPlugin *web =
            loadModule<WebPlugin>(QStringLiteral("velmora-web.so"), VELMORA_WEB_PLUGIN, tried))
        return web;
    why = Texts::tr("la pagina web non è disponibile: il modulo velmora-web.so manca o non si carica (%1); "
                    "reinstallare Velmora")
              .arg(tried.join(QStringLiteral("; ")));
    return nullptr;
}

Result<Modules> loadModules(const CommandLine &options)
{
    Modules modules;
    QString why;
    if (!options.web.address.isEmpty()) {
        modules.web = loadWebPlugin(why);
        if (modules.web)
            why = modules.web->check(options.web);
        if (!why.isEmpty())
            return failure(why);
    }
    if (!options.mqtt.url.isEmpty()) {
        QStringList tried;
        modules.mqtt = loadModule<MqttPlugin>(QStringLiteral("velmora-mqtt.so"), VELMORA_MQTT_PLUGIN, tried);
        if (!modules.mqtt)
            return failure(
                Texts::tr("MQTT non è disponibile: il modulo velmora-mqtt.so manca o non si carica (%1); "
                          "installare libmosquitto1 (sudo apt install libmosquitto1) o "
                          "reinstallare Velmora")
                    .arg(tried.join(QStringLiteral("; "))));
        if (const QString refused = modules.mqtt->check(options.mqtt); !refused.isEmpty())
            return failure(refused);
    }
    return modules;
}

std::vector<std::unique_ptr<QObject>> openFaces(Core &core, const Modules &modules,
                                                const CommandLine &options, const QString &folder)
{
    std::vector<std::unique_ptr<QObject>> faces;
    if (modules.web)
        faces.push_back(modules.web->open(core, options.web, folder));
    if (modules.mqtt)
        faces.push_back(modules.mqtt->open(core, options.mqtt));
    return faces;
}
