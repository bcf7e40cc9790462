#include "sounds/filechoice.h"

#include <QSet>
#include <QTest>

#include <random>

class TestFileChoice : public QObject {
    Q_OBJECT
private slots:
    void turn_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QList<int>>("played");
        QTest::newRow("three in turn") << 3 << QList<int> {0, 1, 2, 0, 1};
        QTest::newRow("one") << 1 << QList<int> {0, 0, 0};
    }
    void turn()
    {
        QFETCH(int, count);
        QFETCH(QList<int>, played);
        int last = -1;
        for (const int expected : played)
            QCOMPARE(last = nextFile(count, FileOrder::Turn, last, 12345), expected);
    }

    // At random: never the same twice in a row over 200 presses, and every file used.
    void random_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("two") << 2;
        QTest::newRow("three") << 3;
        QTest::newRow("seven") << 7;
    }
    void random()
    {
        QFETCH(int, count);
        std::mt19937 generator(42);
        QSet<int> used;
        int last = -1;
        for (int press = 0; press < 200; ++press) {
            const int next = nextFile(count, FileOrder::Random, last, quint32(generator()));
            QVERIFY(next >= 0 && next < count);
            QVERIFY2(next != last, qPrintable(QString::number(press)));
            used.insert(last = next);
        }
        QCOMPARE(used.size(), count);
    }
};

QTEST_APPLESS_MAIN(TestFileChoice)
#include "tst_filechoice.moc"
