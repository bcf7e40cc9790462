#include "gpioinput.h"

#include "platform/devicenode.h"
#include "platform/systemreason.h"
#include "platform/texts.h"
#include "platform/timing.h"

#include <QFile>
#include <QHash>

#include <cerrno>
#include <utility>

namespace {

// Next to ground pins 9, 14 and 20, and to each other: the four a person wires most easily.
const QStringList kDefaultLines {QStringLiteral("GPIO17"), QStringLiteral("GPIO27"), QStringLiteral("GPIO22"),
                                 QStringLiteral("GPIO23")};
// The Raspberry Pi header's chip across models: Pi 1-3, Pi 4, Pi 5.
const QStringList kHeaderLabels {QStringLiteral("pinctrl-bcm2835"), QStringLiteral("pinctrl-bcm2711"),
                                 QStringLiteral("pinctrl-rp1")};

Failure<GpioProblem> problem(QString why, bool lasting) { return {{std::move(why), lasting}}; }

bool hasHeaderLines(const GpioChipInfo &chip)
{
    return std::any_of(chip.lines.begin(), chip.lines.end(),
                       [](const GpioLineInfo &line) { return line.name == QLatin1String("GPIO17"); });
}

QString identityOf(const GpioChipInfo &chip)
{
    QStringList names;
    for (const GpioLineInfo &line : chip.lines)
        names << line.name;
    return chip.label + QLatin1Char(' ') + names.join(QLatin1Char(','));
}

QString openFailure(const GpioChoice &choice, const QStringList &lines, const QList<GpioChipInfo> &chips,
                    int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return Texts::tr("accesso negato a %1: %2").arg(choice.path, gpioAccessHelp());
    case EBUSY:
        for (const GpioChipInfo &chip : chips)
            if (chip.path == choice.path)
                for (std::size_t i = 0; i < choice.offsets.size(); ++i) {
                    const GpioLineInfo line = chip.lines.value(choice.offsets[i]);
                    if (line.used)
                        return Texts::tr("la linea %1 (ingresso %2) è già usata da \"%3\": liberarla "
                                         "(un altro programma, o un driver attivato in config.txt) "
                                         "oppure sceglierne un'altra; Velmora riprova da sola")
                            .arg(lines.value(qsizetype(i)))
                            .arg(i + 1)
                            .arg(line.consumer.isEmpty() ? QStringLiteral("?") : line.consumer);
                }
        return Texts::tr("una delle linee è già usata da un altro programma: liberarla; Velmora "
                         "riprova da sola");
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return Texts::tr("il chip GPIO %1 non c'è: collegarlo; Velmora lo riprende da sola").arg(choice.path);
    default:
        return Texts::tr("impossibile usare le linee di %1: %2").arg(choice.path, systemReason(error));
    }
}

}   // namespace

QString gpioAccessHelp()
{
    return Texts::tr("aggiungere l'utente al gruppo gpio (sudo usermod -aG gpio $USER, poi uscire e "
                     "rientrare nella sessione; su Raspberry Pi OS il gruppo c'è già), altrove una regola "
                     "udev per il chip, come descritto in docs/gpio.md");
}

int headerPin(const QString &lineName)
{
    static const QHash<int, int> pins {{2, 3},   {3, 5},   {4, 7},   {17, 11}, {27, 13}, {22, 15}, {10, 19},
                                       {9, 21},  {11, 23}, {0, 27},  {5, 29},  {6, 31},  {13, 33}, {19, 35},
                                       {26, 37}, {14, 8},  {15, 10}, {18, 12}, {23, 16}, {24, 18}, {25, 22},
                                       {8, 24},  {7, 26},  {1, 28},  {12, 32}, {16, 36}, {20, 38}, {21, 40}};
    bool ok = false;
    const int number = lineName.startsWith(QLatin1String("GPIO")) ? lineName.mid(4).toInt(&ok) : -1;
    return ok ? pins.value(number, 0) : 0;
}

Result<GpioSpec> parseGpioSpec(const QString &text)
{
    GpioSpec spec;
    QStringList parts = text.split(QLatin1Char(':'));
    static const QHash<QString, GpioBias> wirings {{QStringLiteral("up"), GpioBias::PullUp},
                                                   {QStringLiteral("down"), GpioBias::PullDown},
                                                   {QStringLiteral("none"), GpioBias::None}};
    // The wiring is last; a part with commas is the lines, so what follows them must be one.
    if (parts.size() > 1 || wirings.contains(parts.last())) {
        const QString last = parts.last();
        if (wirings.contains(last)) {
            spec.bias = wirings.value(last);
            parts.removeLast();
        } else if (parts.size() == 3 || parts.value(0).contains(QLatin1Char(','))) {
            return failure(Texts::tr("collegamento sconosciuto: \"%1\" (up, down oppure none)").arg(last));
        }
    }
    if (parts.size() > 2)
        return failure(Texts::tr("troppi due punti: gpio:[CHIP:]LINEE[:up|down|none]"));
    if (parts.size() == 2)
        spec.chip = parts.takeFirst();
    const QString lines = parts.value(0);
    spec.lines = lines.isEmpty() ? kDefaultLines : lines.split(QLatin1Char(','));
    for (QString &line : spec.lines)
        line = line.trimmed();
    if (spec.lines.size() != 4)
        return failure(Texts::tr("servono quattro linee separate da virgole, una per ingresso (qui sono %1)")
                           .arg(spec.lines.size()));
    for (qsizetype i = 0; i < spec.lines.size(); ++i) {
        if (spec.lines[i].isEmpty())
            return failure(Texts::tr("manca la linea dell'ingresso %1").arg(i + 1));
        if (spec.lines.indexOf(spec.lines[i]) != i)
            return failure(Texts::tr("la linea %1 compare due volte").arg(spec.lines[i]));
    }
    return spec;
}

Result<GpioChoice, GpioProblem> chooseGpioLines(const GpioSpec &spec, const QList<GpioChipInfo> &chips)
{
    const GpioChipInfo *chosen = nullptr;
    for (const GpioChipInfo &chip : chips) {
        const bool named = spec.chip.isEmpty()
                               ? kHeaderLabels.contains(chip.label) || hasHeaderLines(chip)
                               : chip.path == spec.chip || chip.name == spec.chip || chip.label == spec.chip;
        // A chip found by its label comes before one found only by its line names.
        if (named &&
            (!chosen || (!kHeaderLabels.contains(chosen->label) && kHeaderLabels.contains(chip.label))))
            chosen = &chip;
    }
    // A chip the user may not open cannot be told by its label or lines: that is the news.
    const auto denied = std::find_if(chips.begin(), chips.end(), [](const GpioChipInfo &chip) {
        return chip.error == EACCES || chip.error == EPERM;
    });
    if (!chosen && denied != chips.end())
        return problem(Texts::tr("accesso negato a %1: %2").arg(denied->path, gpioAccessHelp()), false);
    if (!chosen)
        return problem(spec.chip.isEmpty()
                           ? Texts::tr("nessun chip GPIO con le linee del connettore del Raspberry Pi "
                                       "(GPIO17…): indicare il chip, per esempio gpio:gpiochip0:17,27,22,23 "
                                       "(velmora --list-inputs elenca i chip)")
                           : Texts::tr("il chip GPIO \"%1\" non c'è: collegarlo, oppure indicarne un altro "
                                       "(velmora --list-inputs elenca i chip); Velmora lo riprende da sola")
                                 .arg(spec.chip),
                       false);
    if (chosen->error)   // cannot be looked into: the request will say why
        return GpioChoice {chosen->path, {}, {}};
    GpioChoice choice {chosen->path, {}, identityOf(*chosen)};
    for (std::size_t i = 0; i < choice.offsets.size(); ++i) {
        const QString &line = spec.lines[qsizetype(i)];
        bool isNumber = false;
        const int number = line.toInt(&isNumber);
        int offset = -1;
        for (qsizetype n = 0; n < chosen->lines.size() && offset < 0; ++n)
            if (chosen->lines[n].name.compare(line, Qt::CaseInsensitive) == 0)
                offset = int(n);
        if (offset < 0 && isNumber) {
            if (number < 0 || number >= chosen->lines.size())
                return problem(Texts::tr("la linea %1 non c'è: %2 (%3) ha %4 linee, da 0 a %5")
                                   .arg(line, chosen->path, chosen->label)
                                   .arg(chosen->lines.size())
                                   .arg(chosen->lines.size() - 1),
                               true);
            offset = number;
        }
        if (offset < 0)
            return problem(Texts::tr("linea sconosciuta: %1 (%2, %3, non ha una linea con questo nome: "
                                     "velmora --list-inputs elenca le linee)")
                               .arg(line, chosen->path, chosen->label),
                           true);
        if (std::find(choice.offsets.begin(), choice.offsets.begin() + std::ptrdiff_t(i), offset) !=
            choice.offsets.begin() + std::ptrdiff_t(i))
            return problem(Texts::tr("la linea %1 compare due volte").arg(line), true);
        choice.offsets[i] = offset;
    }
    return choice;
}

GpioInput::GpioInput(GpioSpec spec, GpioChipLister list, GpioLineRequester request)
    : m_spec(std::move(spec)), m_list(std::move(list)), m_request(std::move(request))
{}

GpioProblem GpioInput::open()
{
    // A path that names something else (/dev/null, a tty) is never opened, and will not mend.
    if (m_spec.chip.startsWith(QLatin1Char('/')) &&
        checkDeviceNode(QFile::encodeName(m_spec.chip), DeviceKind::GpioChip) == -ENOTTY)
        return {Texts::tr("%1 non è un chip GPIO: indicare un /dev/gpiochipN, il suo nome o la sua "
                          "etichetta (velmora --list-inputs)")
                    .arg(m_spec.chip),
                true};
    const QList<GpioChipInfo> chips = m_list();
    const Result<GpioChoice, GpioProblem> choice = chooseGpioLines(m_spec, chips);
    if (!choice)
        return choice.error();
    // Only the chip first opened is read again: another in its place (an expander with
    // other lines) would sound whatever its lines do.
    if (!choice->identity.isEmpty()) {
        if (m_identity.isEmpty())
            m_identity = choice->identity;
        if (choice->identity != m_identity)
            return {Texts::tr("%1 ora è un altro chip GPIO: ricollegare quello scelto all'avvio, oppure "
                              "riavviare Velmora per usare questo")
                        .arg(choice->path),
                    false};
    }
    Result<std::unique_ptr<GpioLines>, int> lines =
        m_request(QFile::encodeName(choice->path), choice->offsets, m_spec.bias);
    if (!lines)
        return {openFailure(*choice, m_spec.lines, chips, lines.error()), lines.error() == ENOTTY};
    const Result<std::array<bool, 4>, int> now = (*lines)->values();
    if (!now)
        return {openFailure(*choice, m_spec.lines, chips, now.error()), false};
    m_lines = std::move(*lines);
    m_choice = *choice;
    m_raw = *now;   // a button held while the chip was plugged in is down
    m_seen = {{m_raw, steadyNowNs()}};
    return {};
}

QString GpioInput::startUpProblem()
{
    const GpioProblem problem = open();
    return problem.lasting ? problem.why : QString();
}

Result<QList<InputSample>, int> GpioInput::takeEdges()
{
    const Result<GpioLines::Edges, int> edges = m_lines->edges();
    if (!edges)
        return failure(edges.error());
    QList<InputSample> seen;
    for (const GpioLines::Edge &edge : edges->edges) {
        m_raw[std::size_t(edge.line)] = edge.active;
        seen.append({m_raw, edge.atNs});
    }
    if (edges->lost) {   // the edges left are not the whole story: the lines now are
        const Result<std::array<bool, 4>, int> now = m_lines->values();
        if (!now)
            return failure(now.error());
        m_raw = *now;
        seen.append({m_raw, steadyNowNs()});
    }
    return seen;
}

InputReading GpioInput::read()
{
    if (!m_lines && m_lost.isEmpty()) {   // a loss seen between reads is said before reopening
        if (const GpioProblem problem = open(); !problem.why.isEmpty())
            return failure(problem.why);
    }
    if (m_lines) {
        const Result<QList<InputSample>, int> seen = takeEdges();
        if (!seen) {
            m_lines.reset();
            m_lost = seen.error() == ENODEV
                         ? Texts::tr("il chip GPIO %1 è stato scollegato: ricollegarlo, Velmora lo riprende "
                                     "da sola")
                               .arg(m_choice.path)
                         : Texts::tr("errore leggendo %1: %2").arg(m_choice.path, systemReason(seen.error()));
        } else {
            m_seen += *seen;
        }
    }
    if (!m_lines)
        return failure(std::exchange(m_lost, QString()));
    return std::exchange(m_seen, {});
}

Result<std::unique_ptr<InputSource>> makeGpioInput(const QString &text, GpioChipLister list,
                                                   GpioLineRequester request)
{
    const Result<GpioSpec> spec = parseGpioSpec(text);
    if (!spec)
        return failure(spec.error());
    auto input = std::make_unique<GpioInput>(*spec, std::move(list), std::move(request));
    if (const QString why = input->startUpProblem(); !why.isEmpty())
        return failure(why);
    return std::unique_ptr<InputSource>(std::move(input));
}
