#include "webplugin.h"

#include "webstart.h"

namespace {

QString check(const QString &spec) { return parseWebAddress(spec).error(); }

std::unique_ptr<QObject> open(Core &core, const QString &spec, const QString &folder, qint64 uploadLimit)
{
    const Result<WebAddress> where = parseWebAddress(spec);
    if (!where)
        return nullptr;
    return openWebPage(core, {*where, folder, uploadLimit});
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
