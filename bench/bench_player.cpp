// Player and tick figures: the peak memory of loading a 200 MB WAV, trigger-to-first-frame
// latency (cold and warm), the cost of play() with a cached clip, and the cost of one tick with all four
// inputs active. Run through bench/run; prints medians.

#include "app/form1.h"
#include "platform/audio/sdlplayer.h"
#include "wavtools.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <tuple>
#include <vector>

using namespace std::chrono;

namespace {

QByteArray toneWav(double hz, double seconds) { return wav::make(44100, hz, seconds); }

double quantile(std::vector<double> v, double q)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[std::size_t(q * double(v.size() - 1))];
}
double median(const std::vector<double> &v) { return quantile(v, 0.5); }

// Time for the player to take in what it was given (a few 1-second clips).
void settle() { std::this_thread::sleep_for(300ms); }

// The player's timing log says when each clip's first frame went to the device.
std::atomic<qint64> g_firstFrameNs {-1};
void catchTiming(QtMsgType, const QMessageLogContext &, const QString &message)
{
    if (message.startsWith(QLatin1String("sound ")))
        g_firstFrameNs = message.mid(6).toLongLong();
}

double latencyMs(SdlPlayer &player, const QByteArray &path)
{
    g_firstFrameNs = -1;
    const qint64 asked = steadyNowNs();
    player.play(path);
    // The line comes with the player's next upkeep, at most a quarter of a second later.
    for (int i = 0; i < 1000 && g_firstFrameNs < asked; ++i)
        std::this_thread::sleep_for(1ms);
    return g_firstFrameNs < asked ? -1 : double(g_firstFrameNs - asked) / 1e6;
}

// A stereo WAV of `dataBytes` of samples, made sparse (quick to make; read, its pages are
// as real as any).
bool writeLargeWav(const QString &path, int format, int rate, int bits, qint64 dataBytes)
{
    const QByteArray h = wav::header(format, 2, rate, bits, dataBytes);
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(h) == h.size() && f.resize(h.size() + dataBytes);
}

qint64 statusKiB(const char *field)
{
    QFile status("/proc/self/status");
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(int(std::strlen(field))).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

// The most memory loading one file takes above what the process held before, in MiB.
double loadPeakMiB(const QString &path, const ClipLimits &limits)
{
    QFile clear("/proc/self/clear_refs");   // resets the peak to the present
    if (!clear.open(QIODevice::WriteOnly) || clear.write("5") != 1)
        return -1;
    clear.close();
    const qint64 before = statusKiB("VmRSS:");
    {
        const Decoded result = readWavFile(QFile::encodeName(path), limits);
        if (!result)
            return -1;
    }
    return double(statusKiB("VmHWM:") - before) / 1024.0;
}

class AllActivePort : public InputSource {
public:
    InputReading read() override { return seenNow(Inputs {true, true, true, true}); }
    QString name() const override { return QStringLiteral("Porta parallela"); }
};

}   // namespace

// What a sound server plays, as it reaches the null sink's monitor: each 5 ms block is
// marked loud or quiet the moment it arrives (the recorder's own latency included).
class Monitor {
public:
    // parecord writes a file as it records (to a pipe it writes late and little), and the
    // file is read as it grows. It asks for 5 ms, or for MONITOR_LATENCY_MSEC: a recorder that
    // asks for more keeps the graph at a larger quantum while Velmora is silent, as a music
    // player or a browser does on a desktop.
    explicit Monitor(const QString &file) : m_file(file)
    {
        QFile::remove(file);   // an earlier recording's bytes would be read as this one's
        m_recorder.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        const QString latency = qEnvironmentVariable("MONITOR_LATENCY_MSEC", QStringLiteral("5"));
        m_recorder.start("parecord", {"--raw", "--latency-msec=" + latency, "--device=cue.monitor",
                                      "--format=float32le", "--rate=48000", "--channels=2", file});
        m_reader = std::thread([this] { read(); });
    }
    ~Monitor()
    {
        m_stop = true;
        m_reader.join();
        m_recorder.kill();
        m_recorder.waitForFinished();
    }
    bool ok() const { return m_blocks > 0; }
    // The first loud block after `sinceNs`, in steady-clock ns; -1 when none within `timeout`.
    qint64 heardAfter(qint64 sinceNs, milliseconds timeout) { return after(m_loudAt, sinceNs, timeout); }
    // The first quiet block after `sinceNs` that follows a loud one; -1 when none within `timeout`.
    qint64 quietAfter(qint64 sinceNs, milliseconds timeout) { return after(m_quietAt, sinceNs, timeout); }
    // Quiet blocks from the first loud one on, for `span`: breaks in a continuous tone.
    int gapsIn(milliseconds span)
    {
        const qint64 from = heardAfter(steadyNowNs(), 3s);
        m_quiet = 0;
        std::this_thread::sleep_for(span);
        return from < 0 ? -1 : m_quiet.load();
    }

private:
    static qint64 after(const std::atomic<qint64> &edge, qint64 sinceNs, milliseconds timeout)
    {
        for (auto end = steady_clock::now() + timeout; steady_clock::now() < end;) {
            if (const qint64 at = edge; at >= sinceNs)
                return at;
            std::this_thread::sleep_for(1ms);
        }
        return -1;
    }
    void read()
    {
        QFile file(m_file);
        std::vector<float> block(480);   // 5 ms of stereo
        QByteArray pending;
        bool loud = false;
        while (!m_stop) {
            if (!file.isOpen() && !file.open(QIODevice::ReadOnly)) {
                std::this_thread::sleep_for(1ms);
                continue;
            }
            pending += file.readAll();
            const auto bytes = qsizetype(block.size() * sizeof(float));
            if (pending.size() < bytes) {
                std::this_thread::sleep_for(1ms);
                continue;
            }
            std::memcpy(block.data(), pending.constData(), std::size_t(bytes));
            pending.remove(0, bytes);
            ++m_blocks;
            float peak = 0;
            for (float v : block)
                peak = std::max(peak, std::fabs(v));
            if (peak > 0.1f && !loud)
                m_loudAt = steadyNowNs();
            if (peak <= 0.1f && loud)
                m_quietAt = steadyNowNs();
            m_quiet += peak <= 0.1f;
            loud = peak > 0.1f;
        }
    }
    QString m_file;
    QProcess m_recorder;
    std::thread m_reader;
    std::atomic<bool> m_stop {false};
    std::atomic<qint64> m_blocks {0}, m_loudAt {-1}, m_quietAt {-1};
    std::atomic<int> m_quiet {0};
};

// "velmora_bench heard FRAMES WARM COLD": through the sound server SDL finds, the time
// from play() to the sound at the sink, warm and after 10 s of silence, and the breaks
// in a 10 s tone from the player against a plain player (PLAIN_PLAYER, given the WAV).
int heard(int frames, int warmReps, int coldReps)
{
    QTemporaryDir dir;
    const QByteArray blip = QFile::encodeName(dir.filePath("blip.wav"));
    const QByteArray tone = QFile::encodeName(dir.filePath("tone.wav"));
    if (!wav::writeFile(blip, wav::burst(440, 0.1, 0.1)) || !wav::writeFile(tone, wav::tone(440, 10)))
        return 1;
    Monitor monitor(dir.filePath("heard.raw"));
    for (int i = 0; i < 100 && !monitor.ok(); ++i)   // a first connection can take seconds
        std::this_thread::sleep_for(50ms);
    if (!monitor.ok()) {
        std::fprintf(stderr, "no recording from cue.monitor: is the private sound server running?\n");
        return 1;
    }
    SdlPlayer::Settings settings;
    settings.output.bufferFrames = frames;
    SdlPlayer player(settings);
    player.preload(blip);
    player.preload(tone);
    settle();
    const auto once = [&] {
        const qint64 asked = steadyNowNs();
        player.play(blip);
        const qint64 at = monitor.heardAfter(asked, 2s);
        return at < 0 ? 9999.0 : double(at - asked) / 1e6;
    };
    std::vector<double> warm, cold;
    once();   // opens the device
    for (int r = 0; r < warmReps; ++r) {
        std::this_thread::sleep_for(150ms + microseconds(std::rand() % 100000));
        warm.push_back(once());
    }
    for (int r = 0; r < coldReps; ++r) {
        std::this_thread::sleep_for(10s + microseconds(std::rand() % 11000));
        cold.push_back(once());
    }
    std::this_thread::sleep_for(300ms);   // the last blip over: the tone's start is heard as one
    player.play(tone);
    const int ours = monitor.gapsIn(9500ms);
    player.play(blip);   // ends the tone
    std::this_thread::sleep_for(500ms);
    const QByteArray plain = qgetenv("PLAIN_PLAYER");
    std::thread other([&] { std::system((plain + " " + tone).constData()); });
    const int theirs = monitor.gapsIn(9500ms);
    other.join();
    std::printf("%d frames: play -> heard warm median %.1f ms, worst %.1f (%zu); after 10 s silent median "
                "%.1f ms, worst %.1f (%zu); 5 ms breaks in a 9.5 s tone: ours %d, %s %d\n",
                frames, median(warm), quantile(warm, 1), warm.size(), median(cold), quantile(cold, 1),
                cold.size(), ours, plain.constData(), theirs);
    return 0;
}

// The whole program as a user meets it: velmora running without a window on a port file,
// its timing log read as it comes. A press is input 4 closed for 60 ms; "heard" is the
// first loud 5 ms block at the sink after it, less the tick that acted on it.
class Program {
public:
    Program(const QString &folder) : m_folder(folder)
    {
        setPort("0x78");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_LOGGING_RULES", "velmora.timing.debug=true");
        m_process.setProcessEnvironment(env);
        m_process.setProcessChannelMode(QProcess::MergedChannels);
        m_process.setReadChannel(QProcess::StandardOutput);
        m_process.start(folder + "/velmora", {"--no-window", "--port", "file:" + folder + "/port"});
        m_process.waitForStarted();
        std::this_thread::sleep_for(1s);   // connected to the server, sounds loaded
    }
    ~Program()
    {
        m_process.terminate();
        m_process.waitForFinished(5000);
    }
    qint64 pid() const { return m_process.processId(); }
    void setPort(const QByteArray &status)
    {
        QFile f(m_folder + "/port.new");
        if (f.open(QIODevice::WriteOnly) && f.write(status + "\n") > 0) {
            f.close();
            // Replaced in one step: removed first, the port would be missing for a moment, a
            // read then would say so, and the program would look again only 2 s later.
            std::rename(QFile::encodeName(m_folder + "/port.new").constData(),
                        QFile::encodeName(m_folder + "/port").constData());
        }
    }
    // Heard and first frame, both from the tick that acted, and heard from the contact, in ms.
    std::tuple<double, double, double> press(Monitor &monitor)
    {
        const qint64 asked = steadyNowNs();
        setPort("0x68");
        std::this_thread::sleep_for(60ms);
        setPort("0x78");
        const qint64 heard = monitor.heardAfter(asked, 2s);
        std::this_thread::sleep_for(300ms);   // its log lines written
        const qint64 tick = firstAfter("tick ", asked), frame = firstAfter("sound ", asked);
        if (heard < 0 || tick < 0) {
            std::fprintf(stderr, "  a press not measured: %s (%s)\n",
                         heard < 0 ? "nothing heard within 2 s" : "no tick logged",
                         frame >= 0                         ? "its first frame was handed over"
                         : firstAfter("press ", asked) >= 0 ? "pressed, no frame handed over"
                                                            : "no press seen");
            return {-1, -1, -1};
        }
        return {double(heard - tick) / 1e6, frame < 0 ? 9999 : double(frame - tick) / 1e6,
                double(heard - asked) / 1e6};
    }

    // Input 4 held 300-500 ms (at any point of the 200 ms rhythm), then let go: from the
    // release to the first quiet block, in ms (a sound that lasts only while held, looped).
    double release(Monitor &monitor)
    {
        setPort("0x68");
        std::this_thread::sleep_for(300ms + microseconds(std::rand() % 200000));
        const qint64 released = steadyNowNs();
        setPort("0x78");
        const qint64 quiet = monitor.quietAfter(released, 2s);
        return quiet < 0 ? -1 : double(quiet - released) / 1e6;
    }

private:
    qint64 firstAfter(const char *what, qint64 sinceNs)
    {
        m_process.waitForReadyRead(10);
        while (m_process.canReadLine()) {
            const QByteArray line = m_process.readLine();
            const qsizetype at = line.indexOf("velmora.timing: ");
            if (at >= 0)
                m_lines << line.mid(at + 16).trimmed();
        }
        for (const QByteArray &line : std::as_const(m_lines))
            if (line.startsWith(what) && line.mid(qsizetype(std::strlen(what))).toLongLong() >= sinceNs)
                return line.mid(qsizetype(std::strlen(what))).toLongLong();
        return -1;
    }
    QString m_folder;
    QProcess m_process;
    QList<QByteArray> m_lines;
};

// "velmora_bench program FOLDER WARM SILENCE_S:COUNT...": FOLDER holds velmora, a port
// file and CONFIG.TXT with input 4 a short blip and input 3 a long tone. Presses warm and
// after each silence, then input 3 held 6 s (its tone's breaks), then the plain player
// (PLAIN_PLAYER, given the tone) on the same sink.
int program(const QString &folder, int warmReps, const QStringList &silences)
{
    Monitor monitor(folder + "/heard.raw");
    for (int i = 0; i < 100 && !monitor.ok(); ++i)
        std::this_thread::sleep_for(50ms);
    if (!monitor.ok()) {
        std::fprintf(stderr, "no recording from cue.monitor: is the private sound server running?\n");
        return 1;
    }
    Program velmora(folder);
    using Presses = std::vector<std::tuple<double, double, double>>;
    auto report = [](const char *what, const Presses &presses) {
        std::vector<double> heard, frame, contact;
        for (const auto &[h, f, c] : presses) {
            if (h < 0)
                continue;   // said as it happened
            heard.push_back(h);
            frame.push_back(f);
            contact.push_back(c);
        }
        std::printf(
            "  %-24s tick -> heard median %5.1f ms, worst %5.1f; tick -> first frame median %5.1f ms; "
            "press -> heard median %5.1f ms (%zu)\n",
            what, median(heard), quantile(heard, 1), median(frame), median(contact), presses.size());
    };
    Presses warm;
    velmora.press(monitor);   // the first after start-up is not warm
    for (int r = 0; r < warmReps; ++r) {
        std::this_thread::sleep_for(100ms + microseconds(std::rand() % 100000));
        warm.push_back(velmora.press(monitor));
    }
    report("warm", warm);
    for (const QString &silence : silences) {
        const double seconds = silence.section(':', 0, 0).toDouble();
        Presses cold;
        for (int r = 0; r < silence.section(':', 1, 1).toInt(); ++r) {
            std::this_thread::sleep_for(duration<double>(seconds) + microseconds(std::rand() % 11000));
            cold.push_back(velmora.press(monitor));
        }
        report(qPrintable(QString("after %1 s of silence").arg(seconds)), cold);
    }
    if (const int releases = qEnvironmentVariableIntValue("RELEASES"); releases > 0) {
        std::vector<double> silent;
        for (int r = 0; r < releases; ++r) {
            std::this_thread::sleep_for(300ms + microseconds(std::rand() % 200000));
            if (const double ms = velmora.release(monitor); ms >= 0)
                silent.push_back(ms);
        }
        std::printf("  %-24s release -> silent median %5.1f ms, worst %5.1f (%zu of %d)\n", "held 300-500 ms",
                    median(silent), quantile(silent, 1), silent.size(), releases);
    }
    if (qEnvironmentVariableIsSet("PRESSES_ONLY"))
        return 0;
    std::this_thread::sleep_for(500ms);
    velmora.setPort("0x58");   // input 3 held: its tone restarted every tick
    const int ours = monitor.gapsIn(5500ms);
    velmora.setPort("0x68");   // input 4's blip ends the tone, which would play on
    std::this_thread::sleep_for(60ms);
    velmora.setPort("0x78");
    std::this_thread::sleep_for(1500ms);
    const QByteArray plain = qgetenv("PLAIN_PLAYER");
    std::thread other(
        [&] { std::system((plain + " " + QFile::encodeName(folder) + "/tone.wav").constData()); });
    const int theirs = monitor.gapsIn(5500ms);
    other.join();
    std::printf("  held 6 s, 5 ms blocks run dry: velmora %d, %s %d\n", ours, plain.constData(), theirs);
    return 0;
}

int main(int argc, char **argv)
{
    if (argc >= 4 && std::strcmp(argv[1], "program") == 0) {
        QCoreApplication app(argc, argv);
        QStringList silences;
        for (int i = 4; i < argc; ++i)
            silences << QString::fromLocal8Bit(argv[i]);
        return program(QString::fromLocal8Bit(argv[2]), std::atoi(argv[3]), silences);
    }
    if (argc == 5 && std::strcmp(argv[1], "heard") == 0) {
        QCoreApplication app(argc, argv);
        return heard(std::atoi(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]));
    }
    // "velmora_bench wav PATH HZ SECONDS" writes a test tone for the benchmark scripts.
    if (argc == 5 && std::strcmp(argv[1], "wav") == 0) {
        QFile f(QString::fromLocal8Bit(argv[2]));
        const QByteArray bytes = toneWav(std::atof(argv[3]), std::atof(argv[4]));
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size() ? 0 : 1;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    for (int n = 1; n <= 4; ++n) {
        QFile f(dir.filePath(QString("s%1.wav").arg(n)));
        if (!f.open(QIODevice::WriteOnly) || f.write(toneWav(300 + 100 * n, 1.0)) < 0)
            return 1;
    }
    const QByteArray clip = QFile::encodeName(dir.filePath("s1.wav"));
    const int reps = 21;

    // Memory: loading a 200 MB WAV, before anything else has used the allocator.
    const qint64 largeBytes = qint64(200) << 20;
    struct Large {
        const char *what;
        int format;
        int rate, bits;
        double peak = 0;
    };
    Large large[] = {{"16-bit 48 kHz stereo", 1, 48000, 16}, {"float 192 kHz stereo", 3, 192000, 32}};
    for (Large &l : large) {
        const QString path = dir.filePath("large.wav");
        if (!writeLargeWav(path, l.format, l.rate, l.bits, largeBytes))
            return 1;
        // 200 MB of 16-bit 48 kHz stereo is longer than the 5 minutes a clip may last:
        // measured with a limit that admits it, since the memory is the question here.
        ClipLimits limits;
        limits.maxFrames = std::size_t(largeBytes);
        l.peak = loadPeakMiB(path, limits);
        QFile::remove(path);
    }

    // Closing Velmora while a 250 MB file loads: how long the player takes to go.
    std::vector<double> going;
    for (int r = 0; r < 5; ++r) {
        const QString path = dir.filePath("huge.wav");
        if (!writeLargeWav(path, 3, 192000, 32, qint64(250) << 20))
            return 1;
        auto player = std::make_unique<SdlPlayer>();
        player->preload(QFile::encodeName(path));
        std::this_thread::sleep_for(milliseconds(100 + 100 * r));
        const auto t0 = steady_clock::now();
        player.reset();
        going.push_back(duration<double, std::milli>(steady_clock::now() - t0).count());
        QFile::remove(path);
    }

    // Cold: a new player (device closed), the clip preloaded as at start-up, first trigger.
    QLoggingCategory::setFilterRules(QStringLiteral("velmora.timing.debug=true"));
    const QtMessageHandler previousHandler = qInstallMessageHandler(&catchTiming);
    std::vector<double> cold, warm, call;
    for (int r = 0; r < reps; ++r) {
        SdlPlayer player;
        player.preload(clip);
        settle();
        cold.push_back(latencyMs(player, clip));
        for (int k = 0; k < 3; ++k) {
            // A random phase against the device's buffer clock, or every trigger would land at the same point
            // of it.
            std::this_thread::sleep_for(50ms + microseconds(std::rand() % 11000));
            warm.push_back(latencyMs(player, clip));
        }
    }

    qInstallMessageHandler(previousHandler);
    QLoggingCategory::setFilterRules(QString());
    {
        SdlPlayer player;
        player.preload(clip);
        settle();
        for (int r = 0; r < 200; ++r) {
            const auto t0 = steady_clock::now();
            player.play(clip);
            call.push_back(duration<double, std::micro>(steady_clock::now() - t0).count());
            if (r % 20 == 0)
                settle();
        }
    }

    std::vector<double> tick;
    {
        SdlPlayer player;
        AllActivePort port;
        QFile config(dir.filePath("CONFIG.TXT"));
        if (!config.open(QIODevice::WriteOnly))
            return 1;
        config.write("SUONO INGRESSO 1 = s1.wav\r\nSUONO INGRESSO 2 = s2.wav\r\nSUONO INGRESSO 3 = "
                     "s3.wav\r\nSUONO INGRESSO 4 = s4.wav\r\n");
        config.close();
        Core core(port, player, dir.path());
        Form1 window(core);
        settle();
        for (int r = 0; r < 200; ++r) {
            const auto t0 = steady_clock::now();
            window.LeggiIngressi();
            tick.push_back(duration<double, std::micro>(steady_clock::now() - t0).count());
            std::this_thread::sleep_for(2ms);
        }
    }

    std::printf("audio driver: %s\n", qgetenv("SDL_AUDIODRIVER").constData());
    for (const Large &l : large)
        std::printf("loading a 200 MB WAV, %s: peak %.1f MiB above resting, %.2f x the file\n", l.what,
                    l.peak, l.peak / (double(largeBytes) / (1 << 20)));
    std::printf("trigger to first frame, cold (first trigger, device closed): median %.2f ms, max %.2f ms "
                "(%d runs)\n",
                median(cold), quantile(cold, 1), reps);
    std::printf("trigger to first frame, warm:                                median %.2f ms, max %.2f ms "
                "(%zu runs)\n",
                median(warm), quantile(warm, 1), warm.size());
    std::printf("play() call, cached clip:                                    median %.1f us\n",
                median(call));
    std::printf("one tick, four inputs active:                                median %.1f us\n",
                median(tick));
    std::printf(
        "player gone while a 250 MB WAV loads:                        median %.1f ms, max %.1f ms (5 runs)\n",
        median(going), quantile(going, 1));
    return 0;
}
