#include "inputs/inputtable.h"

#include <QTest>

namespace {

// The wiring as a person with the connector in hand would describe it: each input is a
// pin pulled to ground; the port inverts Busy. Written out here on its own, not taken
// from the program's table.
struct Wire {
    int input;
    int pin;
    int bit;
    bool readsOneWhenPulledLow;
};
constexpr Wire kWiring[] = {
    {1, 10, 6, false},   // Ack
    {2, 11, 7, true},    // Busy, inverted by the port
    {3, 12, 5, false},   // Paper-out
    {4, 13, 4, false},   // Select
};
constexpr int kRequestOrder[] = {2, 1, 3, 4};

}   // namespace

class TestInputTable : public QObject {
    Q_OBJECT
private slots:
    void everyStatusByteAgainstTheWiring()
    {
        for (int status = 0; status < 256; ++status) {
            InputTick expected;
            for (int input : kRequestOrder) {
                const Wire &wire = kWiring[input - 1];
                const bool pulledLow = bool((status >> wire.bit) & 1) == wire.readsOneWhenPulledLow;
                expected.active[std::size_t(input - 1)] = pulledLow;
                if (pulledLow)
                    expected.sounds.append(input);
            }
            QVERIFY2(inputTick(quint8(status)) == expected,
                     qPrintable(QString("status 0x%1").arg(status, 2, 16, QChar('0'))));
        }
    }

    // A source that is not the port (USB buttons) hands its inputs on as a status byte:
    // every set of active inputs must come back out of the tick as it went in.
    void statusByteForEverySetOfInputs()
    {
        for (int set = 0; set < 16; ++set) {
            const std::array<bool, 4> active {bool(set & 1), bool(set & 2), bool(set & 4), bool(set & 8)};
            QCOMPARE(inputTick(statusByteFor(active)).active, active);
        }
        QCOMPARE(statusByteFor({}), quint8(0x78));   // what an idle port reads
    }
};

QTEST_APPLESS_MAIN(TestInputTable)
#include "tst_inputtable.moc"
