#include "inputlisting.h"

#include "inputs/sources/evdevinput.h"

#include <QStringList>

#include <cerrno>
#include <cstring>

namespace {
constexpr qsizetype kFirstKeys = 4;   // the inputs a device gives without codes
}   // namespace

QString describeInputDevices(const QList<InputDeviceInfo> &devices)
{
    QString out;
    bool denied = false;
    for (const InputDeviceInfo &device : devices) {
        const QString path = device.byId.isEmpty() ? device.node : device.byId;
        if (device.error) {
            const bool refused = device.error == EACCES || device.error == EPERM;
            denied = denied || refused;
            out += path + QStringLiteral(": ") +
                   (refused ? QStringLiteral("accesso negato")
                            : QString::fromLocal8Bit(std::strerror(device.error))) +
                   QLatin1Char('\n');
            continue;
        }
        QStringList first;
        for (const int code : device.keys.first(std::min<qsizetype>(device.keys.size(), kFirstKeys)))
            first << keyCodeName(code);
        // Joined, not formatted: a device's name is its maker's text and may hold "%1".
        out += path + QStringLiteral("\n    nome: ") + device.name +
               (device.byId.isEmpty() ? QString() : QStringLiteral(" (") + device.node + QLatin1Char(')')) +
               QStringLiteral("\n    primi tasti: ") + first.join(QLatin1Char(' ')) +
               QStringLiteral(" (%1 in tutto)\n    velmora --port evdev:").arg(device.keys.size()) + path +
               QLatin1Char('\n');
    }
    if (devices.isEmpty())
        out += QStringLiteral("Nessun dispositivo di input con tasti o pulsanti in /dev/input.\n");
    if (denied)
        out += QStringLiteral("Per leggere i dispositivi ad accesso negato: %1.\n").arg(evdevAccessHelp());
    return out;
}
