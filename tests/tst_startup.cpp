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

    // The command line works, and a missing display is said plainly, with no display at
    // all (over ssh, in a script): never an abort with a core dump.
    void commandLineWithoutADisplay_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("display");   // empty: not set
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("says");
        QTest::newRow("--help") << QStringList {"--help"} << "" << 0 << "--version  Mostra la versione";
        QTest::newRow("--version") << QStringList {"--version"} << "" << 0 << "velmora 0.";
        QTest::newRow("bad port") << QStringList {"--port", "lpt1"} << "" << 2 << "file:PERCORSO";
        QTest::newRow("unknown option") << QStringList {"--prot", "auto"} << "" << 2 << "opzione sconosciuta: --prot";
        QTest::newRow("no display") << QStringList {} << "" << 1 << "DISPLAY non impostato";
        QTest::newRow("display that does not answer") << QStringList {} << ":97" << 1 << "DISPLAY=:97";
    }
    void commandLineWithoutADisplay()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, display);
        QFETCH(int, exitCode);
        QFETCH(QString, says);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(name);
        if (!display.isEmpty())
            env.insert("DISPLAY", display);
        QProcess velmora;
        velmora.setProcessEnvironment(env);
        velmora.start(VELMORA_BINARY, arguments);
        QVERIFY(velmora.waitForFinished(10000));
        QCOMPARE(velmora.exitStatus(), QProcess::NormalExit);
        QCOMPARE(velmora.exitCode(), exitCode);
        const QString out = QString::fromLocal8Bit(velmora.readAllStandardOutput());
        const QString err = QString::fromLocal8Bit(velmora.readAllStandardError());
        QVERIFY2((exitCode == 0 ? out : err).contains(says), qPrintable(out + err));
        if (exitCode != 0)   // one line, nothing from the toolkit around it
            QCOMPARE(err.count('\n'), 1);
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
