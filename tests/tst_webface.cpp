#include "web/webface.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTest>

class TestWebFace : public QObject {
    Q_OBJECT
private slots:
    // What /api/state says, as scripts read it: each input in order with its lamp, its
    // sound's name as the user sees it (bytes in another encoding kept readable) and whether
    // it is saved; the status as the window shows it.
    void stateJson_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("status");
        QTest::newRow("the source's status")
            << QByteArray(R"({"inputs":[{"active":false,"input":1,"saved":true,"sound":"gong.wav"},)"
                          R"({"active":true,"input":2,"saved":false,"sound":"effetti/applausi.wav"},)"
                          R"({"active":false,"input":3,"saved":true,"sound":""},)"
                          R"({"active":false,"input":4,"saved":true,"sound":"caffè.wav"}],)"
                          R"("status":"Porta parallela non leggibile"})")
            << QString("Porta parallela non leggibile");
        QTest::newRow("as saved, all idle")
            << QByteArray(R"({"inputs":[{"active":false,"input":1,"saved":true,"sound":"gong.wav"},)"
                          R"({"active":true,"input":2,"saved":false,"sound":"effetti/applausi.wav"},)"
                          R"({"active":false,"input":3,"saved":true,"sound":""},)"
                          R"({"active":false,"input":4,"saved":true,"sound":"caffè.wav"}],"status":""})")
            << QString();
    }
    void stateJson()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, status);
        const SoundSlots sounds {"gong.wav", "effetti/applausi.wav", {}, "caff\xc3\xa8.wav"};
        const QJsonObject state =
            ::stateJson({false, true, false, false}, sounds, {false, true, false, false}, status);
        QCOMPARE(QJsonDocument(state).toJson(QJsonDocument::Compact), json);
    }
};

QTEST_APPLESS_MAIN(TestWebFace)
#include "tst_webface.moc"
