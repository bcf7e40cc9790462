#include "webstart.h"

#include "accesskey.h"
#include "platform/texts.h"

#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcWeb)

std::unique_ptr<WebFace> openWebPage(Core &core, const WebFace::Settings &settings)
{
    auto page = std::make_unique<WebFace>(core, settings);
    const Result<QString> url = page->start();
    if (!url) {
        qCWarning(lcWeb).noquote() << url.error() +
                                          Texts::tr(": Velmora funziona senza pagina web; liberare la "
                                                    "porta o sceglierne un'altra con --web");
        return nullptr;
    }
    const Result<QByteArray> key = accessKey(settings.folder);   // made now, at first use
    const QString said =
        settings.where.loopback()
            ? Texts::tr("pagina web su %1, solo da questa macchina; la chiave per cambiare le "
                        "impostazioni: velmora --web-key")
            : Texts::tr("pagina web su %1, aperta alla rete con la chiave di accesso: velmora "
                        "--web-key");
    qCInfo(lcWeb).noquote() << said.arg(*url) + (key ? QString() : QStringLiteral("; ") + key.error());
    return page;
}

Result<QString> describeWebKey(const QString &folder, bool renew)
{
    const Result<QByteArray> key = renew ? newAccessKey(folder) : accessKey(folder);
    if (!key)
        return failure(key.error());
    return Texts::tr("%1\nLa chiave di accesso della pagina web (velmora --web PORTA), in %2. Il browser la "
                     "chiede una volta; per le API: \"Authorization: Bearer CHIAVE\". Una nuova: velmora "
                     "--web-key new.\n")
        .arg(QString::fromLatin1(*key), accessKeyPath(folder));
}
