#include "inputsettings.h"

#include "platform/texts.h"

#include <QFile>
#include <QSaveFile>

#include <QRegularExpression>

namespace {

constexpr int kVersion = 1;

template <typename Value>
struct Named {
    const char *name;
    Value value;
};
constexpr Named<InputMode::When> kWhen[] = {{"repeat", InputMode::When::Repeat},
                                            {"once", InputMode::When::Once},
                                            {"hold", InputMode::When::Hold},
                                            {"toggle", InputMode::When::Toggle}};
constexpr Named<InputMode::With> kWith[] = {{"replace", InputMode::With::Replace},
                                            {"mix", InputMode::With::Mix}};
constexpr Named<FileOrder> kOrder[] = {{"turn", FileOrder::Turn}, {"random", FileOrder::Random}};
constexpr Named<bool> kYesNo[] = {{"no", false}, {"yes", true}};

template <typename Value, std::size_t n>
bool pick(const Named<Value> (&names)[n], const QByteArray &text, Value &value)
{
    for (const Named<Value> &named : names)
        if (text == named.name) {
            value = named.value;
            return true;
        }
    return false;
}

template <typename Value, std::size_t n>
QByteArray nameOf(const Named<Value> (&names)[n], Value value)
{
    for (const Named<Value> &named : names)
        if (named.value == value)
            return named.name;
    return {};
}

template <typename Value, std::size_t n>
QString choices(const Named<Value> (&names)[n])
{
    QStringList all;
    for (const Named<Value> &named : names)
        all << QString::fromLatin1(named.name);
    return all.join(QStringLiteral(", "));
}

bool number(const QByteArray &text, int lowest, int highest, int &value)
{
    bool ok = false;
    const int read = text.toInt(&ok);
    if (ok && read >= lowest && read <= highest)
        value = read;
    return ok && read >= lowest && read <= highest;
}

// One setting of an input: its key known and its value good, or why not.
QString readInputKey(InputSettings &input, const QByteArray &key, const QByteArray &value)
{
    if (key == "play")
        return pick(kWhen, value, input.mode.when) ? QString() : choices(kWhen);
    if (key == "with")
        return pick(kWith, value, input.mode.with) ? QString() : choices(kWith);
    if (key == "order")
        return pick(kOrder, value, input.order) ? QString() : choices(kOrder);
    if (key == "volume")
        return number(value, 0, 100, input.volume) ? QString() : Texts::tr("un numero da 0 a 100");
    if (key == "fade")
        return number(value, 0, 60000, input.fadeMs) ? QString() : Texts::tr("millisecondi, da 0 a 60000");
    if (key == "files") {
        input.files.clear();
        for (const QByteArray &file : value.split(','))
            if (!file.trimmed().isEmpty())
                input.files << file.trimmed();
        return {};
    }
    return Texts::tr("play, with, volume, fade, files oppure order");
}

}   // namespace

ReadInputSettings parseInputSettings(QByteArrayView text)
{
    static const QRegularExpression inputSection(QStringLiteral("^\\[input ([1-4])\\]$"));
    ReadInputSettings read;
    BoxSettings &settings = read.settings;
    std::array<bool, 4> bad {};
    int input = 0;   // the section's input; 0: none, -1: [quiz], -2: unknown
    bool versioned = false;
    int lineNumber = 0;
    for (const QByteArray &raw : text.toByteArray().split('\n')) {
        ++lineNumber;
        QByteArray line = raw.trimmed();
        if (const qsizetype comment = line.indexOf(" #"); comment >= 0)
            line = line.left(comment).trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        const auto problem = [&](const QString &what) {
            read.problems << Texts::tr("%1 riga %2: %3")
                                 .arg(QLatin1String(kInputSettingsFile))
                                 .arg(lineNumber)
                                 .arg(what);
        };
        if (line.startsWith('[')) {
            const auto match = inputSection.match(QString::fromUtf8(line));
            input = match.hasMatch() ? match.captured(1).toInt() : line == "[quiz]" ? -1 : -2;
            if (input == -2)
                problem(Texts::tr("sezione sconosciuta %1 (sono [input 1] … [input 4] e [quiz]): ignorata")
                            .arg(QString::fromUtf8(line)));
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        const QByteArray key = line.left(equals).trimmed();
        const QByteArray value = equals < 0 ? QByteArray() : line.mid(equals + 1).trimmed();
        if (equals < 0) {
            problem(
                Texts::tr("\"%1\" non è una riga CHIAVE = VALORE: ignorata").arg(QString::fromUtf8(line)));
        } else if (key == "version" && input == 0) {
            versioned = true;
            int version = 0;
            if (!number(value, 1, 1000, version) || version > kVersion)
                problem(Texts::tr("versione %1 di una Velmora più nuova: si legge quello che questa conosce")
                            .arg(QString::fromUtf8(value)));
        } else if (input > 0) {
            InputSettings &in = settings.inputs[std::size_t(input - 1)];
            if (const QString expected = readInputKey(in, key, value); !expected.isEmpty()) {
                problem(Texts::tr("%1 = %2 non va (%3): l'ingresso %4 suona come sempre")
                            .arg(QString::fromUtf8(key), QString::fromUtf8(value), expected)
                            .arg(input));
                bad[std::size_t(input - 1)] = true;
            }
        } else if (input == -1 && key == "on") {
            if (!pick(kYesNo, value, settings.quiz))
                problem(Texts::tr("on = %1 non va (yes oppure no): il quiz resta spento")
                            .arg(QString::fromUtf8(value)));
        } else if (input == -1 && key == "reset-after") {
            if (!number(value, 0, 3600, settings.quizResetSeconds))
                problem(Texts::tr("reset-after = %1 non va (secondi, da 0 a 3600): si azzera solo a mano")
                            .arg(QString::fromUtf8(value)));
        } else if (input != -2) {
            problem(Texts::tr("chiave sconosciuta \"%1\": ignorata").arg(QString::fromUtf8(key)));
        }
    }
    for (std::size_t i = 0; i < bad.size(); ++i)
        if (bad[i])
            settings.inputs[i] = {};
    if (!versioned && !read.problems.isEmpty())
        read.problems.prepend(
            Texts::tr("%1 non ha la riga version = 1").arg(QLatin1String(kInputSettingsFile)));
    return read;
}

QByteArray serializeInputSettings(const BoxSettings &settings)
{
    QByteArray out =
        "# Velmora: how each input plays (docs/modes.md)\nversion = " + QByteArray::number(kVersion) + "\n";
    for (int n = 1; n <= 4; ++n) {
        const InputSettings &in = settings.inputs[std::size_t(n - 1)];
        out += "\n[input " + QByteArray::number(n) + "]\n";
        out += "play = " + nameOf(kWhen, in.mode.when) + "      # repeat, once, hold, toggle\n";
        out += "with = " + nameOf(kWith, in.mode.with) + "      # replace, mix\n";
        out += "volume = " + QByteArray::number(in.volume) + "      # 0-100 %\n";
        out += "fade = " + QByteArray::number(in.fadeMs) + "      # ms when stopped\n";
        out += "files = " + in.files.join(", ") + "\n";
        out += "order = " + nameOf(kOrder, in.order) + "      # turn, random\n";
    }
    out += "\n[quiz]\non = " + nameOf(kYesNo, settings.quiz) +
           "\nreset-after = " + QByteArray::number(settings.quizResetSeconds) +
           "      # seconds; 0: by hand only\n";
    return out;
}

ReadInputSettings loadInputSettings(const QString &path)
{
    QFile file(path);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly)) {
        ReadInputSettings read;
        read.problems << Texts::tr("%1 non si legge: %2; ogni ingresso suona come sempre")
                             .arg(path, file.errorString());
        return read;
    }
    return parseInputSettings(file.read(1 << 20));
}

Done saveInputSettings(const QString &path, const BoxSettings &settings)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(serializeInputSettings(settings)) < 0 ||
        !file.commit())
        return failure(Texts::tr("impossibile scrivere %1: %2").arg(path, file.errorString()));
    return kDone;
}

QString describeInputSettings(const ReadInputSettings &read)
{
    QString out;
    for (int n = 1; n <= 4; ++n) {
        const InputSettings &in = read.settings.inputs[std::size_t(n - 1)];
        out += Texts::tr("ingresso %1: play = %2, with = %3, volume = %4 %, fade = %5 ms, %6\n")
                   .arg(n)
                   .arg(QString::fromLatin1(nameOf(kWhen, in.mode.when)),
                        QString::fromLatin1(nameOf(kWith, in.mode.with)))
                   .arg(in.volume)
                   .arg(in.fadeMs)
                   .arg(in.files.isEmpty() ? Texts::tr("il suono di CONFIG.TXT")
                                           : Texts::tr("files = %1 (order = %2)")
                                                 .arg(QString::fromUtf8(in.files.join(", ")),
                                                      QString::fromLatin1(nameOf(kOrder, in.order))));
    }
    out += read.settings.quiz
               ? Texts::tr("quiz: acceso, il primo che preme blocca gli altri; azzerato %1\n")
                     .arg(read.settings.quizResetSeconds > 0
                              ? Texts::tr("dopo %1 s o a mano").arg(read.settings.quizResetSeconds)
                              : Texts::tr("a mano"))
               : Texts::tr("quiz: spento\n");
    for (const QString &problem : read.problems)
        out += Texts::tr("attenzione: %1\n").arg(problem);
    return out;
}
