// The real program in a real X server, used as a person would: it is copied into a
// fresh folder with its sounds, driven with xdotool, looked at through screenshots, and
// listened to through SDL's disk driver, which writes what the device would play, or
// through a real PulseAudio sound server, recorded from its null sink's monitor.
#include "platform/wavclip.h"
#include "wavtools.h"

#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

namespace {

// Where things are in the window (pixels from its top-left corner; the window is laid
// out at fixed positions, and a bare X server puts it at the screen's corner).
constexpr int kLampX = 32, kTestX = 64, kFirstRowY = 82, kRowStep = 72;
constexpr int kTabX0 = 277, kTabStep = 42, kTabY = 83;
constexpr QPoint kMenu {24, 8}, kFileRow1 {300, 218}, kTextBox {340, 270}, kSalvaSuono {340, 302};
constexpr QRect kLabel1 {90, 68, 132, 28}, kStatusLine {0, 334, 459, 30};

// Tones of the sounds beside the program: a.wav .. e.wav.
const QList<double> kTones {440, 550, 660, 880, 990};
const QByteArray kConfig = "SUONO INGRESSO 1 = a.wav\r\nSUONO INGRESSO 2 = b.wav\r\nSUONO INGRESSO 3 = c.wav\r\nSUONO INGRESSO 4 = d.wav\r\n";

int rowY(int input) { return kFirstRowY + kRowStep * (input - 1); }

QByteArray run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(10000) || p.exitCode() != 0)
        qWarning() << program << args << "failed:" << p.readAllStandardError();
    return p.readAllStandardOutput();
}

// A private PulseAudio server with a null sink, as root or not, in its own runtime
// folder; what it plays is recorded from the sink's monitor (float, stereo, 48 kHz), in
// one file per start of the server.
class SoundServer {
public:
    ~SoundServer() { stop(); }
    QString runtimeDir() const { return m_dir.path(); }

    bool start()
    {
        QProcess server;
        server.setProcessEnvironment(environment());
        server.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        server.start("pulseaudio", {"--daemonize=yes", "--exit-idle-time=-1", "-n", "--log-level=error",
                                    "--load=module-null-sink sink_name=cue rate=48000",
                                    "--load=module-native-protocol-unix"});
        if (!server.waitForFinished(10000) || server.exitCode() != 0)
            return false;
        m_pid = wav::readFile(m_dir.filePath("pulse/pid")).trimmed().toLongLong();
        m_capture = m_dir.filePath(QString("heard-%1.raw").arg(++m_starts));
        m_recorder = std::make_unique<QProcess>();
        m_recorder->setProcessEnvironment(environment());
        m_recorder->start("parecord", {"--raw", "--latency-msec=10", "--device=cue.monitor", "--format=float32le", "--rate=48000",
                                       "--channels=2", m_capture});
        if (!m_recorder->waitForStarted())
            return false;
        QElapsedTimer waited;   // until the recording runs
        waited.start();
        while (QFileInfo(m_capture).size() == 0 && waited.elapsed() < 5000)
            QTest::qWait(20);
        return m_pid > 0 && QFileInfo(m_capture).size() > 0;
    }
    // As a user's sound server stops: the recorder goes with it.
    void stop()
    {
        if (m_pid > 0) {
            ::kill(pid_t(m_pid), SIGTERM);
            QElapsedTimer waited;
            waited.start();
            while (::kill(pid_t(m_pid), 0) == 0 && waited.elapsed() < 5000)
                QTest::qWait(20);
            m_pid = 0;
        }
        if (m_recorder) {
            m_recorder->kill();
            m_recorder->waitForFinished();
        }
    }
    // What was played since the server last started (left channel).
    std::vector<float> heard() const { return wav::readCapture(m_capture); }

private:
    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_RUNTIME_DIR", m_dir.path());
        env.insert("HOME", m_dir.path());   // its cookie and state stay in here
        return env;
    }
    QTemporaryDir m_dir;
    qint64 m_pid = 0;
    int m_starts = 0;
    QString m_capture;
    std::unique_ptr<QProcess> m_recorder;
};

// One copy of the program in its own folder.
class Velmora {
public:
    // sounds: how each of a.wav .. e.wav is made, a long tone unless bursts are asked for.
    explicit Velmora(const QByteArray &config = kConfig, bool bursts = false)
    {
        QFile::copy(VELMORA_BINARY, m_dir.filePath("velmora"));
        for (int i = 0; i < kTones.size(); ++i)
            wav::writeFile(m_dir.filePath(QString("%1.wav").arg(QChar('a' + i))),
                           bursts ? wav::burst(kTones[i], 0.03, 1.0) : wav::tone(kTones[i], 2.0));
        if (!config.isNull())
            wav::writeFile(configPath(), config);
        setPort(0x78);
    }
    ~Velmora()
    {
        if (QTest::currentTestFailed() && m_process.state() == QProcess::Running) {
            // What the window looked like when it went wrong, beside the test's output.
            const QString shot = QDir::current().filePath(QString("e2e-failed-%1.png").arg(QTest::currentTestFunction()));
            screenshot().save(shot);
            qWarning().noquote() << "screenshot:" << shot;
        }
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }

    QString path(const QString &name) const { return m_dir.filePath(name); }
    // Plays through this sound server instead of SDL's disk driver.
    void useSoundServer(const SoundServer *server) { m_server = server; }
    QString configPath() const { return path("CONFIG.TXT"); }
    QByteArray config() const { return wav::readFile(configPath()); }

    // The status byte as the port file gives it; replaced whole, never seen half-written.
    void setPort(int status)
    {
        wav::writeFile(path("port.new"), "0x" + QByteArray::number(status, 16) + "\n");
        QFile::remove(path("port"));
        QFile::rename(path("port.new"), path("port"));
    }
    void removePort() { QFile::remove(path("port")); }

    bool start()
    {
        QFile::remove(path("heard.raw"));   // what an earlier run played is not this run's
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("QT_QPA_PLATFORM");   // a real window on the X server
        if (m_server) {
            env.insert("SDL_AUDIODRIVER", "pulseaudio");
            env.insert("XDG_RUNTIME_DIR", m_server->runtimeDir());
            env.insert("HOME", m_server->runtimeDir());
        } else {
            env.insert("SDL_AUDIODRIVER", "disk");
            env.insert("SDL_DISKAUDIOFILE", path("heard.raw"));
            env.insert("XDG_RUNTIME_DIR", m_dir.path());
        }
        m_process.setProcessEnvironment(env);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.setWorkingDirectory(m_dir.path());   // started from its folder: the chooser opens there
        m_process.start(path("velmora"), {"--port", "file:" + path("port")});
        if (!m_process.waitForStarted())
            return false;
        m_window = run("xdotool", {"search", "--sync", "--onlyvisible", "--pid", QString::number(m_process.processId()),
                                   "--name", "^Velmora$"}).split('\n').value(0);
        QTest::qWait(300);   // the first ticks and the chooser's folder
        return !m_window.isEmpty();
    }
    bool waitForExit()   // true when it ended by itself, normally, with code 0
    {
        if (m_process.state() != QProcess::NotRunning && !m_process.waitForFinished(5000))
            return false;
        return m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
    }
    bool running() const { return m_process.state() == QProcess::Running; }

    // Real X input through xdotool, then a moment for the window to act on it.
    void xdo(const QStringList &args)
    {
        run("xdotool", args);
        QTest::qWait(150);
    }
    void click(QPoint at) { xdo({"mousemove", "--window", m_window, QString::number(at.x()), QString::number(at.y()), "click", "1"}); }
    void clickTest(int input) { click({kTestX, rowY(input)}); }
    void clickTab(int tab) { click({kTabX0 + kTabStep * (tab - 1), kTabY}); }
    void keys(const QStringList &names) { xdo(QStringList {"key", "--delay", "60"} + names); }
    void type(const QString &text) { xdo({"type", "--delay", "30", text}); }
    void menu(int item)   // 1 = Salva configurazione, 2 = Exit
    {
        click(kMenu);
        QTest::qWait(300);   // the menu's first opening takes a moment
        keys(QStringList(item, "Down") << "Return");
    }

    QImage screenshot() const
    {
        QImage shot;
        shot.loadFromData(run("import", {"-window", "root", "png:-"}), "PNG");
        return shot;
    }
    // The four lamps, inputs 1 to 4: G green, R red, ? anything else.
    QString lamps() const
    {
        const QImage shot = screenshot();
        QString out;
        for (int n = 1; n <= 4; ++n) {
            const QColor c = shot.pixelColor(kLampX, rowY(n));
            out += c == QColor(0, 255, 0) ? 'G' : c == QColor(255, 0, 0) ? 'R' : '?';
        }
        return out;
    }
    // Pixels of text in a region: green text in the sound labels, dark in the status line.
    static int inkIn(const QImage &shot, QRect area, bool green)
    {
        int ink = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x) {
                const QColor c = shot.pixelColor(x, y);
                ink += green ? c.green() > c.red() + 60 && c.green() > c.blue() + 60 : c.value() < 100;
            }
        return ink;
    }
    bool labelShowsText(int input) const
    {
        return inkIn(screenshot(), kLabel1.translated(0, kRowStep * (input - 1)), true) > 10;
    }
    bool statusLineShowsText() const { return inkIn(screenshot(), kStatusLine, false) > 10; }

    // What the program has played so far (left channel, 48 kHz).
    std::vector<float> heard() const { return m_server ? m_server->heard() : wav::readCapture(path("heard.raw")); }
    std::size_t heardLength() const { return heard().size(); }

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    QString m_window;
    const SoundServer *m_server = nullptr;
};

// The tone of a.wav .. e.wav or of the chime's first note that dominates 40 ms from
// `from`; 0 when none does.
double toneAt(const std::vector<float> &s, std::size_t from) { return wav::dominant(s, from, kTones + QList<double> {kChimeFirstHz}); }

// What is sounding now: the last 40 ms written, leaving the newest few milliseconds,
// which may still sit in the writer's buffer.
double toneNow(const Velmora &v)
{
    const std::vector<float> s = v.heard();
    return s.size() < 4800 ? 0 : toneAt(s, s.size() - 4800);
}

// Where bursts start in [from, to), in samples.
QList<std::size_t> onsets(const std::vector<float> &s, std::size_t from, std::size_t to)
{
    QList<std::size_t> starts;
    bool loud = false;
    for (std::size_t i = from; i + 240 <= std::min(to, s.size()); i += 240) {   // 5 ms steps
        float peak = 0;
        for (std::size_t k = i; k < i + 240; ++k)
            peak = std::max(peak, std::fabs(s[k]));
        if (peak > 0.1f && !loud)
            starts << i;
        loud = peak > 0.1f;
    }
    return starts;
}

// The tone of the last sound that started in the last half second; 0 when none did.
double recentTone(const Velmora &v)
{
    const std::vector<float> s = v.heard();
    const std::size_t from = s.size() > 24000 ? s.size() - 24000 : 0;
    // The newest start may be too recent to have 40 ms written after it: take the one before.
    const QList<std::size_t> starts = onsets(s, from, s.size() > 2400 ? s.size() - 2400 : 0);
    return starts.isEmpty() ? 0 : toneAt(s, starts.last() + 240);
}

// The first sound at or after `from`, by its tone, once it has been written (waiting up
// to three seconds: a sanitizer build is slow to start).
double firstToneAfter(const Velmora &v, std::size_t from)
{
    QElapsedTimer waited;
    waited.start();
    do {
        QTest::qWait(100);
        const std::vector<float> s = v.heard();
        const QList<std::size_t> starts = onsets(s, from, s.size());
        if (!starts.isEmpty() && starts.first() + 2400 + 1920 <= s.size())
            return toneAt(s, starts.first() + 480);
    } while (waited.elapsed() < 3000);
    return 0;
}

} // namespace

class TestE2E : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY"))
            QFAIL("needs an X server: run it through scripts/test (xvfb-run)");
        QVERIFY2(!QStandardPaths::findExecutable("xdotool").isEmpty(), "xdotool is missing: run scripts/setup");
        QVERIFY2(!QStandardPaths::findExecutable("import").isEmpty(), "ImageMagick is missing: run scripts/setup");
    }

    // Lamps, and the sound that stays audible when several inputs are active: the last
    // one asked for on each tick, in the order 2, 1, 3, 4.
    void statusBytesLightLampsAndTheLastInputIsHeard_data()
    {
        QTest::addColumn<QList<int>>("statuses");
        QTest::addColumn<QStringList>("lamps");
        QTest::addColumn<QList<double>>("tones");   // 0: silence
        QTest::newRow("0x78, 0x00, 0xF8, 0x68") << QList<int> {0x78, 0x00, 0xF8, 0x68}
                                                << QStringList {"RRRR", "GRGG", "RGRR", "RRRG"}
                                                << QList<double> {0, 880, 550, 880};
        QTest::newRow("3 over 1, 1 over 2") << QList<int> {0x18, 0xB8}
                                            << QStringList {"GRGR", "GGRR"} << QList<double> {660, 440};
    }
    void statusBytesLightLampsAndTheLastInputIsHeard()
    {
        QFETCH(QList<int>, statuses);
        QFETCH(QStringList, lamps);
        QFETCH(QList<double>, tones);
        Velmora v;
        QVERIFY(v.start());
        for (int i = 0; i < statuses.size(); ++i) {
            v.setPort(statuses[i]);
            QTest::qWait(700);
            QCOMPARE(v.lamps(), lamps[i]);
            QCOMPARE(toneNow(v), tones[i]);
        }
    }

    void heldInputRestartsItsSoundEveryTick_data()
    {
        QTest::addColumn<bool>("soundServer");
        QTest::newRow("disk driver") << false;
        QTest::newRow("PulseAudio") << true;
    }
    void heldInputRestartsItsSoundEveryTick()
    {
        QFETCH(bool, soundServer);
        SoundServer server;
        Velmora v(kConfig, true);
        if (soundServer) {
            QVERIFY2(server.start(), "PulseAudio did not start: run scripts/setup");
            v.useSoundServer(&server);
        }
        QVERIFY(v.start());
        v.clickTest(1);   // the device is open from here on, so the capture is one timeline
        QTest::qWait(500);
        const std::size_t from = v.heardLength();
        QElapsedTimer held;
        v.setPort(0x68);   // input 4 held for about two seconds
        held.start();
        QTest::qWait(2000);
        v.setPort(0x78);
        const double ticks = double(held.elapsed()) / 200;   // a busy machine may hold it longer
        QTest::qWait(600);
        const std::vector<float> s = v.heard();
        const QList<std::size_t> starts = onsets(s, from, s.size());
        QVERIFY2(std::abs(double(starts.size()) - ticks) <= 1.5,
                 qPrintable(QString("%1 starts in %2 ticks").arg(starts.size()).arg(ticks)));
        for (int i = 1; i < starts.size(); ++i) {
            const double ms = double(starts[i] - starts[i - 1]) / 48.0;
            QVERIFY2(ms > 160 && ms < 240, qPrintable(QString("%1 ms between starts").arg(ms)));
            QCOMPARE(toneAt(s, starts[i] + 240), 880.0);
        }
    }

    void eachTestButtonIsHeardThroughASoundServer()
    {
        SoundServer server;
        QVERIFY2(server.start(), "PulseAudio did not start: run scripts/setup");
        Velmora v(kConfig, true);   // short sounds: each has ended before the next click
        v.useSoundServer(&server);
        QVERIFY(v.start());
        for (int n = 1; n <= 4; ++n) {
            const std::size_t from = v.heardLength();
            v.clickTest(n);
            QCOMPARE(firstToneAfter(v, from), kTones[n - 1]);
        }
    }

    // The sound server stops and starts again (as on a restart of the user's session
    // sound) while an input is held, or while the device is open but silent: the input is
    // heard again within a second, with no restart of Velmora.
    void soundServerRestart_data()
    {
        QTest::addColumn<bool>("held");
        QTest::newRow("input held") << true;
        QTest::newRow("idle, then a test button") << false;
    }
    void soundServerRestart()
    {
        QFETCH(bool, held);
        SoundServer server;
        QVERIFY2(server.start(), "PulseAudio did not start: run scripts/setup");
        Velmora v(kConfig, true);
        v.useSoundServer(&server);
        v.setPort(held ? 0x68 : 0x78);   // input 4 held, or none
        QVERIFY(v.start());
        v.clickTest(4);
        QCOMPARE(firstToneAfter(v, 0), 880.0);
        server.stop();
        QTest::qWait(1500);
        QVERIFY(server.start());
        if (!held)
            v.clickTest(4);
        QTest::qWait(1500);
        const std::vector<float> s = v.heard();
        const QList<std::size_t> starts = onsets(s, 0, s.size());
        QVERIFY2(!starts.isEmpty(), "nothing heard since the sound server came back");
        QVERIFY2(starts.first() < 48000, qPrintable(QString("first heard %1 ms after the server came back").arg(starts.first() / 48)));
        QCOMPARE(toneAt(s, starts.last() + 240), 880.0);
        QVERIFY(v.running());
    }

    void portVanishesAndComesBack()
    {
        Velmora v(kConfig, true);
        v.setPort(0xF8);   // input 2 held
        QVERIFY(v.start());
        QTest::qWait(500);
        QCOMPARE(v.lamps(), QString("RGRR"));
        QVERIFY(!v.statusLineShowsText());

        v.removePort();
        QTest::qWait(450);
        const std::size_t gone = v.heardLength();
        QCOMPARE(v.lamps(), QString("RRRR"));
        QVERIFY(v.statusLineShowsText());
        QTest::qWait(1000);
        {
            const std::vector<float> s = v.heard();
            QCOMPARE(onsets(s, gone, s.size()).size(), 0);   // no sound while it cannot be read
        }

        v.setPort(0xF8);
        QTest::qWait(2600);   // the port is tried again every 2 s
        QCOMPARE(v.lamps(), QString("RGRR"));
        QVERIFY(!v.statusLineShowsText());
        QCOMPARE(recentTone(v), 550.0);
        QVERIFY(v.running());
    }

    void firstStartWithoutConfig()
    {
        Velmora v(QByteArray {});
        QVERIFY(v.start());
        QCOMPARE(v.lamps(), QString("RRRR"));
        for (int n = 1; n <= 4; ++n)
            QVERIFY(!v.labelShowsText(n));
        const std::size_t from = v.heardLength();
        v.clickTest(2);   // an empty slot plays the chime
        QCOMPARE(firstToneAfter(v, from), kChimeFirstHz);
        QVERIFY(!QFile::exists(v.configPath()));
    }

    void missingSoundFilePlaysTheChime()
    {
        Velmora v("SUONO INGRESSO 3 = manca.wav\r\n");
        QVERIFY(v.start());
        QVERIFY(v.labelShowsText(3));
        v.clickTest(3);
        QCOMPARE(firstToneAfter(v, 0), kChimeFirstHz);
    }

    void typedAssignmentSavedSurvivesARestart()
    {
        Velmora v;
        QVERIFY(v.start());
        v.clickTab(2);
        v.click(kTextBox);
        v.keys({"ctrl+a"});
        v.type("e.wav");
        v.click(kSalvaSuono);
        v.menu(1);
        QCOMPARE(v.config(), QByteArray("SUONO INGRESSO 1 = a.wav\r\nSUONO INGRESSO 2 = e.wav\r\n"
                                        "SUONO INGRESSO 3 = c.wav\r\nSUONO INGRESSO 4 = d.wav\r\n"));
        v.menu(2);
        QVERIFY(v.waitForExit());

        QVERIFY(v.start());
        QVERIFY(v.labelShowsText(2));
        v.clickTest(2);
        QCOMPARE(firstToneAfter(v, 0), 990.0);
    }

    void assignmentLeftWithExitIsNotKept()
    {
        Velmora v;
        QVERIFY(v.start());
        v.clickTab(3);
        v.click(kFileRow1);   // a.wav, the first sound in the program's folder
        v.click(kSalvaSuono);
        v.clickTest(3);
        QCOMPARE(firstToneAfter(v, 0), 440.0);   // assigned for this run
        v.menu(2);
        QVERIFY(v.waitForExit());
        QCOMPARE(v.config(), kConfig);

        QVERIFY(v.start());
        v.clickTest(3);
        QCOMPARE(firstToneAfter(v, 0), 660.0);
    }
};

QTEST_GUILESS_MAIN(TestE2E)
#include "tst_e2e.moc"
