#include "platform/audio/sdlplayer.h"
#include "steps.h"
#include "wavtools.h"

#include <QTemporaryDir>
#include <QTest>

#include <QElapsedTimer>

#include <atomic>
#include <mutex>
#include <thread>

namespace {

constexpr double kA = 440, kB = 660;

// Records what the player starts, by the clip's length in frames (0: silence), and the
// files it has taken in from the store.
class FakeOutput : public AudioOutput {
public:
    struct Log {
        std::mutex mutex;
        QList<qsizetype> started;
        int tookIn = 0;
        QList<qsizetype> startedNow()
        {
            std::lock_guard lock(mutex);
            return started;
        }
        int tookInNow()
        {
            std::lock_guard lock(mutex);
            return tookIn;
        }
    };
    explicit FakeOutput(std::shared_ptr<Log> log) : m_log(std::move(log)) {}
    void play(Mixer::Start start) override
    {
        std::lock_guard lock(m_log->mutex);
        m_log->started.append(start.clip ? qsizetype(start.clip->frames()) : 0);
    }
    void stop(int, uint32_t) override {}
    void maintain() override {}

private:
    std::shared_ptr<Log> m_log;
};

constexpr qsizetype kChimeFrames = 43200;   // 0.9 s at 48 kHz

}   // namespace

class TestSdlPlayer : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QByteArray file(const QString &name) const { return QFile::encodeName(m_dir.filePath(name)); }

private slots:
    void initTestCase()
    {
        QVERIFY(wav::writeFile(m_dir.filePath("a.wav"), wav::tone(kA, 1.0)));   // 48000 frames
        QVERIFY(wav::writeFile(m_dir.filePath("b.wav"), wav::tone(kB, 0.5)));   // 24000 frames
    }

    // What the output is asked to play for a sequence of requests.
    void requests_data()
    {
        QTest::addColumn<QString>(
            "script");   // steps.h: preload FILE, play FILE, wait (for the preloads), started N (sounds)
        QTest::addColumn<QList<qsizetype>>("started");
        QTest::newRow("preloaded: starts at once")
            << "preload a.wav; wait; play a.wav" << QList<qsizetype> {48000};
        QTest::newRow("not loaded: silence, then the clip") << "play b.wav" << QList<qsizetype> {0, 24000};
        QTest::newRow("missing file: the chime") << "play nope.wav" << QList<qsizetype> {kChimeFrames};
        QTest::newRow("each request replaces the last")
            << "preload a.wav; preload b.wav; wait; play a.wav; started 1; play b.wav"
            << QList<qsizetype> {48000, 24000};
    }
    void requests()
    {
        QFETCH(QString, script);
        QFETCH(QList<qsizetype>, started);
        auto log = std::make_shared<FakeOutput::Log>();
        SdlPlayer::Settings settings;
        settings.tookIn = [log](const QList<QByteArray> &files) {
            std::lock_guard lock(log->mutex);
            log->tookIn += int(files.size());
        };
        SdlPlayer player(settings, std::make_unique<FakeOutput>(log));
        int preloads = 0;
        for (const Step &step : steps(script)) {
            if (step.verb == "wait")
                QTRY_VERIFY_WITH_TIMEOUT(log->tookInNow() >= preloads, 60000);
            else if (step.verb == "started")
                QTRY_VERIFY_WITH_TIMEOUT(log->startedNow().size() >= step.word(0).toInt(), 60000);
            else if (step.verb == "preload")
                player.preload(file(step.word(0))), ++preloads;
            else
                player.play(file(step.word(0)));
        }
        QTRY_COMPARE_WITH_TIMEOUT(log->startedNow(), started, 60000);
    }

    // Sounding ends with its own stop: a loop stopped alone (a hold released) is not said to
    // play on while another sound that mixed with it ends by itself.
    void soundingEndsWithItsStop()
    {
        SdlPlayer player({}, std::make_unique<FakeOutput>(std::make_shared<FakeOutput::Log>()));
        player.start({file("a.wav"), 3, 100, true, false});
        QTRY_VERIFY_WITH_TIMEOUT(player.sounding(), 60000);
        player.start({file("b.wav"), 4, 100, false, false});
        player.stop(3);
        QTRY_VERIFY_WITH_TIMEOUT(!player.sounding(), 60000);   // b.wav's 0.5 s over
    }

    // A sound device whose open never returns (SDL's PipeWire backend with no output) must
    // not keep Velmora from ending: the player gives up waiting for it (after 0.6 s) and goes.
    // The limit here is wide, for a loaded machine: the fault is waiting for ever.
    void endsWhileTheDeviceHangs()
    {
        struct Hanging : AudioOutput {
            std::atomic<bool> *entered;
            explicit Hanging(std::atomic<bool> *e) : entered(e) {}
            void play(Mixer::Start) override
            {
                *entered = true;
                for (;;)
                    std::this_thread::sleep_for(std::chrono::hours(1));
            }
            void stop(int, uint32_t) override {}
            void maintain() override {}
        };
        static std::atomic<bool> entered = false;
        QElapsedTimer ending;
        {
            SdlPlayer player({}, std::make_unique<Hanging>(&entered));
            player.play(file("nope.wav"));
            QTRY_VERIFY(entered);
            ending.start();
        }
        QVERIFY2(ending.elapsed() < 10000, qPrintable(QString("%1 ms").arg(ending.elapsed())));
    }
};

QTEST_GUILESS_MAIN(TestSdlPlayer)
#include "tst_sdlplayer.moc"
