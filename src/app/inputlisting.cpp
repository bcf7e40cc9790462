#include "inputlisting.h"

#include "inputs/sources/evdevinput.h"
#include "inputs/sources/gpioinput.h"
#include "inputs/sources/serialport.h"
#include "platform/systemreason.h"
#include "platform/texts.h"

#include <QStringList>

#include <cerrno>

namespace {

constexpr qsizetype kFirstKeys = 4;   // the inputs a device gives without codes

// The line for an entry that could not be opened; `denied` remembers that the remedy for
// access is to be said after the list.
QString unreadable(const QString &path, int error, bool &denied)
{
    const bool refused = error == EACCES || error == EPERM;
    denied = denied || refused;
    return path + QStringLiteral(": ") + (refused ? Texts::tr("accesso negato") : systemReason(error)) +
           QLatin1Char('\n');
}

}   // namespace

QString describeInputDevices(const QList<InputDeviceInfo> &devices)
{
    QString out;
    bool denied = false;
    for (const InputDeviceInfo &device : devices) {
        const QString path = device.byId.isEmpty() ? device.node : device.byId;
        if (device.error) {
            out += unreadable(path, device.error, denied);
            continue;
        }
        QStringList first;
        for (const int code : device.keys.first(std::min<qsizetype>(device.keys.size(), kFirstKeys)))
            first << keyCodeName(code);
        // Joined, not formatted: a device's name is its maker's text and may hold "%1".
        out += path + Texts::tr("\n    nome: ") + device.name +
               (device.byId.isEmpty() ? QString() : QStringLiteral(" (") + device.node + QLatin1Char(')')) +
               Texts::tr("\n    primi tasti: ") + first.join(QLatin1Char(' ')) +
               Texts::tr(" (%1 in tutto)\n    velmora --port evdev:").arg(device.keys.size()) + path +
               QLatin1Char('\n');
    }
    if (devices.isEmpty())
        out += Texts::tr("Nessun dispositivo di input con tasti o pulsanti in /dev/input.\n");
    if (denied)
        out += Texts::tr("Per leggere i dispositivi ad accesso negato: %1.\n").arg(evdevAccessHelp());
    return out;
}

QString describeSerialPorts(const QList<SerialPortInfo> &ports)
{
    QString out = Texts::tr("\nPorte seriali (ingresso 1 CTS, 2 DSR, 3 DCD, 4 RI):\n");
    bool denied = false;
    for (const SerialPortInfo &port : ports) {
        const QString path = port.byId.isEmpty() ? port.node : port.byId;
        if (port.error) {
            out += unreadable(path, port.error, denied);
            continue;
        }
        const QString missing = missingInputs(port.support);
        out += path +
               (port.byId.isEmpty() ? QString() : QStringLiteral(" (") + port.node + QLatin1Char(')')) +
               (port.driver.isEmpty() ? QString() : QStringLiteral("\n    driver: ") + port.driver) +
               (missing.isEmpty() ? QString() : QStringLiteral("\n    ") + missing) +
               (port.support.wakesOnEveryEdge
                    ? QString()
                    : Texts::tr("\n    guardata ogni 10 ms: questa porta avvisa di RI solo quando lo "
                                "squillo finisce")) +
               QStringLiteral("\n    velmora --port serial:") + path + QLatin1Char('\n');
    }
    if (ports.isEmpty())
        out += Texts::tr("Nessuna porta seriale.\n");
    if (denied)
        out += Texts::tr("Per leggere le porte ad accesso negato: %1.\n").arg(serialAccessHelp());
    if (!ports.isEmpty())
        out +=
            Texts::tr("Le porte non sono state aperte: aprirne una alza e abbassa DTR e RTS, e alcune schede "
                      "(Arduino e simili) si riavviano. Per vedere le linee di una porta: "
                      "velmora --list-inputs --port serial:PORTA\n");
    return out;
}

QString describeSerialLines(const QString &path, const Result<ModemLines, int> &lines,
                            const LineSupport &support)
{
    if (!lines) {
        bool denied = false;
        QString out = unreadable(path, lines.error(), denied);
        if (denied)
            out += Texts::tr("Per leggerla: %1.\n").arg(serialAccessHelp());
        return out;
    }
    QStringList shown;
    for (std::size_t i = 0; i < lines->on.size(); ++i)
        shown << QString(modemLineName(i) + (!support.reported[i] ? Texts::tr(" non disponibile")
                                             : lines->on[i]       ? Texts::tr(" attivo")
                                                                  : Texts::tr(" a riposo")))
                     .replace(QLatin1Char(' '), QChar::Nbsp);   // one piece in a wrapped listing
    return path + Texts::tr("\n    linee ora: ") + shown.join(QStringLiteral(", ")) +
           QStringLiteral("\n    velmora --port serial:") + path + QLatin1Char('\n');
}

QString describeGpioChips(const QList<GpioChipInfo> &chips)
{
    QString out = Texts::tr("\nChip GPIO (un pulsante tra la linea e massa; --port gpio:LINEE):\n");
    bool denied = false;
    for (const GpioChipInfo &chip : chips) {
        if (chip.error) {
            out += unreadable(chip.path, chip.error, denied);
            continue;
        }
        out += Texts::tr("%1 (%2, %3 linee)\n").arg(chip.path, chip.label).arg(chip.lines.size());
        QStringList free, used, named;
        for (qsizetype n = 0; n < chip.lines.size(); ++n) {
            const GpioLineInfo &line = chip.lines[n];
            const QString shown = line.name.isEmpty() ? QString::number(n) : line.name;
            if (line.used) {
                used << Texts::tr("%1 da \"%2\"").arg(shown, line.consumer);
                continue;
            }
            if (line.name.isEmpty())
                continue;
            named << line.name;
            const int pin = headerPin(line.name);
            // One piece in a wrapped listing, pin with its line.
            free << shown + (pin ? QString(QChar::Nbsp) + QStringLiteral("(pin %1)").arg(pin) : QString());
        }
        if (!free.isEmpty())
            out += Texts::tr("    linee libere: ") + free.join(QStringLiteral(", ")) + QLatin1Char('\n');
        if (!used.isEmpty())
            out += Texts::tr("    in uso: ") + used.join(QStringLiteral(", ")) + QLatin1Char('\n');
        if (named.contains(QLatin1String("GPIO17")))
            out += Texts::tr("    velmora --port gpio:GPIO17,GPIO27,GPIO22,GPIO23 (pin 11, 13, 15, 16; "
                             "massa ai pin 9, 14, 20)\n");
        else
            out += QStringLiteral("    velmora --port gpio:%1:0,1,2,3\n").arg(chip.name);
    }
    if (chips.isEmpty())
        out += Texts::tr("Nessun chip GPIO.\n");
    if (denied)
        out += Texts::tr("Per leggere i chip ad accesso negato: %1.\n").arg(gpioAccessHelp());
    if (!chips.isEmpty())
        out += Texts::tr("Nessuna linea è stata richiesta né letta: su un Raspberry Pi anche leggere una "
                         "linea può cambiare il piedino (un UART, l'I2C, l'alimentazione USB). Per vedere "
                         "le quattro linee scelte: velmora --list-inputs --port gpio:LINEE\n");
    return out;
}

QString describeGpioLines(const QString &port, const QStringList &lines, const InputReading &reading)
{
    if (!reading)
        return port + QStringLiteral(": ") + reading.error() + QLatin1Char('\n');
    const Inputs now = reading->isEmpty() ? Inputs {} : reading->constLast().raw;
    QStringList shown;
    for (std::size_t i = 0; i < now.size(); ++i)
        shown << QString(QStringLiteral("%1 (%2)").arg(i + 1).arg(lines.value(qsizetype(i))) +
                         (now[i] ? Texts::tr(" attivo") : Texts::tr(" a riposo")))
                     .replace(QLatin1Char(' '), QChar::Nbsp);   // one piece in a wrapped listing
    return port + Texts::tr("\n    ingressi ora: ") + shown.join(QStringLiteral(", ")) +
           Texts::tr("\n    lette solo queste quattro linee, richieste come le usa Velmora\n");
}
