#include "core/core.h"
#include "fakes.h"

#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>

// The core's ticks with INGRESSI.TXT's settings: what the player is asked for. Each tick is a
// reading ("0001": input 4 active), the same seen between ticks as a woken source ("~0001"),
// or "reset" (the quiz master's); the requests as "4" (an input's sound replacing), "4m"
// (mixed), "4L" (looped), "-4" (stopped).
class TestCore : public QObject {
    Q_OBJECT
private slots:
    void ticks_data()
    {
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<QStringList>("ticks");
        QTest::addColumn<QString>("asked");
        QTest::newRow("no settings file: as always")
            << QByteArray() << QStringList {"0001", "0001", "0001", "0000"} << "4 4 4";
        QTest::newRow("no settings file: all four in the order 2, 1, 3, 4")
            << QByteArray() << QStringList {"1111"} << "2 1 3 4";
        QTest::newRow("once: held, one sound") << QByteArray("version = 1\n[input 4]\nplay = once\n")
                                               << QStringList {"0001", "0001", "0001"} << "4";
        QTest::newRow("hold, mixed: a loop until let go")
            << QByteArray("version = 1\n[input 1]\nplay = hold\nwith = mix\n")
            << QStringList {"1000", "1000", "0000"} << "1mL -1";
        QTest::newRow("hold: let go between ticks, stopped then")
            << QByteArray("version = 1\n[input 1]\nplay = hold\n") << QStringList {"1000", "~0000"}
            << "1L -1";
        QTest::newRow("no settings file: one of two let go between ticks, no sound until the tick")
            << QByteArray() << QStringList {"0011", "~0001", "0001"} << "3 4 4";
        QTest::newRow("quiz: the first locks the others until the reset")
            << QByteArray("version = 1\n[quiz]\non = yes\n")
            << QStringList {"0010", "0011", "0000", "1000", "0000", "reset", "1000"} << "3 3 1";
        QTest::newRow("quiz: a tie goes to 2 before 1")
            << QByteArray("version = 1\n[quiz]\non = yes\n") << QStringList {"1100", "0000", "1000"} << "2";
    }
    void ticks()
    {
        QFETCH(QByteArray, settings);
        QFETCH(QStringList, ticks);
        QFETCH(QString, asked);
        QTemporaryDir dir;
        if (!settings.isEmpty()) {
            QFile file(dir.filePath(kInputSettingsFile));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(settings);
        }
        int pipe[2];
        QCOMPARE(::pipe2(pipe, O_NONBLOCK), 0);
        const auto closePipe = qScopeGuard([&] { ::close(pipe[0]), ::close(pipe[1]); });
        FakeSource port;
        port.wake = pipe[0];
        FakePlayer player;
        Core core(port, player, dir.path());
        (void)core.load();
        player.requests.clear();
        player.plays.clear();
        for (const QString &tick : ticks) {
            if (tick == QLatin1String("reset")) {
                core.resetQuiz();
                continue;
            }
            if (tick.startsWith(QLatin1Char('~'))) {
                const int reads = port.reads;
                port.next = reading(tick.mid(1));
                QCOMPARE(::write(pipe[1], "w", 1), 1);
                QTRY_COMPARE(port.reads, reads + 1);
                continue;
            }
            port.next = reading(tick);
            core.tick();
        }
        QStringList got;
        int request = 0;
        for (const QByteArray &play : player.plays) {
            if (play.isEmpty()) {   // a stop
                got << QStringLiteral("-") + QString::number(player.stops.takeFirst());
                continue;
            }
            const PlayRequest &r = player.requests[request++];
            got << QStringLiteral("%1%2%3").arg(r.owner).arg(r.replace ? "" : "m").arg(r.loop ? "L" : "");
        }
        QCOMPARE(got.join(QLatin1Char(' ')), asked);
        if (settings.contains("quiz"))
            QVERIFY(!core.statusLine().isEmpty() || !core.quizWinner());
    }
};

QTEST_GUILESS_MAIN(TestCore)
#include "tst_core.moc"
