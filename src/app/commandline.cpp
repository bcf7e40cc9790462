#include "commandline.h"

#include <QCommandLineParser>

namespace {

// Qt's own help and error texts are in English; the window is in Italian, so the
// command line speaks Italian too.
QString helpText()
{
    return QStringLiteral(
               "Uso: velmora [opzioni]\n"
               "Velmora: quattro ingressi della porta parallela, una spia e un suono per ciascuno.\n"
               "\n"
               "Opzioni:\n"
               "  -h, --help     Mostra questo aiuto ed esce.\n"
               "  -v, --version  Mostra la versione ed esce.\n"
               "  --port SPEC    Da dove leggere il registro di stato: auto (predefinito), /dev/parportN,\n"
               "                 io (accesso diretto a 0x379, solo root) oppure file:PERCORSO\n"
               "                 (il byte di stato scritto in un file, per provare senza porta).\n");
}

} // namespace

CommandLine parseCommandLine(const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, {});
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")}, {});
    const QCommandLineOption port(QStringLiteral("port"), {}, QStringLiteral("SPEC"), QStringLiteral("auto"));
    parser.addOptions({help, version, port});

    CommandLine result;
    auto error = [&result](const QString &why) {
        result.action = CommandLine::Action::Error;
        result.text = why + QStringLiteral(" (velmora --help elenca le opzioni)");
        return result;
    };
    if (!parser.parse(arguments)) {
        if (!parser.unknownOptionNames().isEmpty())
        {
            const QString name = parser.unknownOptionNames().constFirst();
            return error(QStringLiteral("opzione sconosciuta: %1%2").arg(name.size() == 1 ? "-" : "--", name));
        }
        return error(QStringLiteral("manca il valore dell'opzione --port"));
    }
    if (!parser.positionalArguments().isEmpty())
        return error(QStringLiteral("argomento non previsto: %1").arg(parser.positionalArguments().constFirst()));
    if (parser.isSet(help)) {
        result.action = CommandLine::Action::Help;
        result.text = helpText();
    } else if (parser.isSet(version)) {
        result.action = CommandLine::Action::Version;
        result.text = QStringLiteral("velmora %1\n").arg(QStringLiteral(VELMORA_VERSION));
    }
    result.port = parser.value(port);
    return result;
}
