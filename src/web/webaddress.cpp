#include "webaddress.h"

#include "platform/texts.h"

Result<WebAddress> parseWebAddress(const QString &spec)
{
    auto refused = [&spec](const QString &why) {
        return failure(Texts::tr("--web \"%1\" non valido: %2").arg(spec, why));
    };
    const qsizetype colon = spec.lastIndexOf(QLatin1Char(':'));
    QString host = colon < 0 ? QString() : spec.left(colon);
    bool ok = false;
    const uint port = spec.mid(colon + 1).toUInt(&ok);
    if (!ok || port == 0 || port > 65535)
        return refused(Texts::tr("la porta deve essere un numero da 1 a 65535 (per esempio --web 8080)"));
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
        host = host.mid(1, host.size() - 2);
    WebAddress where;
    where.port = quint16(port);
    if (host.isEmpty() || host == QLatin1String("localhost"))
        where.address = QHostAddress(QHostAddress::LocalHost);
    else if (!where.address.setAddress(host))
        return refused(Texts::tr("\"%1\" non è un indirizzo IP di questa macchina (per esempio 0.0.0.0 "
                                 "per tutta la rete, o un indirizzo come 192.168.1.20)")
                           .arg(host));
    return where;
}
