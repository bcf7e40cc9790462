#include "webloader.h"

#include "platform/texts.h"

#include <QCoreApplication>
#include <QLibrary>

const WebPlugin *loadWebPlugin(QString &why)
{
    QStringList tried;
    for (const QString &folder :
         {QCoreApplication::applicationDirPath(), QStringLiteral(VELMORA_MODULE_DIR)}) {
        QLibrary module(folder + QStringLiteral("/velmora-web.so"));
        using Entry = const WebPlugin *(*)();
        if (const auto entry = reinterpret_cast<Entry>(module.resolve(VELMORA_WEB_PLUGIN)))
            return entry();   // kept loaded: QLibrary leaves a module loaded when it goes
        tried << module.errorString();
    }
    why = Texts::tr("la pagina web non è disponibile: il modulo velmora-web.so manca o non si carica (%1); "
                    "reinstallare Velmora")
              .arg(tried.join(QStringLiteral("; ")));
    return nullptr;
}
