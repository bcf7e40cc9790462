// A command is whatever anyone who can publish to the broker sends. Besides not crashing,
// a command taken must be one Velmora can carry out (an input 1 to 4, a file named), and
// every answer must be a JSON object a dashboard can read, its id given back as it came.
#include "mqtt/mqttmessages.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QByteArray verbs[] = {"play", "stop", "reload"};
    // The first byte picks the command, or takes the rest's first line as its topic level.
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const int pick = size ? data[0] % 4 : 0;
    QByteArray verb = pick < 3 ? verbs[pick] : bytes.mid(1).split('\n').constFirst();
    const QByteArray payload = bytes.mid(pick < 3 ? 1 : verb.size() + 2);

    const Result<MqttCommand> command = parseCommand(verb, payload);
    if (command && command->kind == MqttCommand::Kind::Play && (command->input < 1 || command->input > 4))
        std::abort();
    if (command && command->kind == MqttCommand::Kind::PlayFile && command->file.isEmpty())
        std::abort();
    const QByteArray answer = resultPayload(verb, command ? command->id : commandId(payload),
                                            command ? QString() : command.error());
    QJsonParseError error {};
    const QJsonObject json = QJsonDocument::fromJson(answer, &error).object();
    if (error.error != QJsonParseError::NoError || json.value("result").toString().isEmpty())
        std::abort();
    if (command && !command->id.isUndefined() &&
        json.value("id") != QJsonDocument::fromJson(payload).object().value("id"))
        std::abort();
    return 0;
}
