#include "mqttsettings.h"

#include "platform/texts.h"

#include <QFile>
#include <QUrl>

#include <sys/stat.h>

namespace {

// A topic level or levels as brokers take them: no wildcards, nothing the broker keeps
// for itself ('$'), no empty level, no control character.
bool plainTopic(const QString &text)
{
    if (text.isEmpty() || text.size() > 200 || text.startsWith(QLatin1Char('$')))
        return false;
    for (const QString &level : text.split(QLatin1Char('/')))
        if (level.isEmpty())
            return false;
    return std::none_of(text.begin(), text.end(), [](QChar c) {
        return c == QLatin1Char('+') || c == QLatin1Char('#') || c.unicode() < 0x20 || c.unicode() == 0x7f;
    });
}

}   // namespace

Result<std::pair<QByteArray, QByteArray>> readCredentials(const QString &path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISREG(st.st_mode))
        return failure(Texts::tr("il file della password MQTT %1 non c'è o non è un file").arg(path));
    if ((st.st_mode & 077) != 0)
        return failure(Texts::tr("il file della password MQTT %1 si legge anche da altri utenti: "
                                 "renderlo solo proprio con chmod 600 %1")
                           .arg(path));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return failure(
            Texts::tr("il file della password MQTT %1 non si legge: %2").arg(path, file.errorString()));
    const QByteArray line = file.read(4096).split('\n').constFirst().trimmed();
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0)
        return failure(
            Texts::tr("il file della password MQTT %1 deve contenere una riga UTENTE:PASSWORD").arg(path));
    return std::pair {line.left(colon), line.mid(colon + 1)};
}

Result<MqttSettings> mqttSettings(const MqttOptions &options, const QString &hostName)
{
    const QUrl url(options.url, QUrl::StrictMode);
    MqttSettings settings;
    settings.tls = url.scheme() == QLatin1String("mqtts");
    if (!url.isValid() || (url.scheme() != QLatin1String("mqtt") && !settings.tls) || url.host().isEmpty() ||
        (!url.path().isEmpty() && url.path() != QLatin1String("/")) || url.hasQuery() || url.hasFragment())
        return failure(Texts::tr("--mqtt vuole l'indirizzo del server come mqtt://HOST[:PORTA] oppure "
                                 "mqtts://HOST[:PORTA], non \"%1\"")
                           .arg(options.url));
    if (!url.userInfo().isEmpty())   // it would show in `ps` and in the journal
        return failure(Texts::tr("nome e password non vanno nell'indirizzo di --mqtt: scriverli in un file "
                                 "(UTENTE:PASSWORD, chmod 600) e indicarlo con --mqtt-password-file"));
    settings.host = url.host();
    settings.port = url.port(settings.tls ? 8883 : 1883);
    settings.caFile = options.caFile;
    if (!settings.caFile.isEmpty() && !QFile::exists(settings.caFile))
        return failure(Texts::tr("il certificato dell'autorità %1 (--mqtt-ca) non c'è").arg(settings.caFile));
    const QString name = options.name.isEmpty() ? hostName : options.name;
    if (!plainTopic(name) || name.contains(QLatin1Char('/')))
        return failure(Texts::tr("il nome della scatola \"%1\" non va in un argomento MQTT: indicarne uno "
                                 "con --mqtt-name, senza / + # e senza $ iniziale")
                           .arg(name));
    const QString prefix = options.prefix.isEmpty() ? QStringLiteral("velmora/") + name : options.prefix;
    if (!plainTopic(prefix))
        return failure(Texts::tr("--mqtt-prefix \"%1\" non va come inizio degli argomenti MQTT: livelli non "
                                 "vuoti separati da /, senza + # e senza $ iniziale")
                           .arg(prefix));
    settings.name = name.toUtf8();
    settings.prefix = prefix.toUtf8();
    if (!options.passwordFile.isEmpty()) {
        const auto credentials = readCredentials(options.passwordFile);
        if (!credentials)
            return failure(credentials.error());
        std::tie(settings.user, settings.password) = *credentials;
    }
    settings.homeAssistant = options.homeAssistant;
    return settings;
}
