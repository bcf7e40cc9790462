#include "mqttmessages.h"

#include "platform/texts.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <cctype>

namespace {

QByteArray compact(const QJsonObject &json) { return QJsonDocument(json).toJson(QJsonDocument::Compact); }

Result<int> inputOf(const QJsonValue &value)
{
    const int input = value.isDouble() && value.toDouble() == value.toInt() ? value.toInt() : 0;
    if (input < 1 || input > 4)
        return failure(Texts::tr("l'ingresso va indicato con un numero da 1 a 4"));
    return input;
}

}   // namespace

QByteArray pressPayload(int input, qint64 utcMs, quint64 count, quint64 sequence)
{
    const QString time =
        QDateTime::fromMSecsSinceEpoch(utcMs).toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzzZ"));
    return compact(
        {{"input", input}, {"time", time}, {"count", qint64(count)}, {"sequence", qint64(sequence)}});
}

QByteArray playingPayload(int input, const QByteArray &file)
{
    if (input < 0)
        return "none";
    return compact({{"input", input}, {"file", QString::fromUtf8(file)}});
}

QJsonValue commandId(const QByteArray &payload)
{
    const QJsonValue id = QJsonDocument::fromJson(payload).object().value("id");
    return id.isString() || id.isDouble() ? id : QJsonValue(QJsonValue::Undefined);
}

Result<MqttCommand> parseCommand(const QByteArray &verb, const QByteArray &payload)
{
    if (payload.size() > kMaxCommandBytes)
        return failure(Texts::tr("comando troppo lungo (più di %1 byte)").arg(kMaxCommandBytes));
    MqttCommand command;
    command.id = commandId(payload);
    if (verb == "stop" || verb == "reload" || verb == "reset") {
        command.kind = verb == "stop"     ? MqttCommand::Kind::Stop
                       : verb == "reload" ? MqttCommand::Kind::Reload
                                          : MqttCommand::Kind::Reset;
        return command;
    }
    if (verb != "play")
        return failure(Texts::tr("comando sconosciuto: i comandi sono play, stop, reload e reset"));
    // A bare number is the quickest to type in a dashboard: "3".
    static const QRegularExpression number(QStringLiteral("^\\s*[1-4]\\s*$"));
    if (number.match(QString::fromLatin1(payload)).hasMatch()) {
        command.kind = MqttCommand::Kind::Play;
        command.input = payload.trimmed().toInt();
        return command;
    }
    QJsonParseError error {};
    const QJsonDocument json = QJsonDocument::fromJson(payload, &error);
    if (error.error != QJsonParseError::NoError || !json.isObject())
        return failure(
            Texts::tr("play vuole un numero da 1 a 4, {\"input\":N} oppure {\"file\":\"NOME.wav\"}"));
    const QJsonObject object = json.object();
    if (object.contains("file") == object.contains("input"))
        return failure(Texts::tr("play vuole \"input\" oppure \"file\", uno dei due"));
    if (object.contains("file")) {
        if (!object.value("file").isString() || object.value("file").toString().isEmpty())
            return failure(Texts::tr("\"file\" vuole il nome di un file della cartella dei suoni"));
        command.kind = MqttCommand::Kind::PlayFile;
        command.file = object.value("file").toString().toUtf8();
        return command;
    }
    const Result<int> input = inputOf(object.value("input"));
    if (!input)
        return failure(input.error());
    command.kind = MqttCommand::Kind::Play;
    command.input = *input;
    return command;
}

QByteArray resultPayload(const QByteArray &verb, const QJsonValue &id, const QString &refusal)
{
    QJsonObject json {{"command", QString::fromUtf8(verb.left(64))},
                      {"result", refusal.isEmpty() ? "done" : "refused"}};
    if (!refusal.isEmpty())
        json["reason"] = refusal;
    if (!id.isUndefined())
        json["id"] = id;
    return compact(json);
}

QList<std::pair<QByteArray, QByteArray>> homeAssistantDiscovery(const MqttSettings &settings)
{
    // Home Assistant's node ids allow letters, digits, '_' and '-' only.
    QByteArray node = "velmora_" + settings.name;
    for (char &c : node)
        if (!std::isalnum(uchar(c)) && c != '-')
            c = '_';
    const QString status = QString::fromUtf8(settings.topic("status"));
    const QJsonObject device {{"identifiers", QJsonArray {QString::fromUtf8(node)}},
                              {"name", QStringLiteral("Velmora ") + QString::fromUtf8(settings.name)},
                              {"manufacturer", "Velmora"},
                              {"model", "Velmora"}};
    QList<std::pair<QByteArray, QByteArray>> messages;
    for (int n = 1; n <= 4; ++n) {
        const QByteArray input = QByteArray::number(n);
        const QString id = QString::fromUtf8(node + '_' + input);
        messages.append({"homeassistant/binary_sensor/" + node + "/input_" + input + "/config",
                         compact({{"name", QStringLiteral("Input %1").arg(n)},
                                  {"unique_id", id + QStringLiteral("_lamp")},
                                  {"state_topic", QString::fromUtf8(settings.topic("input/" + input))},
                                  {"availability_topic", status},
                                  {"device", device}})});
        messages.append({"homeassistant/device_automation/" + node + "/press_" + input + "/config",
                         compact({{"automation_type", "trigger"},
                                  {"type", "button_short_press"},
                                  {"subtype", QStringLiteral("button_%1").arg(n)},
                                  {"topic", QString::fromUtf8(settings.topic("input/" + input + "/press"))},
                                  {"device", device}})});
        messages.append({"homeassistant/button/" + node + "/test_" + input + "/config",
                         compact({{"name", QStringLiteral("Test %1").arg(n)},
                                  {"unique_id", id + QStringLiteral("_test")},
                                  {"command_topic", QString::fromUtf8(settings.topic("cmd/play"))},
                                  {"payload_press", QString::fromUtf8(input)},
                                  {"availability_topic", status},
                                  {"device", device}})});
    }
    return messages;
}
