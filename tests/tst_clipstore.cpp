#include "launch.h"
#include "platform/audio/clipstore.h"
#include "wavtools.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QtEndian>

#include <optional>
#include <thread>

#include <sys/stat.h>

namespace {

constexpr double kA = 440, kB = 660;

// The left channel of a clip, as the device would get it.
std::vector<float> leftOf(const Clip &clip)
{
    std::vector<float> left(clip.frames());
    for (std::size_t i = 0; i < left.size(); ++i)
        left[i] = float(clip.samples.data()[i * std::size_t(clip.channels)]) / 32768.0f;
    return left;
}

// Asks until the store has an answer that is not "loading".
ClipStore::Found settle(ClipStore &store, const QByteArray &path)
{
    QElapsedTimer waited;
    waited.start();
    ClipStore::Found found = store.find(path);
    while (found && !*found && waited.elapsed() < 60000) {
        QTest::qWait(5);
        store.collect();
        found = store.find(path);
    }
    return found;
}

}   // namespace

class TestClipStore : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_dir;
    QByteArray file(const QString &name) const { return QFile::encodeName(m_dir.filePath(name)); }

private slots:
    // A real recording (one of Debian's sound-icons) re-encoded by sox: what is played
    // has the length and the waveform (so the pitch) of sox's own decoding of that file.
    void realFilesAsSoxDecodesThem_data()
    {
        QTest::addColumn<QStringList>("encoding");   // sox's output options
        QTest::newRow("A-law") << QStringList {"-e", "a-law"};
        QTest::newRow("mu-law") << QStringList {"-e", "mu-law"};
        QTest::newRow("IMA ADPCM") << QStringList {"-e", "ima-adpcm"};
        QTest::newRow("24-bit") << QStringList {"-b", "24"};
        QTest::newRow("32-bit") << QStringList {"-b", "32", "-e", "signed-integer"};
        QTest::newRow("16-bit stereo 44.1 kHz") << QStringList {"-c", "2", "-r", "44100"};
        QTest::newRow("8-bit 22.05 kHz") << QStringList {"-b", "8", "-e", "unsigned-integer", "-r", "22050"};
        QTest::newRow("float stereo 22.05 kHz")
            << QStringList {"-b", "32", "-e", "floating-point", "-c", "2", "-r", "22050"};
    }
    void realFilesAsSoxDecodesThem()
    {
        QFETCH(QStringList, encoding);
        const QString recording = "/usr/share/sounds/sound-icons/guitar-12.wav";
        if (QStandardPaths::findExecutable("sox").isEmpty() || !QFile::exists(recording))
            QSKIP("needs sox and sound-icons: scripts/setup installs them");
        if (!canStartPrograms())
            QSKIP("no program can be started from here to run sox");
        const QString name = m_dir.filePath(QTest::currentDataTag() + QString(".wav"));
        const QString reference = name + ".raw";
        QCOMPARE(QProcess::execute("sox", QStringList {recording} + encoding + QStringList {name}), 0);
        QCOMPARE(QProcess::execute("sox", {name, "-t", "raw", "-e", "signed", "-b", "16", "-c", "1", "-r",
                                           "48000", reference, "remix", "1"}),
                 0);
        const QByteArray raw = wav::readFile(reference);
        std::vector<float> expected(std::size_t(raw.size()) / 2);
        for (std::size_t i = 0; i < expected.size(); ++i)
            expected[i] = float(qFromLittleEndian<qint16>(raw.constData() + 2 * i)) / 32768.0f;

        ClipStore store({}, [] {});
        const ClipStore::Found found = settle(store, QFile::encodeName(name));
        QVERIFY2(found && *found, qPrintable(found.error()));
        const std::vector<float> played = leftOf(**found);
        QVERIFY2(std::abs(double(played.size()) - double(expected.size())) <= 96,   // 2 ms
                 qPrintable(QString("%1 frames, sox: %2").arg(played.size()).arg(expected.size())));
        double best = 0;   // the resamplers' delays differ by a few frames
        for (int lag = -64; lag <= 64; ++lag) {
            double both = 0, ours = 0, theirs = 0;
            for (std::size_t i = 64; i + 64 < std::min(played.size(), expected.size()); ++i) {
                const double a = played[i], b = expected[std::size_t(qsizetype(i) + lag)];
                both += a * b, ours += a * a, theirs += b * b;
            }
            best = std::max(best, both / std::sqrt(ours * theirs + 1e-12));
        }
        QVERIFY2(best > 0.95, qPrintable(QString("correlation with sox's decoding %1").arg(best)));
    }

    void unplayableFilesSayWhy_data()
    {
        QTest::addColumn<QStringList>("nameAndWhy");
        QTest::newRow("missing file") << QStringList {"nope.wav", "non esiste"};
        QTest::newRow("a FIFO named x.wav, never opened") << QStringList {"x.wav", "non è un file normale"};
        QTest::newRow("truncated WAV") << QStringList {"truncated.wav", "WAV"};
        QTest::newRow("garbage") << QStringList {"garbage.wav", "WAV"};
    }
    void unplayableFilesSayWhy()
    {
        QFETCH(QStringList, nameAndWhy);
        const QString name = nameAndWhy[0], why = nameAndWhy[1];
        if (!QFile::exists(m_dir.filePath("x.wav")))
            QCOMPARE(::mkfifo(file("x.wav").constData(), 0600), 0);
        QVERIFY(wav::writeFile(m_dir.filePath("truncated.wav"), wav::tone(kA, 0.5).left(30)));
        QVERIFY(wav::writeFile(m_dir.filePath("garbage.wav"), QByteArray(5000, '\x5a')));
        ClipStore store({}, [] {});
        const ClipStore::Found found =
            settle(store, QFile::encodeName(m_dir.path()) + "/" + QFile::encodeName(name));
        QVERIFY(!found);
        QVERIFY2(found.error().contains(why), qPrintable(found.error()));
    }

    void changedFileIsLoadedAgain()
    {
        const QString path = m_dir.filePath("changing.wav");
        QVERIFY(wav::writeFile(path, wav::tone(kA, 0.2)));
        ClipStore store({}, [] {});
        const auto first = *settle(store, QFile::encodeName(path));
        QVERIFY(wav::writeFile(path, wav::tone(kB, 0.2)));   // same size: the time tells them apart
        QFile(path).setFileTime(QDateTime::currentDateTime().addSecs(5), QFileDevice::FileModificationTime);
        QCOMPARE(store.find(QFile::encodeName(path)), ClipStore::Found(nullptr));   // being decoded
        const auto second = *settle(store, QFile::encodeName(path));
        QCOMPARE(wav::dominant(leftOf(*first), 2000, {kA, kB}), kA);
        QCOMPARE(wav::dominant(leftOf(*second), 2000, {kA, kB}), kB);
    }

    // What keeps the program's exit quick while a huge file loads: reading stops at the
    // next piece once asked to, in the middle of the samples. The file is sparse: 255 MB
    // of samples (over the length limit, were it read to the end) that take no disk.
    void readingStopsWhenCancelledMidRead()
    {
        const QString path = m_dir.filePath("huge.wav");
        constexpr qint64 kData = qint64(255) << 20;
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write(wav::header(1, 2, 48000, 16, kData)) > 0 &&
                f.resize(44 + kData));
        f.close();
        std::atomic<bool> cancel {false};
        std::optional<Decoded> result;
        std::thread reader([&] { result = readWavFile(QFile::encodeName(path), {}, &cancel); });
        // Past the header and the first piece of samples: then cancelled.
        QElapsedTimer waited;
        waited.start();
        while (!cancel && waited.elapsed() < 60000)
            for (const QFileInfo &fd : QDir("/proc/self/fdinfo").entryInfoList(QDir::Files))
                if (QFile::symLinkTarget("/proc/self/fd/" + fd.fileName()) == path &&
                    wav::readFile(fd.filePath()).split('\n').value(0).mid(4).trimmed().toLongLong() >
                        (2 << 20))
                    cancel = true;
        reader.join();
        QVERIFY(cancel);
        QCOMPARE(result->error(), QString("caricamento interrotto"));
    }
};

QTEST_GUILESS_MAIN(TestClipStore)
#include "tst_clipstore.moc"
