#pragma once

#include "mqttsettings.h"
#include "platform/result.h"

#include <QByteArray>
#include <QJsonValue>
#include <QList>

#include <utility>

// What goes over the bus, as values: the payloads Velmora publishes and the commands it
// takes. docs/mqtt.md describes them for the other side.

// A press: {"input":N,"time":"2026-12-10T07:15:02.125Z","count":C,"sequence":S}; the time
// when its source saw it, C this input's presses and S the box's since start.
[[nodiscard]] QByteArray pressPayload(int input, qint64 utcMs, quint64 count, quint64 sequence);
// What plays: {"input":N,"file":"…"} (input 0 for a file played by name), or none.
[[nodiscard]] QByteArray playingPayload(int input, const QByteArray &file);

// A command, the topic's last level after PREFIX/cmd/ and its payload.
struct MqttCommand {
    enum class Kind { Play, PlayFile, Stop, Reload, Reset } kind = Kind::Stop;
    int input = 0;
    QByteArray file;
    QJsonValue id;   // given back in its result, when the payload carried one (text or a number)
};
inline constexpr qsizetype kMaxCommandBytes = 4096;
[[nodiscard]] Result<MqttCommand> parseCommand(const QByteArray &verb, const QByteArray &payload);
// The answer on PREFIX/cmd/result: {"command":"play","result":"done"} or
// {"command":…,"result":"refused","reason":"…"}, with the command's "id" when it had one.
[[nodiscard]] QByteArray resultPayload(const QByteArray &verb, const QJsonValue &id, const QString &refusal);
// The id a refused payload carried, if it was JSON with one.
[[nodiscard]] QJsonValue commandId(const QByteArray &payload);

// Home Assistant's discovery messages for this box (topic, retained config): per input a
// binary sensor for its lamp, a device trigger for its press and a button for its test.
[[nodiscard]] QList<std::pair<QByteArray, QByteArray>> homeAssistantDiscovery(const MqttSettings &settings);
