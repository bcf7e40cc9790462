#include "inputs/inputtable.h"

#include <QTest>

class TestInputTable : public QObject {
    Q_OBJECT
private slots:
    void activeInputs_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QList<int>>("active");
        QTest::newRow("0x78: all idle") << 0x78 << QList<int> {};
        QTest::newRow("0x00: 1, 3, 4 in request order") << 0x00 << QList<int> {1, 3, 4};
        QTest::newRow("0xF8: only 2") << 0xF8 << QList<int> {2};
        QTest::newRow("0x68: only 4") << 0x68 << QList<int> {4};
        QTest::newRow("0x87: all four, 2 first") << 0x87 << QList<int> {2, 1, 3, 4};
        QTest::newRow("0x58: only 3") << 0x58 << QList<int> {3};
        QTest::newRow("0x38: only 1") << 0x38 << QList<int> {1};
    }
    void activeInputs()
    {
        QFETCH(int, status);
        QFETCH(QList<int>, active);
        // Bits 0-3 carry nothing: every value of them gives the same inputs.
        for (int low = 0; low < 16; ++low)
            QCOMPARE(::activeInputs(quint8((status & 0xF0) | low)), active);
    }
};

QTEST_APPLESS_MAIN(TestInputTable)
#include "tst_inputtable.moc"
