#include "webplugin.h"

#include "webstart.h"
#include "webtls.h"

namespace {

Result<WebFace::Settings> settingsOf(const WebOptions &options, const QString &folder)
{
    const Result<WebAddress> where = parseWebAddress(options.address);
    if (!where)
        return failure(where.error());
    WebFace::Settings settings {*where, folder, options.uploadLimit, std::nullopt};
    if (options.https()) {
        Result<QSslConfiguration> tls = httpsFrom(options.certificate, options.certificateKey);
        if (!tls)
            return failure(tls.error());
        settings.https = *tls;
    }
    return settings;
}

QString check(const WebOptions &options) { return settingsOf(options, {}).error(); }

std::unique_ptr<QObject> open(Core &core, const WebOptions &options, const QString &folder)
{
    const Result<WebFace::Settings> settings = settingsOf(options, folder);
    return settings ? openWebPage(core, *settings) : nullptr;
}

std::pair<bool, QString> describeKey(const QString &folder, bool renew)
{
    const Result<QString> described = describeWebKey(folder, renew);
    return {described.ok(), described ? *described : described.error()};
}

}   // namespace

extern "C" Q_DECL_EXPORT const WebPlugin *velmoraWebPlugin()
{
    static const WebPlugin plugin {check, open, describeKey};
    return &plugin;
}
