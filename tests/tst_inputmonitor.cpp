#include "fakes.h"
#include "inputs/inputmonitor.h"

#include <QTest>

class TestInputMonitor : public QObject {
    Q_OBJECT
private slots:
    // A source that failed is left alone for two seconds, answered with its failure: a
    // missing device is not reopened every tick.
    void retriesEveryInterval()
    {
        using namespace std::chrono;
        FakeSource fake;
        fake.script = {failure(QString("giù")), failure(QString("ancora giù")), notYet(), reading("0000")};
        steady_clock::time_point now {};
        InputMonitor port(fake, seconds(2), [&now] { return now; });

        QCOMPARE(port.read(), InputReading(failure(QString("giù"))));
        now += milliseconds(1900);
        QCOMPARE(port.read(), InputReading(failure(QString("giù"))));   // answered without touching the port
        QCOMPARE(fake.reads, 1);
        now += milliseconds(200);
        QCOMPARE(port.read(), InputReading(failure(QString("ancora giù"))));
        now += seconds(2);
        QCOMPARE(port.read(), notYet());
        QCOMPARE(port.read(), reading("0000"));   // a claim under way is asked again at once
        QCOMPARE(port.read(), reading("0000"));   // once working, read on every call
        QCOMPARE(fake.reads, 5);
    }
};

QTEST_GUILESS_MAIN(TestInputMonitor)
#include "tst_inputmonitor.moc"
