#include "sourcechoice.h"

#include "sampledsource.h"
#include "sources/evdevinput.h"
#include "sources/fileport.h"
#include "sources/parallelport.h"
#include "sources/serialport.h"

Result<std::unique_ptr<InputSource>> makeInputSource(const QString &spec, PortSystem &system)
{
    auto starts = [&spec](const char *prefix) { return spec.startsWith(QLatin1String(prefix)); };
    Result<std::unique_ptr<InputSource>> source = failure(QString());
    bool tellsOfChanges = true;   // wakes the window itself; the others are sampled
    if (starts("evdev:"))
        source = makeEvdevInput(spec.mid(6));
    else if (starts("/dev/input/"))   // a ppdev path would say "not a parallel port"
        source = makeEvdevInput(spec);
    else if (starts("serial:"))
        source = makeSerialPort(spec.mid(7));
    else if (starts("/dev/serial/"))
        source = makeSerialPort(spec);
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
            return failure(
                QStringLiteral("porta non valida: \"%1\" (valori ammessi: auto, io, /dev/parportN, "
                               "evdev:DISPOSITIVO, serial:PORTA, file:PERCORSO)")
                    .arg(spec));
    }
    if (!source)
        return failure(QStringLiteral("porta non valida: \"%1\": %2").arg(spec, source.error()));
    if (tellsOfChanges)
        return source;
    return std::unique_ptr<InputSource>(std::make_unique<SampledSource>(std::move(*source)));
}
