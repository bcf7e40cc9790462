#include "inputs/inputtick.h"
#include "inputs/sources/statusbyte.h"

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

class TestInputTick : public QObject {
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
            QVERIFY2(inputTick(inputsFromStatus(quint8(status))) == expected,
                     qPrintable(QString("status 0x%1").arg(status, 2, 16, QChar('0'))));
        }
    }
};

QTEST_APPLESS_MAIN(TestInputTick)
#include "tst_inputtick.moc"
