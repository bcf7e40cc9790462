#include "fakes.h"
#include "inputs/presses.h"
#include "steps.h"

#include <QTest>

// The press rules over what sources see, sampled every 10 ms or as USB events come.
class TestPresses : public QObject {
    Q_OBJECT
private slots:
    // Steps (steps.h): MS RRRR the inputs seen at MS ms (RRRR! and it is a press: the
    // window ticks at once); tick MS AAAA a tick at MS ms, and the inputs active for it.
    void rules_data()
    {
        QTest::addColumn<QString>("script");
        QTest::newRow("a clean 30 ms tap between ticks: one press, lit one tick")
            << "0 0000; 100 1000!; 110 1000; 130 0000; tick 200 1000; tick 400 0000";
        QTest::newRow("a 20 ms press, seen twice")
            << "100 1000!; 110 1000; 120 0000; tick 200 1000; tick 400 0000";
        QTest::newRow("held: active at every tick") << "0 1000!; tick 200 1000; 300 1000; tick 400 1000";
        QTest::newRow("a bouncing press is one press")
            << "100 1000!; 111 0000; 112 1000; 140 0000; tick 200 1000; tick 400 0000";
        QTest::newRow("a bouncing release is one release, no press after it")
            << "0 1000!; tick 200 1000; 250 0000; 255 1000; 256 0000; tick 400 0000";
        QTest::newRow("two taps 100 ms apart: two presses, each at once")
            << "0 1000!; 30 0000; 100 1000!; 130 0000; tick 200 1000";
        QTest::newRow("pressed again just after a tick: a press at once")
            << "0 1000!; 30 0000; tick 40 1000; 60 1000!";
        QTest::newRow("a 5 ms tap with nothing after it: settled at the tick")
            << "100 0100!; 105 0000; tick 200 0100; tick 400 0000";
        QTest::newRow("a reversal that lasts is real: pressed again 5 ms after a release")
            << "0 1000!; 50 0000; 55 1000; tick 200 1000; 300 1000; tick 400 1000";
        QTest::newRow("a release just past the window, then a re-press that lasts: two presses")
            << "0 1000!; 16 0000; 21 1000; 51 0000!; 56 1000; 57 0000; tick 200 1000; tick 400 0000";
        QTest::newRow("a release bounce still there past the window, but shorter than 15 ms: one press")
            << "0 1000!; 5 0000; 17 1000; 55 0000; tick 200 1000; tick 400 0000";
        QTest::newRow("each input on its own") << "0 1000!; 5 1001!; 8 0001; tick 200 1001; tick 400 0001";
    }
    void rules()
    {
        QFETCH(QString, script);
        Presses presses;
        auto inputs = [](const QString &bits) { return reading(bits.left(4))->first().raw; };
        for (const Step &step : steps(script)) {
            if (step.verb == "tick") {
                QCOMPARE(written(presses.tick(step.word(0).toLongLong() * 1'000'000)), step.word(1));
            } else {
                const Inputs pressed = presses.take(inputs(step.word(0)), step.verb.toLongLong() * 1'000'000);
                QCOMPARE(pressed != Inputs {}, step.word(0).endsWith('!'));
            }
        }
    }
};

QTEST_APPLESS_MAIN(TestPresses)
#include "tst_presses.moc"
