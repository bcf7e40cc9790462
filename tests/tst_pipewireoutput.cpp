#include "launch.h"
#include "platform/audio/pipewireapi.h"
#include "platform/audio/pipewireoutput.h"
#include "soundserver.h"
#include "wavtools.h"

#include <QElapsedTimer>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QTest>

#include <thread>

using namespace std::chrono_literals;

namespace {

pw_properties *noProperties(const char *, ...) { return nullptr; }

// A PipeWire server as far as one stream sees it: the test runs its graph cycles by hand,
// asking for as many frames as a cycle of its quantum would, and can make it go away.
struct FakeServer {
    static inline FakeServer *current = nullptr;
    int connects = 0;
    bool active = false;
    std::vector<float> room = std::vector<float>(2 * 8192);
    spa_chunk chunk {};
    spa_data data {};
    spa_buffer buffer {};
    pw_buffer handed {};
    const pw_stream_events *streamEvents = nullptr;
    const pw_core_events *coreEvents = nullptr;
    void *streamData = nullptr, *coreData = nullptr;
    spa_interface core {};
    pw_core_methods methods {};

    FakeServer()
    {
        current = this;
        data.data = room.data();
        data.maxsize = uint32_t(room.size() * sizeof(float));
        data.chunk = &chunk;
        buffer.n_datas = 1;
        buffer.datas = &data;
        handed.buffer = &buffer;
        methods.version = PW_VERSION_CORE_METHODS;
        methods.add_listener = [](void *, spa_hook *, const pw_core_events *events, void *data) {
            current->coreEvents = events;
            current->coreData = data;
            return 0;
        };
        core.cb.funcs = &methods;
    }
    // One graph cycle asking for `frames`: the frames it was given.
    std::vector<float> cycle(uint32_t frames)
    {
        handed.requested = frames;
        streamEvents->process(streamData);
        return {room.begin(), room.begin() + chunk.size / sizeof(float)};
    }
    void goAway() { coreEvents->error(coreData, PW_ID_CORE, 0, -EPIPE, "gone"); }

    static PipeWireApi api()
    {
        PipeWireApi pw;
        static int token;
        pw.pw_thread_loop_new = [](const char *, const spa_dict *) {
            return reinterpret_cast<pw_thread_loop *>(&token);
        };
        pw.pw_thread_loop_destroy = [](pw_thread_loop *) {};
        pw.pw_thread_loop_start = [](pw_thread_loop *) { return 0; };
        pw.pw_thread_loop_stop = pw.pw_thread_loop_lock = pw.pw_thread_loop_unlock = [](pw_thread_loop *) {};
        pw.pw_thread_loop_get_loop = [](pw_thread_loop *) { return reinterpret_cast<pw_loop *>(&token); };
        pw.pw_context_new = [](pw_loop *, pw_properties *, size_t) {
            return reinterpret_cast<pw_context *>(&token);
        };
        pw.pw_context_destroy = [](pw_context *) {};
        pw.pw_context_connect = [](pw_context *, pw_properties *, size_t) {
            ++current->connects;
            return reinterpret_cast<pw_core *>(&current->core);
        };
        pw.pw_core_disconnect = [](pw_core *) { return 0; };
        pw.pw_properties_new = &noProperties;
        pw.pw_stream_new = [](pw_core *, const char *, pw_properties *) {
            return reinterpret_cast<pw_stream *>(&token);
        };
        pw.pw_stream_destroy = [](pw_stream *) {};
        pw.pw_stream_add_listener = [](pw_stream *, spa_hook *, const pw_stream_events *events, void *data) {
            current->streamEvents = events;
            current->streamData = data;
        };
        pw.pw_stream_connect = [](pw_stream *, spa_direction, uint32_t, pw_stream_flags, const spa_pod **,
                                  uint32_t) { return 0; };
        pw.pw_stream_dequeue_buffer = [](pw_stream *) { return &current->handed; };
        pw.pw_stream_queue_buffer = [](pw_stream *, pw_buffer *) { return 0; };
        pw.pw_stream_set_active = [](pw_stream *, bool on) {
            current->active = on;
            return 0;
        };
        return pw;
    }
};

std::shared_ptr<const Clip> clip(double hz, double seconds)
{
    const QByteArray bytes = wav::tone(hz, seconds);
    return *decodeWav(bytes.constData(), std::size_t(bytes.size()), {});
}

}   // namespace

class TestPipeWireOutput : public QObject {
    Q_OBJECT
private:
    QTemporaryFile m_socket;   // where the server is said to be

private slots:
    void initTestCase()
    {
        QVERIFY(m_socket.open());
        qputenv("PIPEWIRE_REMOTE", QFile::encodeName(m_socket.fileName()));
    }

    // Each cycle is given exactly what it asks for, whatever the graph's quantum: a clip
    // of 0.1 s sounds for 4800 frames, then silence.
    void fillsWhatEachCycleAsks_data()
    {
        QTest::addColumn<uint32_t>("quantum");
        for (uint32_t q : {256u, 512u, 1024u, 2048u})
            QTest::newRow(qPrintable(QString("quantum %1").arg(q))) << q;
    }
    void fillsWhatEachCycleAsks()
    {
        QFETCH(uint32_t, quantum);
        FakeServer server;
        const PipeWireApi pw = FakeServer::api();
        PipeWireOutput output({3000ms, 500ms, 256, &pw});
        output.start(clip(440, 0.1));
        QVERIFY(server.active);
        std::size_t sounding = 0;
        for (uint32_t done = 0; done < 12288; done += quantum) {
            const std::vector<float> given = server.cycle(quantum);
            QCOMPARE(given.size(), 2 * std::size_t(quantum));
            for (std::size_t f = 0; f < quantum; ++f)
                sounding += std::abs(given[2 * f]) > 0.0001f || std::abs(given[2 * f + 1]) > 0.0001f;
        }
        QVERIFY2(sounding > 4700 && sounding <= 4800,
                 qPrintable(QString("%1 frames sounding").arg(sounding)));
    }

    // Silent for the idle time: inactive, still connected; the next clip makes it active at
    // once. The server gone: connected again once the interval has passed, not before.
    void inactiveWhileSilentAndBackAfterALoss()
    {
        FakeServer server;
        const PipeWireApi pw = FakeServer::api();
        PipeWireOutput output({100ms, 200ms, 256, &pw});
        output.maintain();   // connected ahead of the first sound
        QCOMPARE(server.connects, 1);
        QVERIFY(!server.active);
        output.start(clip(440, 0.01));
        QVERIFY(server.active);
        server.cycle(1024);
        for (int i = 0; i < 15 && server.active; ++i) {
            output.maintain();
            std::this_thread::sleep_for(20ms);
        }
        QVERIFY(!server.active);
        QCOMPARE(server.connects, 1);
        output.start(clip(660, 0.5));
        QVERIFY(server.active);

        server.goAway();
        QElapsedTimer lost;
        lost.start();
        QTRY_VERIFY_WITH_TIMEOUT((output.maintain(), server.connects == 2), 60000);
        QVERIFY2(lost.elapsed() >= 200,
                 qPrintable(QString("connected again after %1 ms").arg(lost.elapsed())));
        output.start(clip(880, 0.5));
        QVERIFY(server.active);
        QVERIFY(std::abs(server.cycle(256)[100]) > 0.0001f);
    }

    // The server answers, but the stream is refused (WirePlumber's "no node available": no
    // output): the connection is kept, not dropped as a lost server; one stream is made
    // again as the interval allows, and plays once it is taken.
    void noOutputIsNotALostServer()
    {
        FakeServer server;
        PipeWireApi pw = FakeServer::api();
        static int streamsMade;
        streamsMade = 0;
        pw.pw_stream_new = [](pw_core *, const char *, pw_properties *) {
            ++streamsMade;
            static int token;
            return reinterpret_cast<pw_stream *>(&token);
        };
        PipeWireOutput output({3000ms, 200ms, 256, &pw});
        output.maintain();
        server.streamEvents->state_changed(server.streamData, PW_STREAM_STATE_CONNECTING,
                                           PW_STREAM_STATE_ERROR, "no node available");
        output.start(clip(440, 0.5));   // no stream now: nothing to play it on
        QVERIFY(!server.active);
        QVERIFY(output.connected());
        QElapsedTimer refused;
        refused.start();
        QTRY_VERIFY_WITH_TIMEOUT((output.maintain(), streamsMade == 2), 60000);
        QVERIFY2(refused.elapsed() >= 200,
                 qPrintable(QString("made again after %1 ms").arg(refused.elapsed())));
        QCOMPARE(server.connects, 1);
        output.start(clip(440, 0.5));
        QVERIFY(server.active);
        QVERIFY(std::abs(server.cycle(256)[100]) > 0.0001f);
    }

    // Closed again and again while the graph plays a held tone, on a real PipeWire server:
    // the stream goes with its listener while the graph's thread may be calling it (run in
    // the sanitizer build, where a call into freed memory is a failure).
    void closesWhileTheGraphPlays()
    {
        if (QStandardPaths::findExecutable("pipewire").isEmpty())
            QSKIP("no PipeWire here: scripts/setup installs it");
        if (!canStartPrograms())
            QSKIP("no program can be started from here to be the sound server");
        SoundServer server(SoundServer::PipeWire);
        QVERIFY2(server.start(), qPrintable(server.failedStep()));
        const QByteArray remote = qgetenv("PIPEWIRE_REMOTE");
        qputenv("PIPEWIRE_REMOTE", QFile::encodeName(server.runtimeDir() + "/pipewire-0"));
        const auto tone = clip(440, 2.0);
        for (int cycle = 0; cycle < 200; ++cycle) {
            PipeWireOutput output;
            output.start(tone);
            std::this_thread::sleep_for(std::chrono::milliseconds(30 + cycle % 20));
        }
        qputenv("PIPEWIRE_REMOTE", remote);
        QTest::qWait(500);   // recorded whole
        const std::vector<float> heard = wav::readCapture(server.capture());
        const auto loud =
            std::count_if(heard.begin(), heard.end(), [](float s) { return std::abs(s) > 0.1f; });
        if (loud <= 48000)   // the closes were not made while it played: nothing was tried
            QSKIP(qPrintable(
                QString("%1 loud samples: this machine gave the server too little time to play").arg(loud)));
    }
};

QTEST_GUILESS_MAIN(TestPipeWireOutput)
#include "tst_pipewireoutput.moc"
