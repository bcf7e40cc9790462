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

    // Without a session bus, opening the sound device must not fork a bus daemon launcher.
    void noBusDaemonLaunchedWithoutASession()
    {
        QTemporaryDir dir;
        const QString marker = dir.filePath("launched");
        QFile fake(dir.filePath("dbus-launch"));
        QVERIFY(fake.open(QIODevice::WriteOnly));
        fake.write("#!/bin/sh\ntouch '" + QFile::encodeName(marker) + "'\nexit 1\n");
        fake.close();
        QFile::setPermissions(fake.fileName(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile port(dir.filePath("p"));
        QVERIFY(port.open(QIODevice::WriteOnly));
        port.write("0x68\n");   // input 4 held: its (missing) sound is asked for every tick
        port.close();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("DBUS_SESSION_BUS_ADDRESS");
        env.insert("PATH", dir.path() + ":" + env.value("PATH"));
        env.insert("XDG_RUNTIME_DIR", dir.path());
        QProcess velmora;
        velmora.setProcessEnvironment(env);
        velmora.start(VELMORA_BINARY, {"--port", "file:" + port.fileName()});
        QVERIFY(velmora.waitForStarted());
        QVERIFY(!velmora.waitForFinished(1500));
        velmora.terminate();
        QVERIFY(velmora.waitForFinished());
        QVERIFY2(!QFile::exists(marker), "dbus-launch was started");
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
