#include "mqttface.h"

#include "mqttmessages.h"
#include "platform/texts.h"
#include "platform/timing.h"

#include <QDateTime>
#include <QLoggingCategory>

Q_DECLARE_LOGGING_CATEGORY(lcMqtt)

namespace {
constexpr auto kFace = "mqtt";
// A broker back within this is no outage worth a word (a restart).
constexpr int kUnreachableAfterMs = 3000;
}   // namespace

MqttFace::MqttFace(Core &core, const MqttSettings &settings)
    : m_core(core), m_settings(settings), m_client(settings)
{
    if (settings.homeAssistant)
        for (const auto &[topic, config] : homeAssistantDiscovery(settings))
            m_client.setRetained(topic, config);
    onLamps();
    onAssignments();
    onQuiz();
    m_client.setRetained(settings.topic("playing"), playingPayload(-1, {}));
    connect(&core, &Core::lampsChanged, this, &MqttFace::onLamps);
    connect(&core, &Core::assignmentsChanged, this, &MqttFace::onAssignments);
    connect(&core, &Core::pressed, this, &MqttFace::onPressed);
    connect(&core, &Core::quizChanged, this, &MqttFace::onQuiz);
    connect(&core, &Core::soundStarted, this, &MqttFace::onSoundStarted);
    connect(&m_client, &MqttClient::command, this, &MqttFace::onCommand);
    connect(&m_client, &MqttClient::connectionChanged, this, &MqttFace::onConnection);
    m_playing.setInterval(100);
    connect(&m_playing, &QTimer::timeout, this, [this] {
        if (!m_core.sounding()) {
            m_playing.stop();
            m_client.setRetained(m_settings.topic("playing"), playingPayload(-1, {}));
        }
    });
    m_unreachable.setSingleShot(true);
    m_unreachable.setInterval(kUnreachableAfterMs);
    connect(&m_unreachable, &QTimer::timeout, this, &MqttFace::sayUnreachable);
    m_why = Texts::tr("%1:%2 non risponde").arg(settings.host).arg(settings.port);
    m_unreachable.start();
}

MqttFace::~MqttFace() { m_core.setRemark(QString::fromLatin1(kFace), {}); }

void MqttFace::onLamps()
{
    for (int n = 1; n <= 4; ++n)
        m_client.setRetained(m_settings.topic("input/" + QByteArray::number(n)),
                             m_core.lamps()[std::size_t(n - 1)] ? "ON" : "OFF");
}

void MqttFace::onAssignments()
{
    for (int n = 1; n <= 4; ++n) {
        const QByteArray &file = m_core.assignments()[std::size_t(n - 1)];
        m_client.setRetained(m_settings.topic("sound/" + QByteArray::number(n)),
                             file.isEmpty() ? "none" : file);
    }
}

// For a scoreboard or the room's lights: off, open (waiting for the first press), or the winner.
void MqttFace::onQuiz()
{
    const std::optional<int> winner = m_core.quizWinner();
    m_client.setRetained(m_settings.topic("quiz"), !m_core.playSettings().quiz ? QByteArray("off")
                                                   : winner                    ? QByteArray::number(*winner)
                                                                               : QByteArray("open"));
}

void MqttFace::onPressed(int input, qint64 atNs)
{
    // The source's steady time, told as the wall clock's time of that moment.
    const qint64 utcMs = QDateTime::currentMSecsSinceEpoch() - (steadyNowNs() - atNs) / 1'000'000;
    m_client.publishQueued(m_settings.topic("input/" + QByteArray::number(input) + "/press"),
                           pressPayload(input, utcMs, ++m_counts[std::size_t(input - 1)], ++m_sequence));
}

void MqttFace::onSoundStarted(int input, const QByteArray &file)
{
    m_client.setRetained(m_settings.topic("playing"), playingPayload(input, file));
    if (input >= 0)
        m_playing.start();
    else
        m_playing.stop();
}

void MqttFace::onCommand(const QByteArray &verb, const QByteArray &payload)
{
    const Result<MqttCommand> command = parseCommand(verb, payload);
    Done done = kDone;
    if (!command)
        done = failure(command.error());
    else {
        switch (command->kind) {
        case MqttCommand::Kind::Play:
            done = m_core.test(command->input);
            break;
        case MqttCommand::Kind::PlayFile:
            done = m_core.playFile(command->file);
            break;
        case MqttCommand::Kind::Stop:
            m_core.stop();
            break;
        case MqttCommand::Kind::Reload:
            done = m_core.load();
            break;
        case MqttCommand::Kind::Reset:   // the quiz: the inputs unlocked for the next question
            m_core.resetQuiz();
            break;
        }
    }
    m_client.publish(
        m_settings.topic("cmd/result"),
        resultPayload(verb, command ? command->id : commandId(payload.left(kMaxCommandBytes)), done.error()));
}

void MqttFace::onConnection(bool connected, const QString &why, bool retrying)
{
    if (connected) {
        m_unreachable.stop();
        if (std::exchange(m_said, false))
            qCInfo(lcMqtt).noquote() << Texts::tr("server MQTT di nuovo raggiungibile: %1:%2")
                                            .arg(m_settings.host)
                                            .arg(m_settings.port);
        m_core.setRemark(QString::fromLatin1(kFace), {});
        return;
    }
    m_why = why;
    if (!retrying) {   // refused for good: said now, in the words of the refusal
        m_unreachable.stop();
        qCWarning(lcMqtt).noquote() << why;
        m_core.setRemark(QString::fromLatin1(kFace), why);
        return;
    }
    if (!m_said && !m_unreachable.isActive())
        m_unreachable.start();
}

void MqttFace::sayUnreachable()
{
    const QString text = Texts::tr("server MQTT non raggiungibile: %1. Velmora riprova da sola").arg(m_why);
    if (!std::exchange(m_said, true))
        qCWarning(lcMqtt).noquote() << text;
    m_core.setRemark(QString::fromLatin1(kFace), text);
}
