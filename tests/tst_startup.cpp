#include "launch.h"
#include "wavtools.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

// The real program, as a user starts it.
class TestStartup : public QObject {
    Q_OBJECT
private slots:
    // Started as from a bare X server (no session bus) with a sound asked for every tick:
    // it keeps running, prints nothing, and never starts a bus launcher. libdbus starts one
    // (dbus-x11's /usr/bin/dbus-launch, by that path, installed or not) only for an X
    // display, so every program Velmora tries to start is watched, with strace.
    void runsQuietlyWithoutASessionBus()
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QSKIP("no X display: libdbus launches a bus only for one (scripts/test gives it xvfb-run's)");
        if (QStandardPaths::findExecutable("strace").isEmpty() ||
            !qEnvironmentVariableIsEmpty("VELMORA_LAUNCHER"))
            QSKIP("needs strace, on the machine's own processor: scripts/setup installs it");
        QTemporaryDir dir;
        const QString trace = dir.filePath("trace");
        const QString port = dir.filePath("p");
        QVERIFY(
            wav::writeFile(port, "0x68\n"));   // input 4 held: its (missing) sound is asked for every tick
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("DBUS_SESSION_BUS_ADDRESS");
        env.insert("XDG_RUNTIME_DIR", dir.path());
        // LeakSanitizer cannot look for leaks in a traced process (the sanitizer build).
        env.insert("ASAN_OPTIONS", env.value("ASAN_OPTIONS") + ":detect_leaks=0");
        QProcess velmora;
        velmora.setProcessChannelMode(QProcess::MergedChannels);
        velmora.setProcessEnvironment(env);
        qputenv("VELMORA_LAUNCHER", "strace -f -qq -e trace=execve -o " + QFile::encodeName(trace));
        startVelmora(velmora, {"--port", "file:" + port});
        qunsetenv("VELMORA_LAUNCHER");
        QVERIFY2(velmora.waitForStarted(), qPrintable(velmora.errorString()));
        QVERIFY(!velmora.waitForFinished(3000));   // still running
        const QByteArray printed = velmora.readAll();
        QVERIFY2(printed.isEmpty(), printed.constData());   // nothing at all when all is well
        // Ended as a user's logout ends it: the signal to Velmora, not to strace.
        const qint64 pid =
            wav::readFile(QString("/proc/%1/task/%1/children").arg(velmora.processId())).toLongLong();
        QVERIFY(pid > 0 && ::kill(pid_t(pid), SIGTERM) == 0);
        QVERIFY(velmora.waitForFinished());
        const QByteArray started = wav::readFile(trace);
        QVERIFY2(started.contains("velmora"), started.constData());   // strace did watch it
        QVERIFY2(!started.contains("dbus-launch"), started.constData());
    }

    // The command line works, and a missing display is said plainly, with no display at
    // all (over ssh, in a script): never an abort with a core dump. Where there is a
    // display, a refusal is also shown in a window, since nobody reads stderr when Velmora
    // is started from the menu or at login.
    void commandLineAndRefusals_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("display");   // empty: not set; "x": the test's X server; "offscreen"
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("says");
        QTest::addColumn<QString>("locale");   // LC_ALL; empty: the tests' own (Italian)
        QTest::newRow("--help") << QStringList {"--help"} << "" << 0 << "--version  Mostra la versione"
                                << QString();
        QTest::newRow("bad port") << QStringList {"--port", "lpt1"} << "" << 2 << "file:PERCORSO"
                                  << QString();
        QTest::newRow("a serial port that is not a tty, never opened")
            << QStringList {"--port", "serial:/dev/null"} << "" << 2 << "non è una porta seriale"
            << QString();
        QTest::newRow("the terminal is no serial port, never touched")
            << QStringList {"--check", "--port", "serial:/dev/tty"} << "" << 2 << "non è una porta seriale"
            << QString();
        QTest::newRow("nor is the console") << QStringList {"--check", "--port", "serial:/dev/console"} << ""
                                            << 2 << "non è una porta seriale" << QString();
        QTest::newRow("a line break in the port")
            << QStringList {"--check", "--port", "file:/tmp/p\nExecStartPre=/bin/true"} << "" << 2
            << "file:/tmp/p\\nExecStartPre=/bin/true\" contiene un carattere di controllo" << QString();
        QTest::newRow("--port twice")
            << QStringList {"--port", "auto", "--port", "io"} << "" << 2 << "più volte" << QString();
        QTest::newRow("--list-inputs checks --port as --check does")
            << QStringList {"--list-inputs", "--port", "serial:/dev/null"} << "" << 2
            << "non è una porta seriale" << QString();
        QTest::newRow("a certificate without its key")
            << QStringList {"--web", "8080", "--web-cert", "/etc/hostname"} << "" << 2
            << "--web-cert e --web-cert-key vanno indicate insieme" << QString();
        QTest::newRow("a certificate that is none, refused before anything is served")
            << QStringList {"--check",    "--port",        "file:/dev/null", "--web",        "8080",
                            "--web-cert", "/etc/hostname", "--web-cert-key", "/etc/hostname"}
            << "" << 2 << "/etc/hostname non è un certificato PEM" << QString();
        QTest::newRow("unknown option")
            << QStringList {"--prot", "auto"} << "" << 2 << "opzione sconosciuta: --prot" << QString();
        QTest::newRow("no display: names --no-window")
            << QStringList {} << "" << 1 << "con velmora --no-window" << QString();
        QTest::newRow("display that does not answer")
            << QStringList {} << ":97" << 1 << "DISPLAY=:97" << QString();
        QTest::newRow("display that does not answer, bad port")
            << QStringList {"--port", "lpt1"} << ":97" << 2 << "lpt1" << QString();
        QTest::newRow("--version") << QStringList {"--version"} << "" << 0 << "velmora " VELMORA_VERSION
                                   << QString();
        QTest::newRow("refusal on a platform nobody sees: no box")
            << QStringList {"--port", "evdev:/dev/null"} << "offscreen" << 2
            << "non è un dispositivo di input" << QString();
        QTest::newRow("nor on the minimal one") << QStringList {"--port", "evdev:/dev/null"} << "minimal" << 2
                                                << "non è un dispositivo di input" << QString();
        QTest::newRow("refusal shown on the screen") << QStringList {"--port", "evdev:/dev/null"} << "x" << 2
                                                     << "non è un dispositivo di input" << QString();
        // Started on an English desktop, every line in English; on an Italian one, as always.
        QTest::newRow("English: --help") << QStringList {"--help"} << "" << 0 << "--version  Show the version"
                                         << "en_US.UTF-8";
        QTest::newRow("English: a refusal and its remedy")
            << QStringList {"--check", "--port", "serial:/dev/null"} << "" << 2
            << "is not a serial port: give a /dev/ttyUSBn"
            << "en_GB.UTF-8";
        QTest::newRow("English: no display")
            << QStringList {} << "" << 1 << "run it without a window with velmora --no-window"
            << "en_US.UTF-8";
        QTest::newRow("English: refusal shown on the screen")
            << QStringList {"--port", "evdev:/dev/null"} << "x" << 2 << "is not an input device"
            << "en_US.UTF-8";
        QTest::newRow("Italian desktop: as always")
            << QStringList {"--port", "lpt1"} << "" << 2 << "porta non valida: \"lpt1\""
            << "it_IT.UTF-8";
        QTest::newRow("German desktop: Italian") << QStringList {"--help"} << "" << 0 << "Mostra la versione"
                                                 << "de_DE.UTF-8";
    }
    void commandLineAndRefusals()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, display);
        QFETCH(int, exitCode);
        QFETCH(QString, says);
        QFETCH(QString, locale);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (!locale.isEmpty())
            env.insert("LC_ALL", locale);
        const QString screen = env.value("DISPLAY");
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            env.remove(name);
        if (display == "x" && (screen.isEmpty() || QStandardPaths::findExecutable("xdotool").isEmpty()))
            QSKIP("needs an X server and xdotool: run it through scripts/test (xvfb-run)");
        if (display == "offscreen" || display == "minimal")
            env.insert("QT_QPA_PLATFORM", display);
        else if (!display.isEmpty())
            env.insert("DISPLAY", display == "x" ? screen : display);
        QProcess velmora;
        velmora.setProcessEnvironment(env);
        startVelmora(velmora, arguments);
        if (display == "x") {   // the box is there, saying why; Enter closes it
            QVERIFY2(velmora.waitForStarted(), qPrintable(velmora.errorString()));
            QProcess search;
            search.start("xdotool", {"search", "--sync", "--all", "--onlyvisible", "--pid",
                                     QString::number(velmora.processId()), "--name", "^Velmora$"});
            QVERIFY(search.waitForFinished(20000) && search.exitCode() == 0);
            // The box goes on the key's press, before its release reaches it: xdotool's complaint is no
            // failure.
            QProcess::execute("xdotool",
                              {"key", "--window", search.readAll().split('\n').value(0), "Return"});
        }
        QVERIFY(velmora.waitForFinished(10000));
        QCOMPARE(velmora.exitStatus(), QProcess::NormalExit);
        QCOMPARE(velmora.exitCode(), exitCode);
        const QString out = QString::fromLocal8Bit(velmora.readAllStandardOutput());
        const QString err = QString::fromLocal8Bit(velmora.readAllStandardError());
        QVERIFY2((out + err).contains(says), qPrintable(out + err));
        if (arguments == QStringList {"--help"})   // a terminal of 80 columns, in every language
            for (const QString &line : out.split('\n'))
                QVERIFY2(line.size() <= 80, qPrintable(line));
        if (exitCode != 0)   // one line, nothing from the toolkit around it
            QVERIFY2(err.count(QLatin1Char('\n')) == 1, qPrintable(err));
    }

    // From a terminal the refusal is the line where the command was typed, and it ends at
    // once with status 2: the box is for starts from the menu, where nobody reads stderr.
    void aRefusalInATerminalIsTheLineOnly()
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QSKIP("needs an X server, where a box could be shown: run it through scripts/test (xvfb-run)");
        const int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        QVERIFY(master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("QT_QPA_PLATFORM");
        QProcess velmora;
        velmora.setProcessEnvironment(env);
        velmora.setStandardErrorFile(QString::fromLocal8Bit(::ptsname(master)));
        startVelmora(velmora, {"--port", "evdev:/dev/null"});
        QVERIFY2(velmora.waitForFinished(60000), "it waited: a box was shown to a terminal's user");
        QCOMPARE(velmora.exitCode(), 2);
        char said[4096] = {};
        QVERIFY(::read(master, said, sizeof said - 1) > 0);
        QVERIFY2(QString::fromUtf8(said).contains("non è un dispositivo di input"), said);
        ::close(master);
    }

    // A pseudo-terminal named as a serial port is refused before it is opened: it is
    // neither locked nor switched to raw mode, so the terminal stays usable.
    void aTerminalIsLeftAsItWas()
    {
        const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
        QVERIFY(master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0);
        const QString slave = QString::fromLocal8Bit(::ptsname(master));
        const int fd = ::open(QFile::encodeName(slave).constData(), O_RDWR | O_NOCTTY);
        QVERIFY(fd >= 0);
        termios before {};
        QVERIFY(::tcgetattr(fd, &before) == 0);
        QProcess velmora;
        startVelmora(velmora, {"--check", "--port", "serial:" + slave});
        QVERIFY(velmora.waitForFinished(10000));
        QCOMPARE(velmora.exitCode(), 2);
        QVERIFY2(velmora.readAllStandardError().contains("non è una porta seriale"), "not refused as such");
        termios after {};
        QVERIFY(::tcgetattr(fd, &after) == 0);
        QCOMPARE(after.c_lflag, before.c_lflag);   // still echoes, still edits lines
        QCOMPARE(after.c_iflag, before.c_iflag);
        ::close(fd);
        ::close(master);
    }
};

QTEST_GUILESS_MAIN(TestStartup)
#include "tst_startup.moc"
