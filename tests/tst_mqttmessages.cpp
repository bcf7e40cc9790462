#include "mqtt/mqttmessages.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QTest>

class TestMqttMessages : public QObject {
    Q_OBJECT
private slots:
    // What comes on PREFIX/cmd/VERB: taken as a command, or refused with its reason.
    void parseCommand_data()
    {
        QTest::addColumn<QByteArray>("verb");
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<QString>("taken");   // kind:input:file:id, or what the refusal says
        QTest::newRow("play a number") << QByteArray("play") << QByteArray(" 3\n") << "play:3::";
        QTest::newRow("play an input")
            << QByteArray("play") << QByteArray(R"({"input":1,"id":"q1"})") << "play:1::q1";
        QTest::newRow("play a file") << QByteArray("play") << QByteArray(R"({"file":"gong.wav","id":9})")
                                     << "file:0:gong.wav:9";
        QTest::newRow("stop, anything") << QByteArray("stop") << QByteArray("now") << "stop:0::";
        QTest::newRow("reload") << QByteArray("reload") << QByteArray() << "reload:0::";
        QTest::newRow("the quiz's reset") << QByteArray("reset") << QByteArray() << "reset:0::";
        QTest::newRow("input 0") << QByteArray("play") << QByteArray("0") << "da 1 a 4";
        QTest::newRow("input 5") << QByteArray("play") << QByteArray(R"({"input":5})") << "da 1 a 4";
        QTest::newRow("input as text") << QByteArray("play") << QByteArray(R"({"input":"2"})") << "da 1 a 4";
        QTest::newRow("input not whole")
            << QByteArray("play") << QByteArray(R"({"input":1.5})") << "da 1 a 4";
        QTest::newRow("both") << QByteArray("play") << QByteArray(R"({"input":1,"file":"a.wav"})")
                              << "uno dei due";
        QTest::newRow("neither") << QByteArray("play") << QByteArray(R"({"id":1})") << "uno dei due";
        QTest::newRow("file not text")
            << QByteArray("play") << QByteArray(R"({"file":["a"]})") << "nome di un file";
        QTest::newRow("empty file") << QByteArray("play") << QByteArray(R"({"file":""})")
                                    << "nome di un file";
        QTest::newRow("broken JSON") << QByteArray("play") << QByteArray(R"({"input":)") << "play vuole";
        QTest::newRow("array") << QByteArray("play") << QByteArray("[1]") << "play vuole";
        QTest::newRow("nothing") << QByteArray("play") << QByteArray() << "play vuole";
        QTest::newRow("unknown") << QByteArray("format") << QByteArray() << "sconosciuto";
        QTest::newRow("deeper level") << QByteArray("play/now") << QByteArray("1") << "sconosciuto";
        QTest::newRow("too long") << QByteArray("stop") << QByteArray(kMaxCommandBytes + 1, ' ')
                                  << "troppo lungo";
    }
    void parseCommand()
    {
        QFETCH(QByteArray, verb);
        QFETCH(QByteArray, payload);
        QFETCH(QString, taken);
        const Result<MqttCommand> command = ::parseCommand(verb, payload);
        if (!taken.contains(QLatin1Char(':'))) {
            QVERIFY2(!command && command.error().contains(taken),
                     qPrintable(command ? "taken" : command.error()));
            return;
        }
        QVERIFY2(command, qPrintable(command.error()));
        static const char *kinds[] = {"play", "file", "stop", "reload", "reset"};
        const QString id = command->id.toVariant().toString();
        QCOMPARE(QStringLiteral("%1:%2:%3:%4")
                     .arg(kinds[int(command->kind)])
                     .arg(command->input)
                     .arg(QString::fromUtf8(command->file), id),
                 taken);
    }

    // The answer carries the command's id back, as the JSON value it was.
    void resultPayload_data()
    {
        QTest::addColumn<QByteArray>("payload");
        QTest::addColumn<QString>("refusal");
        QTest::addColumn<QByteArray>("answer");
        QTest::newRow("done") << QByteArray("1") << QString()
                              << QByteArray(R"({"command":"play","result":"done"})");
        QTest::newRow("number id") << QByteArray(R"({"input":1,"id":7})") << QString()
                                   << QByteArray(R"({"command":"play","id":7,"result":"done"})");
        QTest::newRow("refused, text id")
            << QByteArray(R"({"input":9,"id":"x"})") << QStringLiteral("no")
            << QByteArray(R"({"command":"play","id":"x","reason":"no","result":"refused"})");
        QTest::newRow("an object is no id") << QByteArray(R"({"id":{"a":1}})") << QString()
                                            << QByteArray(R"({"command":"play","result":"done"})");
    }
    void resultPayload()
    {
        QFETCH(QByteArray, payload);
        QFETCH(QString, refusal);
        QFETCH(QByteArray, answer);
        QCOMPARE(::resultPayload("play", commandId(payload), refusal), answer);
    }

    void pressPayloadIsUtcWithMilliseconds()
    {
        // 2026-12-10 07:15:02.125 UTC
        QCOMPARE(pressPayload(3, 1796886902125, 2, 41),
                 QByteArray(R"({"count":2,"input":3,"sequence":41,"time":"2026-12-10T07:15:02.125Z"})"));
    }

    // One device per box: a lamp, a press and a test button per input, on topics of their own,
    // each pointing at this box's topics, whatever its name holds.
    void homeAssistantDiscovery()
    {
        MqttSettings settings;
        settings.name = "Sala 2.b";
        settings.prefix = "escape/sala2";
        const auto messages = ::homeAssistantDiscovery(settings);
        QCOMPARE(messages.size(), 12);
        QSet<QByteArray> topics;
        for (const auto &[topic, config] : messages) {
            topics.insert(topic);
            QVERIFY2(topic.contains("/velmora_Sala_2_b/"), topic.constData());
            const QJsonObject json = QJsonDocument::fromJson(config).object();
            QCOMPARE(json["device"].toObject()["identifiers"].toArray().first().toString(),
                     "velmora_Sala_2_b");
            const QString points = json.contains("topic")         ? json["topic"].toString()
                                   : json.contains("state_topic") ? json["state_topic"].toString()
                                                                  : json["command_topic"].toString();
            QVERIFY2(points.startsWith("escape/sala2/"), config.constData());
        }
        QCOMPARE(topics.size(), 12);
    }
};

QTEST_APPLESS_MAIN(TestMqttMessages)
#include "tst_mqttmessages.moc"
