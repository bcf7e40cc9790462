#include "platform/audio/mixer.h"

#include <QTest>

#include <cmath>

namespace {
std::shared_ptr<const Clip> clipOf(std::vector<qint16> samples, int channels = 1)
{
    auto clip = std::make_shared<Clip>();
    clip->samples = Samples(std::move(samples));
    clip->channels = channels;
    return clip;
}
std::shared_ptr<const Clip> steady(qint16 value, std::size_t frames)
{
    return clipOf(std::vector<qint16>(frames, value));
}
// `frames` frames of the mix's left channel, filled in pieces of `piece`.
std::vector<float> play(Mixer &mixer, std::size_t frames, std::size_t piece = 512)
{
    std::vector<float> left;
    std::vector<float> buffer(2 * piece);
    while (left.size() < frames) {
        const auto n = uint32_t(std::min(piece, frames - left.size()));
        mixer.fill(buffer.data(), n);
        for (uint32_t i = 0; i < n; ++i)
            left.push_back(buffer[2 * i]);
    }
    return left;
}
constexpr float kFull = 32768.0f;
}   // namespace

class TestMixer : public QObject {
    Q_OBJECT
private slots:
    // One sound that replaces, as Velmora has always played: the very samples a plain copy gives.
    void replaceIsAsBefore()
    {
        std::vector<qint16> samples(3000);
        for (std::size_t i = 0; i < samples.size(); ++i)
            samples[i] = qint16(std::lround(32767 * std::sin(double(i) / 7)));
        const auto clip = clipOf(samples);
        Mixer mixer;
        mixer.start({1, clip, 1.0f, false, true});
        const std::vector<float> heard = play(mixer, 4000, 333);
        std::vector<float> copied(2 * 4000);
        copyFrames(*clip, 0, copied.data(), 4000);
        for (std::size_t i = 0; i < heard.size(); ++i)
            QCOMPARE(heard[i], copied[2 * i]);
    }

    // Two sounds mixed, each at its volume; a third that replaces cuts them both.
    void mixAndReplace()
    {
        Mixer mixer;
        mixer.start({1, steady(8000, 48000), 1.0f, false, true});
        mixer.start({2, steady(8000, 48000), 0.25f, false, false});
        QCOMPARE(play(mixer, 10).back(), (8000 + 2000) / kFull);
        mixer.start({3, steady(100, 48000), 1.0f, false, true});
        QCOMPARE(play(mixer, 10).back(), 100 / kFull);
    }

    // A loop's last frame is followed by its first, whatever the buffers' sizes.
    void loopHasNoGap()
    {
        std::vector<qint16> ramp(100);
        for (int i = 0; i < 100; ++i)
            ramp[std::size_t(i)] = qint16(i * 100);
        Mixer mixer;
        mixer.start({4, clipOf(ramp), 1.0f, true, true});
        const std::vector<float> heard = play(mixer, 1000, 37);
        for (std::size_t i = 0; i < heard.size(); ++i)
            QCOMPARE(heard[i], float((i % 100) * 100) / kFull);
    }

    // A fade goes down in a straight line over its frames, then silence; a stop without one cuts.
    void fadeAndStop()
    {
        Mixer mixer;
        mixer.start({1, steady(16384, 48000), 1.0f, false, true});
        (void)play(mixer, 10);
        mixer.stop(1, 100);
        const std::vector<float> heard = play(mixer, 150);
        for (std::size_t i = 0; i < 100; ++i)
            QVERIFY(std::fabs(heard[i] - 0.5f * float(100 - i) / 100.0f) < 1e-6f);
        for (std::size_t i = 100; i < heard.size(); ++i)
            QCOMPARE(heard[i], 0.0f);
        // A shorter fade asked during one goes on down from where it was, never back up.
        mixer.start({3, steady(16384, 48000), 1.0f, false, true});
        mixer.stop(3, 1000);
        const float halfway = play(mixer, 500).back();
        mixer.stop(3, 100);
        const std::vector<float> sooner = play(mixer, 110);
        QVERIFY(sooner.front() <= halfway && sooner[99] < 0.01f && sooner[100] == 0.0f);
        mixer.start({2, steady(16384, 48000), 1.0f, false, true});
        (void)play(mixer, 10);
        mixer.stop(2);
        QCOMPARE(play(mixer, 10).front(), 0.0f);
        QVERIFY(!mixer.busy());
    }

    // Four loud sounds at once never pass full scale.
    void fourLoudNeverClip()
    {
        Mixer mixer;
        for (int n = 1; n <= 4; ++n)
            mixer.start({n, steady(n % 2 ? 32767 : 30000, 24000), 1.0f, false, false});
        const std::vector<float> heard = play(mixer, 24000);
        QVERIFY(*std::max_element(heard.begin(), heard.end()) <= 1.0f);
        QVERIFY(heard.front() > 0.99f);   // turned down to fit, not to nothing
    }

    // With every voice playing, the oldest gives way to a new one.
    void oldestGivesWay()
    {
        Mixer mixer;
        for (int n = 0; n <= Mixer::kVoices; ++n)   // one more than there are voices
            mixer.start({n % 4 + 1, steady(qint16(1 << n), 48000), 1.0f, false, false});
        const float sum = play(mixer, 10).back() * kFull;
        QCOMPARE(sum, float((1 << (Mixer::kVoices + 1)) - 2));   // all but the first
    }

    // What the audio thread is done with is freed by collect(), on the player's thread.
    void clipsFreedOnThePlayersThread()
    {
        Mixer mixer;
        auto clip = steady(1000, 100);
        const std::weak_ptr<const Clip> watched = clip;
        mixer.start({1, std::move(clip), 1.0f, false, true});
        (void)play(mixer, 200);
        (void)play(mixer, 10);   // handed back
        QVERIFY(!watched.expired());
        mixer.collect();
        QVERIFY(watched.expired());
    }
};

QTEST_APPLESS_MAIN(TestMixer)
#include "tst_mixer.moc"
