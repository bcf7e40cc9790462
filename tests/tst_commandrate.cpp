#include "mqtt/commandrate.h"

#include <QTest>

using namespace std::chrono_literals;

class TestCommandRate : public QObject {
    Q_OBJECT
private slots:
    // Commands at given times (ms after the start): how many are taken at 20 a second.
    void take_data()
    {
        QTest::addColumn<QList<int>>("at");
        QTest::addColumn<int>("taken");
        QTest::newRow("a burst up to the bucket") << QList<int>(25, 0) << 20;
        QTest::newRow("refilled in a second") << (QList<int>(20, 0) << QList<int>(25, 1000)) << 40;
        QTest::newRow("half refilled in half a second") << (QList<int>(20, 0) << QList<int>(25, 500)) << 30;
        QTest::newRow("never more than the bucket after a pause") << QList<int>(30, 60000) << 20;
        QTest::newRow("a steady 20 a second") << [] {
            QList<int> at;
            for (int i = 0; i < 200; ++i)
                at << i * 50;
            return at;
        }() << 200;
        QTest::newRow("a clock that goes back adds nothing")
            << (QList<int>(20, 1000) << QList<int>(5, 0)) << 20;
    }
    void take()
    {
        QFETCH(QList<int>, at);
        QFETCH(int, taken);
        const auto start = CommandRate::Clock::time_point {};
        CommandRate rate(20, start);
        int took = 0;
        for (const int ms : at)
            took += rate.take(start + std::chrono::milliseconds(ms)) ? 1 : 0;
        QCOMPARE(took, taken);
    }
};

QTEST_APPLESS_MAIN(TestCommandRate)
#include "tst_commandrate.moc"
