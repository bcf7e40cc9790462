#include "commandline.h"

#include <QCommandLineParser>
#include <QCoreApplication>

CommandLine parseCommandLine(const QStringList &arguments)
{
    QCoreApplication::setApplicationVersion(QStringLiteral(VELMORA_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Velmora: quattro ingressi della porta parallela, una spia e un suono per ciascuno."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption port(
        QStringLiteral("port"),
        QStringLiteral("Da dove leggere il registro di stato: auto (predefinito), /dev/parportN, io "
                       "(accesso diretto a 0x379, solo root) oppure file:PERCORSO (il byte di stato scritto in un file)."),
        QStringLiteral("SPEC"), QStringLiteral("auto"));
    parser.addOption(port);
    parser.process(arguments);
    return {parser.value(port)};
}
