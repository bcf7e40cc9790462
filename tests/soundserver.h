#pragma once

// A real sound server for the tests that listen to what is played: started privately, in a
// folder of its own, with a null sink recorded from its monitor.
#include "wavtools.h"

#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <vector>

// A private PulseAudio, or PipeWire with its PulseAudio service, with a null sink in its own
// runtime folder, recorded from the sink's monitor, one file per start of the server.
class SoundServer {
public:
    // PipeWireWithoutOutput: PipeWire and WirePlumber with no sink and no PulseAudio service,
    // as a box meets it whose only sound card is not there yet; addOutput() brings one.
    enum Kind { None, PulseAudio, PipeWire, PipeWireWithoutOutput };
    explicit SoundServer(Kind kind) : m_kind(kind) {}
    ~SoundServer()
    {
        stop();
        if (m_bus) {
            m_bus->terminate();
            m_bus->waitForFinished();
        }
    }
    Kind kind() const { return m_kind; }
    QString runtimeDir() const { return m_dir.path(); }
    // Started, its null sink there and recorded. A server that fails to come up on a loaded
    // machine (seen once in the sanitizer build) is stopped and started once more; what
    // failed is kept for the test's message.
    bool start()
    {
        for (int attempt = 0; attempt < 2; ++attempt) {
            if (startOnce())
                return true;
            stop();
        }
        return false;
    }
    QString failedStep() const { return m_failedStep; }
    bool startOnce()
    {
        if (m_kind == PulseAudio) {
            m_processes.push_back(
                launch("pulseaudio", {"--daemonize=no", "--exit-idle-time=-1", "-n", "--log-level=error",
                                      "--load=module-null-sink sink_name=cue rate=48000",
                                      "--load=module-native-protocol-unix"}));
        } else {
            if (m_kind == PipeWire)
                wav::writeFile(m_dir.filePath("config/pipewire/pipewire.conf.d/cue.conf"),
                               "context.objects = [ { factory = adapter args = { " + kCue + " } } ]\n");
            if (!m_bus)   // WirePlumber needs a session bus; it stays across restarts
                m_bus = launch("dbus-daemon", {"--session", "--nofork", "--nopidfile", "--address=" + bus()});
            // The other two end at once if PipeWire does not answer yet ("Failed to connect to
            // PipeWire"), and without WirePlumber no stream is ever linked: its socket first.
            QFile::remove(m_dir.filePath("pipewire-0"));   // left behind if it had to be killed
            m_processes.push_back(launch("pipewire", {}));
            if (!waitFor([this] { return QFileInfo::exists(m_dir.filePath("pipewire-0")); }))
                return fail("pipewire made no socket");
            m_processes.push_back(launch("wireplumber", {}));
            if (m_kind == PipeWireWithoutOutput)
                return true;
            m_processes.push_back(launch("pipewire-pulse", {}));
        }
        return record();
    }
    // The null sink made while the server runs, and recorded.
    bool addOutput()
    {
        QProcess create;
        create.setProcessEnvironment(environment());
        create.start("pw-cli", {"create-node", "adapter",
                                QString::fromLatin1("{ " + kCue + " object.linger = true }")});
        if (!create.waitForFinished(5000) || create.exitCode() != 0)
            return fail("pw-cli made no sink");
        // Its PulseAudio service came up without answering once on a loaded machine: a
        // second one is started in its place before the test gives up.
        for (int attempt = 0; attempt < 2; ++attempt) {
            m_processes.push_back(launch("pipewire-pulse", {}));
            if (record())
                return true;
            m_processes.pop_back();   // killed with its QProcess
        }
        return false;
    }
    // Velmora's streams in the graph now: its own, and SDL's, which PipeWire names by the
    // program.
    int velmoraStreams() const
    {
        QProcess dump;
        dump.setProcessEnvironment(environment());
        dump.start("pw-dump", {});
        dump.waitForFinished(5000);
        int streams = 0;
        for (const QJsonValue &object : QJsonDocument::fromJson(dump.readAllStandardOutput()).array()) {
            const QJsonObject props = object["info"]["props"].toObject();
            streams += object["type"] == "PipeWire:Interface:Node" &&
                       (props["node.name"] == "Velmora" || props["application.name"] == "Velmora");
        }
        return streams;
    }
    bool record()
    {
        bool answered = false;
        const bool sink = waitFor([this, &answered] {
            QProcess sinks;
            sinks.setProcessEnvironment(environment());
            sinks.start("pactl", {"list", "short", "sinks"});
            answered = sinks.waitForFinished(2000) && sinks.exitCode() == 0;
            return answered && sinks.readAllStandardOutput().contains("cue");
        });
        m_capture = m_dir.filePath(QString("heard-%1.raw").arg(++m_starts));
        m_recorder = launch("parecord", {"--raw", "--latency-msec=10", "--device=cue.monitor",   // short, or
                                         "--format=float32le", "--rate=48000", "--channels=2",   // it writes
                                         m_capture});   // seconds late
        if (!sink)
            return fail(answered ? "no null sink listed by pactl"
                                 : "the PulseAudio service never answered pactl");
        return waitFor([this] { return QFileInfo(m_capture).size() > 0; }) ||
               fail("nothing recorded from the sink's monitor");
    }
    void stop()   // as a user's sound server stops, newest process first: the recorder goes with it
    {
        for (auto process = m_processes.rbegin(); process != m_processes.rend(); ++process) {
            (*process)->terminate();   // a sanitizer build's machine can be slow; gone either way
            if (!(*process)->waitForFinished(5000))
                (*process)->kill();
        }
        m_processes.clear();
        if (m_recorder) {
            m_recorder->kill();
            m_recorder->waitForFinished();
        }
    }
    QString capture() const { return m_capture; }
    // Every graph cycle this many frames, as a Bluetooth sink or a pro-audio setting makes it.
    void forceQuantum(int frames)
    {
        QProcess metadata;
        metadata.setProcessEnvironment(environment());
        metadata.start("pw-metadata",
                       {"-n", "settings", "0", "clock.force-quantum", QString::number(frames)});
        metadata.waitForFinished(5000);
    }

private:
    static inline const QByteArray kCue =
        "factory.name = support.null-audio-sink node.name = cue media.class = "
        "Audio/Sink audio.position = [ FL FR ] audio.rate = 48000";
    template <typename Done>
    static bool waitFor(Done done)
    {
        QElapsedTimer waited;
        waited.start();
        while (!done() && waited.elapsed() < 10000)   // a busy machine starts a server slowly
            QTest::qWait(20);
        return done();
    }
    std::unique_ptr<QProcess> launch(const QString &program, const QStringList &args) const
    {
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(environment());
        process->setStandardErrorFile(QProcess::nullDevice());
        process->start(program, args);
        return process;
    }
    QString bus() const { return "unix:path=" + m_dir.filePath("bus"); }
    QProcessEnvironment environment() const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("PIPEWIRE_REMOTE");   // its own socket, whatever the test's process uses
        env.insert("XDG_RUNTIME_DIR", m_dir.path());
        env.insert("XDG_CONFIG_HOME", m_dir.filePath("config"));
        env.insert("DBUS_SESSION_BUS_ADDRESS", bus());
        env.insert("HOME", m_dir.path());   // its cookie and state stay in here
        return env;
    }
    Kind m_kind;
    QTemporaryDir m_dir;
    std::unique_ptr<QProcess> m_bus;
    std::vector<std::unique_ptr<QProcess>> m_processes;
    bool fail(const QString &step)
    {
        m_failedStep = step;
        return false;
    }
    QString m_failedStep;
    int m_starts = 0;
    QString m_capture;
    std::unique_ptr<QProcess> m_recorder;
};
