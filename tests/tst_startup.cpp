#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// The real program, as a user starts it.
class TestStartup : public QObject {
    Q_OBJECT
private slots:
    void startsAndKeepsRunningWithAFilePort()
    {
        QTemporaryDir dir;
        QFile port(dir.filePath("p"));
        QVERIFY(port.open(QIODevice::WriteOnly));
        port.write("0x78\n");
        port.close();
        QProcess velmora;
        velmora.setProcessChannelMode(QProcess::MergedChannels);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", dir.path());   // as a desktop session has
        velmora.setProcessEnvironment(env);
        velmora.start(VELMORA_BINARY, {"--port", "file:" + port.fileName()});
        QVERIFY(velmora.waitForStarted());
        QVERIFY(!velmora.waitForFinished(1500));   // still running
        const QByteArray printed = velmora.readAll();
        QVERIFY2(printed.isEmpty(), printed.constData());   // nothing at all when all is well
        velmora.terminate();
        QVERIFY(velmora.waitForFinished());
    }

    void commandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("says");
        QTest::newRow("--help") << QStringList {"--help"} << 0 << "--port";
        QTest::newRow("--version") << QStringList {"--version"} << 0 << "velmora";
        QTest::newRow("bad port") << QStringList {"--port", "lpt1"} << 2 << "file:";
    }
    void commandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, says);
        QProcess velmora;
        velmora.setProcessChannelMode(QProcess::MergedChannels);
        velmora.start(VELMORA_BINARY, arguments);
        QVERIFY(velmora.waitForFinished(10000));
        QCOMPARE(velmora.exitCode(), exitCode);
        QVERIFY(QString::fromLocal8Bit(velmora.readAll()).contains(says));
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
