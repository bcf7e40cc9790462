#include "fakes.h"
#include "inputs/inputmonitor.h"

#include <QTest>

class TestInputMonitor : public QObject {
    Q_OBJECT
private slots:
    // A source that failed is left alone for two seconds, answered with its failure: a
    // missing device is not reopened at every read.
    void retriesEveryInterval()
    {
        using namespace std::chrono;
        FakeSource fake;
        fake.script = {failure(QString("giù")), failure(QString("ancora giù")), notYet(), reading("0000")};
        steady_clock::time_point now {};
        InputMonitor monitor(fake, seconds(2), [&now] { return now; });
        auto said = [&monitor] { return monitor.tick().error(); };

        QCOMPARE(said(), QString("giù"));
        now += milliseconds(1900);
        QCOMPARE(said(), QString("giù"));   // answered without touching the source
        QVERIFY(!monitor.poll());
        QCOMPARE(fake.reads, 1);
        now += milliseconds(200);
        QCOMPARE(said(), QString("ancora giù"));
        now += seconds(2);
        QCOMPARE(said(), QString("ancora giù"));   // a claim under way: as it was, asked again at once
        QCOMPARE(said(), QString());               // read
        QCOMPARE(written(*monitor.tick()), QString("0000"));   // once working, read on every call
        QCOMPARE(fake.reads, 5);
    }
};

QTEST_GUILESS_MAIN(TestInputMonitor)
#include "tst_inputmonitor.moc"
