#include "wavtools.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

// The real program, as a user starts it.
class TestStartup : public QObject {
    Q_OBJECT
private slots:
    // Started as from a bare X server (no session bus) with a sound asked for every tick:
    // it keeps running, prints nothing, and never forks a bus daemon launcher.
    void runsQuietlyWithoutASessionBus()
    {
        QTemporaryDir dir;
        const QString marker = dir.filePath("launched");
        const QString fake = dir.filePath("dbus-launch");
        QVERIFY(wav::writeFile(fake, "#!/bin/sh\ntouch '" + QFile::encodeName(marker) + "'\nexit 1\n"));
        QFile::setPermissions(fake, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QString port = dir.filePath("p");
        QVERIFY(wav::writeFile(port, "0x68\n"));   // input 4 held: its (missing) sound is asked for every tick
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("DBUS_SESSION_BUS_ADDRESS");
        env.insert("PATH", dir.path() + ":" + env.value("PATH"));
        env.insert("XDG_RUNTIME_DIR", dir.path());
        QProcess velmora;
        velmora.setProcessChannelMode(QProcess::MergedChannels);
        velmora.setProcessEnvironment(env);
        velmora.start(VELMORA_BINARY, {"--port", "file:" + port});
        QVERIFY(velmora.waitForStarted());
        QVERIFY(!velmora.waitForFinished(1500));   // still running
        const QByteArray printed = velmora.readAll();
        QVERIFY2(printed.isEmpty(), printed.constData());   // nothing at all when all is well
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
