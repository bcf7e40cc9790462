#include "evdevinput.h"

#include "platform/systemreason.h"
#include "platform/texts.h"
#include "platform/timing.h"

#include <QFile>

#include <cerrno>
#include <utility>

namespace {

constexpr int kInputCount = 4;
// A device streaming events faster than they are read must not keep the window reading:
// far more than four buttons can produce in 200 ms.
constexpr int kMostEventsPerRead = 4096;

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

QString openFailure(const QString &device, int error)
{
    switch (error) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return Texts::tr(
                   "il dispositivo %1 non c'è: collegarlo (velmora --list-inputs elenca quelli presenti); "
                   "Velmora lo riprende da solo")
            .arg(device);
    case EACCES:
    case EPERM:
        return Texts::tr("accesso negato a %1: %2").arg(device, evdevAccessHelp());
    case ENOTTY:
    case EINVAL:
        return Texts::tr(
                   "%1 non è un dispositivo di input: indicare un /dev/input/eventN o un collegamento in "
                   "/dev/input/by-id (velmora --list-inputs)")
            .arg(device);
    default:
        return Texts::tr("impossibile aprire %1: %2").arg(device, systemReason(error));
    }
}

}   // namespace

QString evdevAccessHelp()
{
    return Texts::tr(
        "aggiungere l'utente al gruppo input (sudo usermod -aG input $USER, poi uscire e "
        "rientrare nella sessione) oppure installare la regola udev descritta in docs/usb-buttons.md");
}

Result<EvdevSpec> parseEvdevSpec(const QString &text)
{
    EvdevSpec spec {text, {}};
    // Paths under /dev/input/by-path hold colons: the part after the last one is codes
    // only if it reads as codes.
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    const QString tail = colon < 0 ? QString() : text.mid(colon + 1);
    if (colon >= 0 && tail.trimmed().isEmpty()) {   // "…event3:" names no device of that name
        return failure(Texts::tr("dopo i due punti mancano i codici (per esempio :KEY_1,KEY_2,KEY_3,KEY_4); "
                                 "senza codici, togliere i due punti"));
    }
    if (colon >= 0 && (tail.contains(QLatin1Char(',')) || parseCode(tail.trimmed()))) {
        spec.device = text.left(colon);
        const QStringList items = tail.split(QLatin1Char(','));
        if (items.size() != kInputCount) {
            return failure(
                Texts::tr("servono quattro codici separati da virgole, uno per ingresso (qui sono %1)")
                    .arg(items.size()));
        }
        for (const QString &item : items) {
            const auto code = parseCode(item.trimmed());
            if (!code) {
                return failure(
                    Texts::tr("codice sconosciuto: \"%1\" (nomi come BTN_TRIGGER o KEY_1, oppure numeri)")
                        .arg(item.trimmed()));
            }
            if (spec.codes.contains(*code)) {
                return failure(Texts::tr("il codice %1 compare due volte").arg(item.trimmed()));
            }
            spec.codes << *code;
        }
    }
    if (spec.device.isEmpty()) {
        return failure(
            Texts::tr("manca il dispositivo (per esempio evdev:/dev/input/by-id/…-event-joystick)"));
    }
    return spec;
}

EvdevInput::EvdevInput(EvdevSpec spec, InputDeviceOpener open)
    : m_spec(std::move(spec)), m_open(std::move(open))
{}

QString EvdevInput::name() const { return Texts::tr("Dispositivo di input"); }

EvdevInput::Problem EvdevInput::open()
{
    Result<std::unique_ptr<InputDevice>, int> opened = m_open(QFile::encodeName(m_spec.device));
    if (!opened) {   // missing or not allowed may mend while Velmora runs; not an input device will not
        const int error = opened.error();
        return {openFailure(m_spec.device, error), error == ENOTTY || error == EINVAL};
    }
    m_device = std::move(*opened);
    const QList<int> keys = m_device->keys();
    // Without codes, the first device's first four keys are the inputs for the whole run:
    // a device that comes back under the path must have those, not its own.
    if (m_codes.isEmpty())
        m_codes =
            m_spec.codes.isEmpty() ? keys.first(std::min<qsizetype>(keys.size(), kInputCount)) : m_spec.codes;
    QString missing;
    for (const int code : std::as_const(m_codes))
        if (!keys.contains(code))
            missing =
                Texts::tr("%1 non ha il tasto %2 (velmora --list-inputs mostra i tasti di ogni dispositivo)")
                    .arg(m_spec.device,
                         keyCodeName(code).isEmpty() ? QString::number(code) : keyCodeName(code));
    if (keys.isEmpty())
        missing =
            Texts::tr("%1 non ha tasti né pulsanti: indicare un altro dispositivo (velmora --list-inputs)")
                .arg(m_spec.device);
    if (!missing.isEmpty()) {
        m_device.reset();
        return {missing, true};
    }
    // Another device may take the path (an eventN number after an unplug): it is not read.
    if (m_identity.isEmpty())
        m_identity = m_device->identity();
    if (m_device->identity() != m_identity) {
        const QString other = m_device->identity();
        m_device.reset();
        return {Texts::tr("%1 ora è un altro dispositivo (%2, non %3): ricollegare quello scelto "
                          "all'avvio, oppure riavviare Velmora per usare questo")
                    .arg(m_spec.device, other, m_identity),
                false};
    }
    // The buttons as they are now: one held while the device was plugged in is down.
    m_raw = {};
    for (qsizetype i = 0; i < m_codes.size(); ++i)
        m_raw[std::size_t(i)] = m_device->isDown(m_codes[i]);
    m_seen = {{m_raw, steadyNowNs()}};
    return {{}, true};
}

QString EvdevInput::startUpProblem()
{
    const Problem problem = open();
    return problem.lasting ? problem.why : QString();
}

void EvdevInput::drain()
{
    bool resync = false;
    input_event event {};
    for (int n = 0; n < kMostEventsPerRead; ++n) {
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
            m_lost = r == -ENODEV ? Texts::tr("il dispositivo %1 è stato scollegato: ricollegarlo, "
                                              "Velmora lo riprende da solo")
                                        .arg(m_spec.device)
                                  : Texts::tr("errore leggendo %1: %2").arg(m_spec.device, systemReason(-r));
            return;
        }
        // Autorepeat (2) is a key still held, not a change.
        const qsizetype input = event.type == EV_KEY && event.value != 2 ? m_codes.indexOf(event.code) : -1;
        if (input < 0)
            continue;
        m_raw[std::size_t(input)] = event.value == 1;
        m_seen.append(
            {m_raw, qint64(event.input_event_sec) * 1000000000LL + qint64(event.input_event_usec) * 1000LL});
    }
}

int EvdevInput::wakeDescriptor() const { return m_device ? m_device->descriptor() : -1; }

InputReading EvdevInput::read()
{
    if (!m_device && m_lost.isEmpty()) {   // a loss seen between reads is said before reopening
        if (const Problem problem = open(); !problem.why.isEmpty())
            return failure(problem.why);
    }
    if (m_device)
        drain();
    if (!m_device)
        return failure(std::exchange(m_lost, QString()));
    return std::exchange(m_seen, {});
}

Result<std::unique_ptr<InputSource>> makeEvdevInput(const QString &text, InputDeviceOpener open)
{
    const Result<EvdevSpec> spec = parseEvdevSpec(text);
    if (!spec)
        return failure(spec.error());
    auto input = std::make_unique<EvdevInput>(*spec, std::move(open));
    if (const QString why = input->startUpProblem(); !why.isEmpty())
        return failure(why);
    return std::unique_ptr<InputSource>(std::move(input));
}
