#include "platform/statusport.h"
#include "wavtools.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {
class ScriptedPort : public StatusPort {
public:
    QList<PortReading> script;
    int reads = 0;
    PortReading read() override { return script.value(reads++, PortReading::ok(0)); }
};
} // namespace

class TestStatusPort : public QObject {
    Q_OBJECT
private slots:
    void portText_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("value");   // -1: refused
        QTest::newRow("decimal") << QByteArray("120") << 120;
        QTest::newRow("hex") << QByteArray("0x78") << 0x78;
        QTest::newRow("blanks and newline") << QByteArray("  0x00 \r\n") << 0;
        QTest::newRow("256 too big") << QByteArray("256") << -1;
        QTest::newRow("0x100 too big") << QByteArray("0x100") << -1;
        QTest::newRow("empty") << QByteArray("") << -1;
        QTest::newRow("bare 0x") << QByteArray("0x") << -1;
        QTest::newRow("negative") << QByteArray("-1") << -1;
        QTest::newRow("trailing garbage") << QByteArray("12x") << -1;
        QTest::newRow("huge") << QByteArray("99999999999999999999") << -1;
    }
    void portText()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, value);
        const auto parsed = parsePortText(text);
        QCOMPARE(parsed ? int(*parsed) : -1, value);
    }

    void baseAddr_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("value");
        QTest::newRow("kernel format") << QByteArray("888\t1912\n") << 888;
        QTest::newRow("single") << QByteArray("632\n") << 632;
        QTest::newRow("garbage") << QByteArray("x\n") << -1;
        QTest::newRow("empty") << QByteArray() << -1;
    }
    void baseAddr()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, value);
        QCOMPARE(parseBaseAddr(text).value_or(-1), value);
    }

    void ioports_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("found");
        QTest::newRow("parport at 0378") << QByteArray("0000-0cf7 : PCI Bus 0000:00\n  0378-037a : parport0\n") << true;
        QTest::newRow("parport elsewhere") << QByteArray("  0278-027a : parport1\n") << false;
        QTest::newRow("something else at 0378") << QByteArray("  0378-037a : foo\n") << false;
        QTest::newRow("empty") << QByteArray() << false;
    }
    void ioports()
    {
        QFETCH(QByteArray, text);
        QFETCH(bool, found);
        QCOMPARE(ioportsShowParallelAt378(text), found);
    }

    void findsTheParportAt378()
    {
        QTemporaryDir proc;
        wav::writeFile(proc.filePath("sys/dev/parport/parport0/base-addr"), "632\t1656\n");
        wav::writeFile(proc.filePath("sys/dev/parport/parport2/base-addr"), "888\t1912\n");
        wav::writeFile(proc.filePath("sys/dev/parport/default/timeslice"), "200\n");
        QCOMPARE(findParportAt378(proc.path()), std::optional<QString>("/dev/parport2"));
        QVERIFY(!findParportAt378(proc.filePath("nothing")));
    }

    void filePortReadsEveryTime()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("p");
        QString error;
        auto port = makeStatusPort("file:" + path, &error);
        QVERIFY(port);
        QVERIFY(!port->read().status);   // no file yet
        wav::writeFile(path, "0x00\n");
        // still failing: a failed port is tried again only every two seconds
        QVERIFY(!port->read().status);

        auto fresh = makeStatusPort("file:" + path, &error);
        QCOMPARE(fresh->read(), PortReading::ok(0));
        wav::writeFile(path, "0xF8");
        QCOMPARE(fresh->read(), PortReading::ok(0xF8));
        wav::writeFile(path, "rubbish");
        const PortReading bad = fresh->read();
        QVERIFY(!bad.status);
        QVERIFY2(bad.error.contains(path), qPrintable(bad.error));
    }

    void filePortNeverBlocksOnAFifo()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("fifo");
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        QString error;
        auto port = makeStatusPort("file:" + path, &error);
        QElapsedTimer timer;
        timer.start();
        QVERIFY(!port->read().status);
        QVERIFY(timer.elapsed() < 1000);
    }

    void missingDeviceSaysWhatToDo()
    {
        QString error;
        auto port = makeStatusPort("/dev/parport-velmora-test", &error);
        QVERIFY(port);
        const PortReading r = port->read();
        QVERIFY(!r.status);
        QVERIFY2(r.error.contains("/dev/parport-velmora-test") && r.error.contains("ppdev"), qPrintable(r.error));
    }

    void unknownSpecIsRefused_data()
    {
        QTest::addColumn<QString>("spec");
        QTest::newRow("empty") << "";
        QTest::newRow("file without path") << "file:";
    }
    void unknownSpecIsRefused()
    {
        QFETCH(QString, spec);
        QString error;
        QVERIFY(!makeStatusPort(spec, &error));
        QVERIFY(error.contains("file:"));
    }

    void retriesEveryInterval()
    {
        using namespace std::chrono;
        auto inner = std::make_unique<ScriptedPort>();
        ScriptedPort *script = inner.get();
        script->script = {PortReading::failed("giù"), PortReading::failed("ancora giù"), PortReading::ok(0x78)};
        steady_clock::time_point now {};
        RetryingStatusPort port(std::move(inner), seconds(2), [&now] { return now; });

        QCOMPARE(port.read(), PortReading::failed("giù"));
        now += milliseconds(1900);
        QCOMPARE(port.read(), PortReading::failed("giù"));   // answered without touching the port
        QCOMPARE(script->reads, 1);
        now += milliseconds(200);
        QCOMPARE(port.read(), PortReading::failed("ancora giù"));
        now += seconds(2);
        QCOMPARE(port.read(), PortReading::ok(0x78));
        QCOMPARE(port.read(), PortReading::ok(0));   // once working, read on every call
        QCOMPARE(script->reads, 4);
    }
};

QTEST_GUILESS_MAIN(TestStatusPort)
#include "tst_statusport.moc"
