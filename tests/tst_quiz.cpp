#include "inputs/quiz.h"

#include <QTest>

class TestQuiz : public QObject {
    Q_OBJECT
private slots:
    // Presses as "input@ms"; the winner by the source's times, not by the order given.
    void firstPress_data()
    {
        QTest::addColumn<QStringList>("presses");
        QTest::addColumn<int>("winner");   // 0: none
        QTest::newRow("none") << QStringList {} << 0;
        QTest::newRow("one") << QStringList {"3@10"} << 3;
        QTest::newRow("1 ms apart, read in order") << QStringList {"1@10", "4@11"} << 1;
        QTest::newRow("1 ms apart, read the other way") << QStringList {"4@11", "1@10"} << 1;
        QTest::newRow("the later read first wins by its time") << QStringList {"2@50", "3@49"} << 3;
        QTest::newRow("tie: 2 before 1") << QStringList {"1@10", "2@10"} << 2;
        QTest::newRow("tie: 1 before 3") << QStringList {"3@10", "1@10"} << 1;
        QTest::newRow("tie: 3 before 4") << QStringList {"4@10", "3@10"} << 3;
        QTest::newRow("tie of all four") << QStringList {"4@7", "3@7", "1@7", "2@7"} << 2;
        QTest::newRow("an earlier one beats a tie") << QStringList {"2@9", "1@9", "4@8"} << 4;
    }
    void firstPress()
    {
        QFETCH(QStringList, presses);
        QFETCH(int, winner);
        QList<Press> list;
        for (const QString &p : presses)
            list.append({p.section('@', 0, 0).toInt(), p.section('@', 1).toLongLong() * 1'000'000});
        for (int rotation = 0; rotation < qMax(1, int(list.size())); ++rotation) {   // in every order
            const std::optional<Press> first = ::firstPress(list);
            QCOMPARE(first ? first->input : 0, winner);
            if (!list.isEmpty())
                list.append(list.takeFirst());
        }
    }

    // The winner stays until a reset; only its presses may sound meanwhile.
    void lockAndReset()
    {
        Quiz quiz;
        QCOMPARE(quiz.allowed({}), (Inputs {}));
        QCOMPARE(quiz.allowed({{3, 20}, {1, 25}}), (Inputs {false, false, true, false}));
        QCOMPARE(quiz.allowed({{1, 5}}), (Inputs {false, false, true, false}));   // earlier, but too late
        QCOMPARE(quiz.winner(), 3);
        quiz.reset();
        QCOMPARE(quiz.allowed({{1, 30}}), (Inputs {true, false, false, false}));
    }
};

QTEST_APPLESS_MAIN(TestQuiz)
#include "tst_quiz.moc"
