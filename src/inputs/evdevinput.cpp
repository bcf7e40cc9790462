#include "evdevinput.h"

#include "inputtable.h"
#include "platform/soundplayer.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <utility>

namespace {

constexpr int kInputCount = 4;
// A device streaming events faster than they are read must not keep the tick reading:
// far more than four buttons can produce in 200 ms.
constexpr int kMostEventsPerTick = 4096;

std::optional<int> parseCode(const QString &text)
{
    bool ok = false;
    const int number =
        text.startsWith(QLatin1String("0x")) ? text.mid(2).toInt(&ok, 16) : text.toInt(&ok, 10);
    if (ok)
        return number > 0 && number <= KEY_MAX ? std::optional(number) : std::nullopt;
    const int named = keyCodeFromName(text);
    return named >= 0 ? std::optional(named) : std::nullopt;
}

QString accessHelp()
{
    return QStringLiteral("aggiungere l'utente al gruppo input (sudo usermod -aG input $USER, poi uscire e "
                          "rientrare nella sessione) oppure installare la regola udev descritta nel README");
}

QString openFailure(const QString &device, int error)
{
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return QStringLiteral(
                   "il dispositivo %1 non c'è: collegarlo (velmora --list-inputs elenca quelli presenti); "
                   "Velmora lo riprende da solo")
            .arg(device);
    case EACCES:
    case EPERM:
        return QStringLiteral("accesso negato a %1: %2").arg(device, accessHelp());
    case ENOTTY:
    case EINVAL:
        return QStringLiteral(
                   "%1 non è un dispositivo di input: indicare un /dev/input/eventN o un collegamento in "
                   "/dev/input/by-id (velmora --list-inputs)")
            .arg(device);
    default:
        return QStringLiteral("impossibile aprire %1: %2")
            .arg(device, QString::fromLocal8Bit(std::strerror(error)));
    }
}

}   // namespace

std::optional<EvdevSpec> parseEvdevSpec(const QString &text, QString *error)
{
    EvdevSpec spec {text, {}};
    // Paths under /dev/input/by-path hold colons: the part after the last one is codes
    // only if it reads as codes.
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    const QString tail = colon < 0 ? QString() : text.mid(colon + 1);
    if (colon >= 0 && tail.trimmed().isEmpty()) {   // "…event3:" names no device of that name
        *error = QStringLiteral("dopo i due punti mancano i codici (per esempio :KEY_1,KEY_2,KEY_3,KEY_4); "
                                "senza codici, togliere i due punti");
        return std::nullopt;
    }
    if (colon >= 0 && (tail.contains(QLatin1Char(',')) || parseCode(tail.trimmed()))) {
        spec.device = text.left(colon);
        const QStringList items = tail.split(QLatin1Char(','));
        if (items.size() != kInputCount) {
            *error =
                QStringLiteral("servono quattro codici separati da virgole, uno per ingresso (qui sono %1)")
                    .arg(items.size());
            return std::nullopt;
        }
        for (const QString &item : items) {
            const auto code = parseCode(item.trimmed());
            if (!code) {
                *error = QStringLiteral(
                             "codice sconosciuto: \"%1\" (nomi come BTN_TRIGGER o KEY_1, oppure numeri)")
                             .arg(item.trimmed());
                return std::nullopt;
            }
            if (spec.codes.contains(*code)) {
                *error = QStringLiteral("il codice %1 compare due volte").arg(item.trimmed());
                return std::nullopt;
            }
            spec.codes << *code;
        }
    }
    if (spec.device.isEmpty()) {
        *error = QStringLiteral("manca il dispositivo (per esempio evdev:/dev/input/by-id/…-event-joystick)");
        return std::nullopt;
    }
    return spec;
}

EvdevInput::EvdevInput(EvdevSpec spec, InputDeviceOpener open)
    : m_spec(std::move(spec)), m_open(std::move(open))
{}

QString EvdevInput::sourceName() const { return QStringLiteral("Dispositivo di input"); }

EvdevInput::Problem EvdevInput::open()
{
    int error = 0;
    m_device = m_open(QFile::encodeName(m_spec.device), &error);
    if (!m_device)   // missing or not allowed may mend while Velmora runs; not an input device will not
        return {openFailure(m_spec.device, error), error == ENOTTY || error == EINVAL};
    const QList<int> keys = m_device->keys();
    m_codes =
        m_spec.codes.isEmpty() ? keys.first(std::min<qsizetype>(keys.size(), kInputCount)) : m_spec.codes;
    m_pressed = {};
    m_activeAtLastRead = {};
    QString missing;
    for (const int code : std::as_const(m_codes))
        if (!keys.contains(code))
            missing = QStringLiteral(
                          "%1 non ha il tasto %2 (velmora --list-inputs mostra i tasti di ogni dispositivo)")
                          .arg(m_spec.device,
                               keyCodeName(code).isEmpty() ? QString::number(code) : keyCodeName(code));
    if (keys.isEmpty())
        missing = QStringLiteral(
                      "%1 non ha tasti né pulsanti: indicare un altro dispositivo (velmora --list-inputs)")
                      .arg(m_spec.device);
    if (!missing.isEmpty())
        m_device.reset();
    return {missing, true};
}

QString EvdevInput::startUpProblem()
{
    const Problem problem = open();
    return problem.lasting ? problem.why : QString();
}

bool EvdevInput::drain()
{
    bool newPress = false;
    bool resync = false;
    input_event event {};
    for (int n = 0; n < kMostEventsPerTick; ++n) {
        const int r = m_device->next(&event, resync);
        if (r == InputDevice::Empty) {
            if (!resync)
                break;
            resync = false;   // caught up after an overflow: read on as usual
            continue;
        }
        if (r == InputDevice::Dropped) {
            resync = true;
            continue;
        }
        if (r < 0) {
            m_device.reset();
            m_lost = r == -ENODEV ? QStringLiteral("il dispositivo %1 è stato scollegato: ricollegarlo, "
                                                   "Velmora lo riprende da solo")
                                        .arg(m_spec.device)
                                  : QStringLiteral("errore leggendo %1: %2")
                                        .arg(m_spec.device, QString::fromLocal8Bit(std::strerror(-r)));
            return true;   // news too: the window says so at once
        }
        const qsizetype input = event.type == EV_KEY && event.value == 1 ? m_codes.indexOf(event.code) : -1;
        if (input < 0)
            continue;
        const auto i = std::size_t(input);
        // A contact bouncing, or a button pressed again while held, is no news.
        newPress = newPress || (!m_pressed[i] && !m_activeAtLastRead[i]);
        m_pressed[i] = true;
        if (lcTiming().isDebugEnabled())
            qCDebug(lcTiming, "press %d %lld", int(input + 1),
                    static_cast<long long>(event.input_event_sec) * 1000000000LL +
                        event.input_event_usec * 1000LL);
    }
    return newPress;
}

bool EvdevInput::newPress() { return m_device && drain(); }

int EvdevInput::wakeDescriptor() const { return m_device ? m_device->descriptor() : -1; }

PortReading EvdevInput::read()
{
    if (!m_device && m_lost.isEmpty()) {   // a loss seen between reads is said before reopening
        if (const Problem problem = open(); !problem.why.isEmpty())
            return PortReading::failed(problem.why);
    }
    if (m_device)
        drain();
    if (!m_device)
        return PortReading::failed(std::exchange(m_lost, QString()));
    std::array<bool, 4> active {};
    for (qsizetype i = 0; i < m_codes.size(); ++i)
        active[std::size_t(i)] = m_pressed[std::size_t(i)] || m_device->isDown(m_codes[i]);
    m_activeAtLastRead = active;
    m_pressed = {};
    return PortReading::ok(statusByteFor(active));
}

std::unique_ptr<StatusPort> makeInputSource(const QString &spec, QString *error)
{
    const bool evdev = spec.startsWith(QLatin1String("evdev:"));
    if (!evdev && !spec.startsWith(QLatin1String("/dev/input/")))
        return makeStatusPort(spec, error);
    QString why;
    auto parsed = parseEvdevSpec(evdev ? spec.mid(6) : spec, &why);
    auto input = parsed ? std::make_unique<EvdevInput>(*parsed) : nullptr;
    if (input)
        why = input->startUpProblem();
    if (!why.isEmpty()) {
        *error = QStringLiteral("porta non valida: \"%1\": %2").arg(spec, why);
        return nullptr;
    }
    return std::make_unique<RetryingStatusPort>(std::move(input), std::chrono::seconds(2));
}

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
        for (const int code : device.keys.first(std::min<qsizetype>(device.keys.size(), kInputCount)))
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
        out += QStringLiteral("Per leggere i dispositivi ad accesso negato: %1.\n").arg(accessHelp());
    return out;
}
