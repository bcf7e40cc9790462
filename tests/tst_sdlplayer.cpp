#include "platform/sdlplayer.h"
#include "wavtools.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <thread>

using namespace std::chrono_literals;

namespace {

constexpr double kA = 440, kB = 660;

// A player writing what it plays to a file through SDL's disk driver.
struct Capture {
    explicit Capture(const QString &file, SdlPlayer::Settings settings = {}) : path(file)
    {
        qputenv("SDL_AUDIODRIVER", "disk");
        qputenv("SDL_DISKAUDIOFILE", QFile::encodeName(file));
        player = std::make_unique<SdlPlayer>(settings);
    }
    void waitIdle()
    {
        QElapsedTimer t;
        t.start();
        while (!player->idle() && t.elapsed() < 5000)
            std::this_thread::sleep_for(5ms);
        QVERIFY2(player->idle(), "the player did not finish its work");
    }
    // Stops the player (closing the file) and returns the left channel of what it played.
    std::vector<float> finish()
    {
        player.reset();
        return wav::readCapture(path);
    }
    QString path;
    std::unique_ptr<SdlPlayer> player;
};

} // namespace

class TestSdlPlayer : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QByteArray file(const QString &name) const { return QFile::encodeName(m_dir.filePath(name)); }

private slots:
    void initTestCase()
    {
        QVERIFY(wav::writeFile(m_dir.filePath("a.wav"), wav::tone(kA, 1.0)));
        QVERIFY(wav::writeFile(m_dir.filePath("b.wav"), wav::tone(kB, 0.3)));
    }

    void newRequestCutsTheOldOneWithoutOverlap()
    {
        Capture capture(m_dir.filePath("cut.raw"));
        capture.player->preload(file("b.wav"));
        capture.player->play(file("a.wav"), 1);
        std::this_thread::sleep_for(300ms);
        capture.player->play(file("b.wav"), 2);
        std::this_thread::sleep_for(500ms);
        const auto out = capture.finish();
        const auto [first, last] = wav::soundRange(out);
        // The change happens between two device buffers: no buffer holds both tones.
        int aBuffers = 0, bBuffers = 0;
        for (std::size_t at = 0; at + 512 <= out.size(); at += 512) {
            const bool a = wav::level(out, at, 512, kA) > 0.1;
            const bool b = wav::level(out, at, 512, kB) > 0.1;
            QVERIFY2(!(a && b), qPrintable(QString("both tones at sample %1").arg(at)));
            aBuffers += a;
            bBuffers += b;
            if (b)
                QCOMPARE(wav::level(out, at, 512, kA) < 0.02, true);
        }
        QVERIFY(aBuffers > 10);   // about 300 ms of the first clip
        QVERIFY(aBuffers < 40);   // but not its whole second
        QVERIFY(bBuffers > 20);
        QVERIFY(last > first);
    }

    void unplayableFilesPlayTheChime_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("missing file") << "nope.wav";
        QTest::newRow("empty slot: the folder itself") << "";
        QTest::newRow("a folder") << "folder.wav";
        QTest::newRow("a FIFO named x.wav") << "x.wav";
        QTest::newRow("truncated WAV") << "truncated.wav";
        QTest::newRow("garbage") << "garbage.wav";
        QTest::newRow("empty file") << "empty.wav";
    }
    void unplayableFilesPlayTheChime()
    {
        QFETCH(QString, name);
        QDir(m_dir.path()).mkpath("folder.wav");
        if (!QFile::exists(m_dir.filePath("x.wav")))
            QCOMPARE(::mkfifo(file("x.wav").constData(), 0600), 0);
        QVERIFY(wav::writeFile(m_dir.filePath("truncated.wav"), wav::tone(kA, 0.5).left(30)));
        QVERIFY(wav::writeFile(m_dir.filePath("garbage.wav"), QByteArray(5000, '\x5a')));
        QVERIFY(wav::writeFile(m_dir.filePath("empty.wav"), QByteArray()));

        Capture capture(m_dir.filePath("chime.raw"));
        QElapsedTimer timer;
        timer.start();
        capture.player->play(QFile::encodeName(m_dir.path()) + "/" + QFile::encodeName(name), 3);
        QVERIFY(timer.elapsed() < 50);
        capture.waitIdle();
        std::this_thread::sleep_for(300ms);
        const auto out = capture.finish();
        const auto [first, last] = wav::soundRange(out);
        QVERIFY2(last > first, "nothing was played");
        QCOMPARE(wav::dominant(out, first + 480, {kA, kB, kChimeFirstHz}), kChimeFirstHz);
    }

    void everyEncodingAtTheRightPitchAndLength_data()
    {
        QTest::addColumn<int>("encoding");
        QTest::addColumn<int>("rate");
        QTest::addColumn<int>("channels");
        using E = wav::Encoding;
        QTest::newRow("8-bit 22.05 kHz mono") << int(E::U8) << 22050 << 1;
        QTest::newRow("16-bit 44.1 kHz stereo") << int(E::S16) << 44100 << 2;
        QTest::newRow("16-bit 48 kHz mono") << int(E::S16) << 48000 << 1;
        QTest::newRow("24-bit 48 kHz stereo") << int(E::S24) << 48000 << 2;
        QTest::newRow("32-bit 44.1 kHz mono") << int(E::S32) << 44100 << 1;
        QTest::newRow("float 22.05 kHz stereo") << int(E::F32) << 22050 << 2;
    }
    void everyEncodingAtTheRightPitchAndLength()
    {
        QFETCH(int, encoding);
        QFETCH(int, rate);
        QFETCH(int, channels);
        const QString name = QString("enc-%1-%2-%3.wav").arg(encoding).arg(rate).arg(channels);
        QVERIFY(wav::writeFile(m_dir.filePath(name), wav::make(wav::Encoding(encoding), rate, channels, kA, 0.25)));
        Capture capture(m_dir.filePath("enc.raw"));
        capture.player->play(file(name), 1);
        capture.waitIdle();
        std::this_thread::sleep_for(400ms);
        const auto out = capture.finish();
        const auto [first, last] = wav::soundRange(out, 0.05f);
        QCOMPARE(wav::dominant(out, first + 1000, {kA * 0.9, kA, kA * 1.1, kA * 0.5, kA * 2}), kA);
        QVERIFY2(std::abs(double(last - first) - 0.25 * 48000) < 480,
                 qPrintable(QString("played %1 samples").arg(last - first)));
    }

    void changedFileIsLoadedAgain()
    {
        const QString path = m_dir.filePath("changing.wav");
        QVERIFY(wav::writeFile(path, wav::tone(kA, 0.2)));
        Capture capture(m_dir.filePath("changed.raw"));
        capture.player->play(QFile::encodeName(path), 1);
        capture.waitIdle();
        std::this_thread::sleep_for(400ms);
        QVERIFY(wav::writeFile(path, wav::tone(kB, 0.2)));   // same size: the time tells them apart
        QFile(path).setFileTime(QDateTime::currentDateTime().addSecs(5), QFileDevice::FileModificationTime);
        capture.player->play(QFile::encodeName(path), 1);
        capture.waitIdle();
        std::this_thread::sleep_for(400ms);
        const auto out = capture.finish();
        const auto [first, last] = wav::soundRange(out);
        QCOMPARE(wav::dominant(out, first + 1000, {kA, kB}), kA);
        QCOMPARE(wav::dominant(out, last - 3000, {kA, kB}), kB);
    }

    void noDeviceThenOneAppears()
    {
        // The disk driver cannot open a file in a folder that does not exist yet.
        const QString folder = m_dir.filePath("later");
        SdlPlayer::Settings settings;
        settings.reopenInterval = 200ms;
        Capture capture(folder + "/out.raw", settings);
        capture.player->play(file("b.wav"), 1);
        capture.waitIdle();
        QVERIFY(!capture.player->deviceOpen());
        QVERIFY(QDir().mkpath(folder));
        std::this_thread::sleep_for(250ms);
        capture.player->play(file("b.wav"), 1);
        capture.waitIdle();
        QVERIFY(capture.player->deviceOpen());
        std::this_thread::sleep_for(400ms);
        const auto out = capture.finish();
        const auto [first, last] = wav::soundRange(out);
        QCOMPARE(wav::dominant(out, first + 1000, {kA, kB, kChimeFirstHz}), kB);
    }

    void closesTheDeviceWhenSilent()
    {
        SdlPlayer::Settings settings;
        settings.idleClose = 300ms;
        Capture capture(m_dir.filePath("idle.raw"), settings);
        capture.player->play(file("b.wav"), 1);
        capture.waitIdle();
        QVERIFY(capture.player->deviceOpen());
        QTRY_VERIFY_WITH_TIMEOUT(!capture.player->deviceOpen(), 3000);
        capture.player->play(file("b.wav"), 1);   // and opens it again when asked
        capture.waitIdle();
        QVERIFY(capture.player->deviceOpen());
    }

    // Closing Velmora while a very large file loads: the player goes at once, not when
    // the file is decoded.
    void goesAtOnceWhileAHugeFileLoads()
    {
        QVERIFY(wav::writeHugeWav(m_dir.filePath("huge.wav"), qint64(250) << 20));
        Capture capture(m_dir.filePath("huge.raw"));
        capture.player->preload(file("huge.wav"));
        std::this_thread::sleep_for(150ms);
        QVERIFY(!capture.player->idle());   // still loading
        QElapsedTimer clock;
        clock.start();
        capture.player.reset();
        QVERIFY2(clock.elapsed() < 500, qPrintable(QString("the player took %1 ms to go").arg(clock.elapsed())));
    }
};

QTEST_GUILESS_MAIN(TestSdlPlayer)
#include "tst_sdlplayer.moc"
