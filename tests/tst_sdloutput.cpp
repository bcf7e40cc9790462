#include "platform/audio/sdlapi.h"
#include "platform/audio/sdloutput.h"
#include "wavtools.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <thread>

using namespace std::chrono_literals;

namespace {

constexpr double kA = 440, kB = 660;

std::shared_ptr<const Clip> clip(double hz, double seconds)
{
    const QByteArray bytes = wav::tone(hz, seconds);
    return *decodeWav(bytes.constData(), std::size_t(bytes.size()), {});
}

// An output writing what it plays to a file through SDL's disk driver.
std::unique_ptr<SdlOutput> diskOutput(const QString &file, SdlOutput::Settings settings = {})
{
    qputenv("SDL_AUDIODRIVER", "disk");
    qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(file));
    return std::make_unique<SdlOutput>(settings);
}

// Keeps the output's upkeep going, as the player's thread does, for a while.
void run(AudioOutput &output, std::chrono::milliseconds time)
{
    for (auto end = std::chrono::steady_clock::now() + time; std::chrono::steady_clock::now() < end;) {
        output.maintain();
        std::this_thread::sleep_for(20ms);
    }
}

// A device that calls back only when the test says so, as SDL's PipeWire backend
// stops calling back, without a word, when the server goes away.
struct SilentDevice {
    static inline SDL_AudioCallback callback = nullptr;
    static inline void *userdata = nullptr;
    static inline int opens = 0, closes = 0;
    static void callBack()
    {
        std::vector<float> buffer(1024);
        callback(userdata, reinterpret_cast<Uint8 *>(buffer.data()), int(buffer.size() * sizeof(float)));
    }
    static SdlApi api()
    {
        SdlApi sdl;
        sdl.SDL_WasInit = [](Uint32) -> Uint32 { return SDL_INIT_AUDIO; };
        sdl.SDL_QuitSubSystem = [](Uint32) {};
        sdl.SDL_GetError = [] { return ""; };
        sdl.SDL_OpenAudioDevice = [](const char *, int, const SDL_AudioSpec *want, SDL_AudioSpec *, int) {
            callback = want->callback;
            userdata = want->userdata;
            return SDL_AudioDeviceID(++opens);
        };
        sdl.SDL_CloseAudioDevice = [](SDL_AudioDeviceID) { ++closes; };
        sdl.SDL_PauseAudioDevice = [](SDL_AudioDeviceID, int) {};
        sdl.SDL_LockAudioDevice = sdl.SDL_UnlockAudioDevice = [](SDL_AudioDeviceID) {};
        sdl.SDL_GetAudioDeviceStatus = [](SDL_AudioDeviceID) { return SDL_AUDIO_PLAYING; };
        return sdl;
    }
};

}   // namespace

class TestSdlOutput : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;

private slots:
    void newClipCutsTheOldOneWithoutOverlap()
    {
        const QString capture = m_dir.filePath("cut.raw");
        auto output = diskOutput(capture);
        // Device buffers holding each tone; the change happens between two buffers: none holds both.
        int aBuffers = 0, bBuffers = 0, both = 0;
        auto count = [&] {
            const auto out = wav::readCapture(capture);
            aBuffers = bBuffers = both = 0;
            for (std::size_t at = 0; at + 512 <= out.size(); at += 512) {
                const bool a = wav::level(out, at, 512, kA) > 0.1, b = wav::level(out, at, 512, kB) > 0.1;
                aBuffers += a, bBuffers += b, both += a && b;
            }
        };
        output->start(clip(kA, 1.0));
        run(*output, 300ms);
        output->start(clip(kB, 0.3));
        // Until the second clip has been played whole: a loaded machine plays no faster.
        QElapsedTimer waited;
        for (waited.start(); bBuffers <= 20 && waited.elapsed() < 60000; count())
            run(*output, 100ms);
        output.reset();
        count();
        QCOMPARE(both, 0);
        QVERIFY(aBuffers > 0);
        QVERIFY(aBuffers < 40);   // cut after about 300 ms, not played its whole second
        QVERIFY(bBuffers > 20);
    }

    // A device that stops asking for audio is lost, though SDL says it plays: it is
    // closed, and the next clip opens it afresh at once. One that has not asked yet is
    // starting (a sink woken from the server's suspend) and is given longer.
    void stalledDeviceIsOpenedAgain_data()
    {
        QTest::addColumn<int>("callsFirst");   // every 20 ms, from the opening
        QTest::addColumn<int>("silentMs");     // then no call for this long
        QTest::addColumn<int>("closes");
        QTest::newRow("calling back: kept") << 10 << 0 << 0;
        QTest::newRow("calls stopped: lost after the stall limit") << 10 << 500 << 1;
        QTest::newRow("slow to start: kept") << 0 << 700 << 0;
        QTest::newRow("slow to start, then calling back: kept") << 1 << 100 << 0;
        QTest::newRow("never started: lost after the start limit") << 0 << 2000 << 1;
    }
    void stalledDeviceIsOpenedAgain()
    {
        QFETCH(int, callsFirst);
        QFETCH(int, silentMs);
        QFETCH(int, closes);
        SilentDevice::opens = SilentDevice::closes = 0;
        const SdlApi sdl = SilentDevice::api();
        SdlOutput::Settings settings;
        // Wide margins: a loaded machine, or an emulated processor, is late by tens of ms.
        settings.stallLimit = 300ms;
        settings.startLimit = 1500ms;
        settings.sdl = &sdl;
        SdlOutput output(settings);
        output.start(clip(kA, 1.0));
        for (int i = 0; i < callsFirst; ++i) {
            SilentDevice::callBack();
            run(output, 20ms);
        }
        run(output, std::chrono::milliseconds(silentMs));
        QCOMPARE(SilentDevice::closes, closes);
        output.start(clip(kB, 1.0));
        QCOMPARE(SilentDevice::opens, 1 + closes);
    }

    // Silence for the idle time closes the device (the disk driver stops writing);
    // the next clip opens it again.
    void closesTheDeviceWhenSilent()
    {
        const QString capture = m_dir.filePath("idle.raw");
        SdlOutput::Settings settings;
        settings.idleClose = 300ms;
        auto output = diskOutput(capture, settings);
        output->start(clip(kA, 0.1));
        run(*output, 800ms);
        const qint64 closedAt = QFileInfo(capture).size();
        run(*output, 300ms);
        QCOMPARE(QFileInfo(capture).size(), closedAt);
        output->start(clip(kB, 0.1));   // the disk driver starts its file afresh
        run(*output, 300ms);
        output.reset();
        const auto out = wav::readCapture(capture);
        QCOMPARE(wav::dominant(out, wav::onsets(out).value(0) + 500, {kA, kB}), kB);
    }
};

QTEST_GUILESS_MAIN(TestSdlOutput)
#include "tst_sdloutput.moc"
