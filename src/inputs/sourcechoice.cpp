#include "sourcechoice.h"

#include "platform/texts.h"
#include "sampledsource.h"
#include "sources/evdevinput.h"
#include "sources/fileport.h"
#include "sources/gpioinput.h"
#include "sources/parallelport.h"
#include "sources/serialport.h"

#include <algorithm>

namespace {

// A control character has no place in a device's path, and written into a menu entry or
// a service's unit a line break would start a line of its own.
bool hasControlCharacter(const QString &spec)
{
    return std::any_of(spec.begin(), spec.end(),
                       [](QChar c) { return c.category() == QChar::Other_Control; });
}

// The text as it can be shown on one line: a control character by its C escape.
QString shownOnOneLine(const QString &spec)
{
    QString out;
    for (const QChar c : spec) {
        if (c == QLatin1Char('\n'))
            out += QStringLiteral("\\n");
        else if (c == QLatin1Char('\t'))
            out += QStringLiteral("\\t");
        else if (c.category() == QChar::Other_Control)
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

}   // namespace

QString serialPortOf(const QString &spec)
{
    if (spec.startsWith(QLatin1String("serial:")))
        return spec.mid(7);
    if (spec.startsWith(QLatin1String("/dev/serial/")))
        return spec;
    return {};
}

std::optional<QString> gpioLinesOf(const QString &spec)
{
    if (spec == QLatin1String("gpio"))
        return QString();
    if (spec.startsWith(QLatin1String("gpio:")))
        return spec.mid(5);
    return std::nullopt;
}

Result<std::unique_ptr<InputSource>> makeInputSource(const QString &spec, PortSystem &system)
{
    if (hasControlCharacter(spec))
        return failure(Texts::tr("porta non valida: \"%1\" contiene un carattere di controllo (un a capo, "
                                 "una tabulazione): scrivere la porta su una sola riga")
                           .arg(shownOnOneLine(spec)));
    auto starts = [&spec](const char *prefix) { return spec.startsWith(QLatin1String(prefix)); };
    Result<std::unique_ptr<InputSource>> source = failure(QString());
    bool tellsOfChanges = true;   // wakes the window itself; the others are sampled
    if (starts("evdev:"))
        source = makeEvdevInput(spec.mid(6));
    else if (starts("/dev/input/"))   // a ppdev path would say "not a parallel port"
        source = makeEvdevInput(spec);
    else if (const QString serial = serialPortOf(spec); !serial.isNull())
        source = makeSerialPort(serial);
    else if (const std::optional<QString> lines = gpioLinesOf(spec))
        source = makeGpioInput(*lines);
    else {
        tellsOfChanges = false;
        if (spec == QLatin1String("auto"))
            source = makeAutoPort(system);
        else if (spec == QLatin1String("io"))
            source = makeIoPort(system);
        else if (starts("file:") && spec.size() > 5)
            source = makeFilePort(spec.mid(5));
        else if (starts("/dev/"))
            source = makePpdevPort(system, spec);
        else
            return failure(Texts::tr("porta non valida: \"%1\" (valori ammessi: auto, io, /dev/parportN, "
                                     "evdev:DISPOSITIVO, serial:PORTA, gpio:LINEE, file:PERCORSO)")
                               .arg(spec));
    }
    if (!source)
        return failure(Texts::tr("porta non valida: \"%1\": %2").arg(spec, source.error()));
    if (tellsOfChanges)
        return source;
    return std::unique_ptr<InputSource>(std::make_unique<SampledSource>(std::move(*source)));
}
