#include "commandline.h"

#include "platform/texts.h"

#include <QCommandLineParser>
#include <QRegularExpression>

namespace {

// Qt's own help and error texts are in English; the window is in Italian, so the
// command line speaks Italian too.
QString helpText()
{
    return Texts::tr("Uso: velmora [opzioni]\n"
                     "Velmora: quattro ingressi (porta parallela, pulsanti USB, porta seriale o\n"
                     "GPIO), una spia e un suono per ciascuno.\n"
                     "\n"
                     "Opzioni:\n"
                     "  -h, --help     Mostra questo aiuto ed esce.\n"
                     "  -v, --version  Mostra la versione ed esce.\n"
                     "  --port SPEC    Da dove leggere i quattro ingressi: auto (predefinito),\n"
                     "                 /dev/parportN, io (accesso diretto a 0x379, solo root),\n"
                     "                 file:PERCORSO (il byte di stato scritto in un file, per\n"
                     "                 provare senza porta) oppure\n"
                     "                 evdev:DISPOSITIVO[:CODICE1,CODICE2,CODICE3,CODICE4] (pulsanti\n"
                     "                 USB: tastierino, pedaliera, interfaccia per pulsanti arcade)\n"
                     "                 oppure serial:PORTA (contatti sulle linee CTS, DSR, DCD e RI\n"
                     "                 di una porta seriale o di un adattatore USB-seriale, per\n"
                     "                 esempio serial:/dev/ttyUSB0) oppure\n"
                     "                 gpio:[CHIP:]LINEE[:up|down|none] (pulsanti sulle linee GPIO di\n"
                     "                 un Raspberry Pi: gpio: da solo usa GPIO17, GPIO27, GPIO22 e\n"
                     "                 GPIO23, pin 11, 13, 15 e 16, un pulsante tra il pin e massa).\n"
                     "  --list-inputs  Elenca i dispositivi di input con tasti o pulsanti (USB e\n"
                     "                 altri) e le porte seriali, senza aprirle, e i chip GPIO, senza\n"
                     "                 richiederne le linee, ed esce. Con --port serial:PORTA mostra\n"
                     "                 invece le linee di quella porta (aprirla alza e abbassa DTR);\n"
                     "                 con --port gpio:LINEE gli ingressi di quelle quattro linee, le\n"
                     "                 sole richieste.\n"
                     "  --check        Controlla le opzioni senza aprire la finestra ed esce: stato 2\n"
                     "                 se Velmora le rifiuterebbe; un avviso se la porta ora non si\n"
                     "                 legge (USB scollegato).\n"
                     "  --no-window    Funziona senza finestra e senza schermo (esposizioni, negozi,\n"
                     "                 servizi): stessi ingressi e suoni, assegnazioni lette da\n"
                     "                 CONFIG.TXT accanto al programma; i messaggi vanno su stderr.\n"
                     "                 SIGHUP rilegge CONFIG.TXT, SIGTERM e SIGINT la chiudono.\n"
                     "  --web [INDIRIZZO:]PORTA\n"
                     "                 Anche una pagina web per vedere e impostare Velmora da un\n"
                     "                 browser: PORTA da sola solo da questa macchina (127.0.0.1);\n"
                     "                 un INDIRIZZO (0.0.0.0 per tutta la rete) la apre alla rete,\n"
                     "                 sempre con la chiave di accesso.\n"
                     "  --web-key [new]\n"
                     "                 Mostra la chiave di accesso della pagina web ed esce; con new\n"
                     "                 ne fa una nuova, che chiude le sessioni aperte con la vecchia.\n"
                     "  --web-upload-limit MIB\n"
                     "                 La dimensione massima di un WAV caricato dalla pagina web\n"
                     "                 (predefinita 64).\n"
                     "  --web-cert FILE --web-cert-key FILE\n"
                     "                 La pagina web in HTTPS, con questo certificato e la sua\n"
                     "                 chiave privata (file PEM); senza, in HTTP semplice.\n"
                     "  --mqtt URL     Anche sul bus di messaggi della sala, tramite un server MQTT:\n"
                     "                 mqtt://HOST[:PORTA] oppure mqtts://HOST[:PORTA] (TLS). Pubblica\n"
                     "                 le spie, le pressioni e i suoni sotto velmora/NOME/ e accetta\n"
                     "                 i comandi play, stop e reload (docs/mqtt.md).\n"
                     "  --mqtt-name NOME\n"
                     "                 Nome di questa scatola (predefinito: il nome della macchina).\n"
                     "  --mqtt-prefix ARGOMENTO\n"
                     "                 L'inizio degli argomenti (predefinito: velmora/NOME).\n"
                     "  --mqtt-password-file FILE\n"
                     "                 Nome e password per il server, una riga UTENTE:PASSWORD in un\n"
                     "                 file leggibile solo dall'utente (chmod 600).\n"
                     "  --mqtt-ca FILE Il certificato dell'autorità che ha firmato quello del server\n"
                     "                 (mqtts); predefinite quelle del sistema.\n"
                     "  --mqtt-homeassistant\n"
                     "                 Si annuncia a Home Assistant (MQTT discovery): un dispositivo\n"
                     "                 con spie, pressioni e un pulsante di prova per ingresso.\n"
                     "\n"
                     "CONFIG.TXT e i suoni stanno nella cartella del programma; se l'utente non vi\n"
                     "può scrivere (il programma installato dal pacchetto, in /usr/bin), nella sua\n"
                     "cartella ~/Velmora, creata al primo avvio.\n");
}

}   // namespace

CommandLine parseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, {});
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")}, {});
    const QCommandLineOption port(QStringLiteral("port"), {}, QStringLiteral("SPEC"), QStringLiteral("auto"));
    const QCommandLineOption listInputs(QStringLiteral("list-inputs"), {});
    const QCommandLineOption check(QStringLiteral("check"), {});
    const QCommandLineOption noWindow(QStringLiteral("no-window"), {});
    const QCommandLineOption web(QStringLiteral("web"), {}, QStringLiteral("ADDRESS"));
    const QCommandLineOption webKey(QStringLiteral("web-key"), {});
    const QCommandLineOption uploadLimit(QStringLiteral("web-upload-limit"), {}, QStringLiteral("MIB"));
    const QCommandLineOption certificate(QStringLiteral("web-cert"), {}, QStringLiteral("FILE"));
    const QCommandLineOption certificateKey(QStringLiteral("web-cert-key"), {}, QStringLiteral("FILE"));
    const QCommandLineOption mqtt(QStringLiteral("mqtt"), {}, QStringLiteral("URL"));
    const QCommandLineOption mqttName(QStringLiteral("mqtt-name"), {}, QStringLiteral("NAME"));
    const QCommandLineOption mqttPrefix(QStringLiteral("mqtt-prefix"), {}, QStringLiteral("TOPIC"));
    const QCommandLineOption mqttPassword(QStringLiteral("mqtt-password-file"), {}, QStringLiteral("FILE"));
    const QCommandLineOption mqttCa(QStringLiteral("mqtt-ca"), {}, QStringLiteral("FILE"));
    const QCommandLineOption homeAssistant(QStringLiteral("mqtt-homeassistant"), {});
    parser.addOptions({help, version, port, listInputs, check, noWindow, web, webKey, uploadLimit,
                       certificate, certificateKey, mqtt, mqttName, mqttPrefix, mqttPassword, mqttCa,
                       homeAssistant});

    CommandLine result;
    auto error = [&result](const QString &why) {
        result.action = CommandLine::Action::Error;
        result.text = why + Texts::tr(" (velmora --help elenca le opzioni)");
        return result;
    };
    if (!parser.parse(arguments)) {
        if (!parser.unknownOptionNames().isEmpty()) {
            const QString name = parser.unknownOptionNames().constFirst();
            return error(Texts::tr("opzione sconosciuta: %1%2").arg(name.size() == 1 ? "-" : "--", name));
        }
        // The only other mistake the parser finds: an option without its value, named in
        // the toolkit's English text ("Missing value after '--web'.").
        static const QRegularExpression named(QStringLiteral("'(-[^']+)'"));
        return error(
            Texts::tr("manca il valore dell'opzione %1").arg(named.match(parser.errorText()).captured(1)));
    }
    for (const QCommandLineOption &once : {port, web, uploadLimit, certificate, certificateKey, mqtt,
                                           mqttName, mqttPrefix, mqttPassword, mqttCa})
        if (parser.values(once).size() > 1)   // which one was meant cannot be told
            return error(
                Texts::tr("--%1 indicata più volte: indicarne una sola").arg(once.names().constFirst()));
    QStringList extra = parser.positionalArguments();
    result.newWebKey =
        parser.isSet(webKey) && extra.size() == 1 && extra.constFirst() == QLatin1String("new");
    if (result.newWebKey)
        extra.clear();
    if (!extra.isEmpty())
        return error(Texts::tr("argomento non previsto: %1").arg(extra.constFirst()));
    if (parser.isSet(uploadLimit)) {
        bool ok = false;
        const qint64 mib = parser.value(uploadLimit).toLongLong(&ok);
        if (!ok || mib < 1 || mib > 1024)
            return error(Texts::tr("--web-upload-limit vuole un numero di MiB da 1 a 1024"));
        result.web.uploadLimit = mib << 20;
    }
    if (parser.isSet(certificate) != parser.isSet(certificateKey))
        return error(Texts::tr("--web-cert e --web-cert-key vanno indicate insieme"));
    for (const QCommandLineOption &needsMqtt : {mqttName, mqttPrefix, mqttPassword, mqttCa, homeAssistant})
        if (parser.isSet(needsMqtt) && !parser.isSet(mqtt))
            return error(Texts::tr("--%1 vale solo con --mqtt URL").arg(needsMqtt.names().constFirst()));
    if (parser.isSet(help)) {
        result.action = CommandLine::Action::Help;
        result.text = helpText();
    } else if (parser.isSet(webKey)) {
        result.action = CommandLine::Action::WebKey;
    } else if (parser.isSet(listInputs)) {
        result.action = CommandLine::Action::ListInputs;
    } else if (parser.isSet(check)) {
        result.action = CommandLine::Action::Check;
    } else if (parser.isSet(version)) {
        result.action = CommandLine::Action::Version;
        result.text = QStringLiteral("velmora %1\n").arg(QStringLiteral(VELMORA_VERSION));
    }
    result.port = parser.value(port);
    result.noWindow = parser.isSet(noWindow);
    result.web.address = parser.value(web);
    result.web.certificate = parser.value(certificate);
    result.web.certificateKey = parser.value(certificateKey);
    result.mqtt = {parser.value(mqtt),         parser.value(mqttName), parser.value(mqttPrefix),
                   parser.value(mqttPassword), parser.value(mqttCa),   parser.isSet(homeAssistant)};
    return result;
}
