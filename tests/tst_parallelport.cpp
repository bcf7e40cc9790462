#include "fakes.h"
#include "inputs/sourcechoice.h"
#include "inputs/sources/fileport.h"
#include "inputs/sources/parallelport.h"
#include "steps.h"
#include "wavtools.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QSemaphore>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <cerrno>
#include <sys/stat.h>

namespace {

// A kernel as the parallel-port backends see it: parport sysctl entries, device nodes
// that open or fail with an errno, a claim that may be held up, direct I/O for root.
class FakeKernel : public PortSystem {
public:
    QHash<QString, QByteArray> files;   // /proc and /sys
    QHash<QByteArray, int>
        devices;   // node -> errno on open (0: it opens; ENOTTY: another kind of node); absent: ENOENT
    QList<QByteArray> opened;
    QSemaphore claimGate {1000};   // a claim takes one; hold them all to make it wait
    quint8 status = 0x78;
    int statusErrno = 0;
    bool root = false;
    quint8 ioStatus = 0x58;
    std::atomic<int> claimed {0};   // claims not released yet
    std::atomic<int> claimAttempts {0};

    int checkNode(const QByteArray &path) override
    {
        const int err = devices.value(path, ENOENT);
        return err == ENOENT || err == ENOTTY ? -err : 0;
    }
    int openDevice(const QByteArray &path) override
    {
        opened << path;
        const int err = devices.value(path, ENOENT);
        return err ? -err : 3;
    }
    int claim(int) override
    {
        ++claimAttempts;
        claimGate.acquire();
        claimGate.release();
        ++claimed;
        return 0;
    }
    int readStatus(int, quint8 *s) override
    {
        *s = status;
        return -statusErrno;
    }
    void release(int) override { --claimed; }
    void closeDevice(int) override {}
    int ioRefused = 0;   // errno refusing direct I/O even to root
    int permitIo() override { return !ioInstructions ? -ENOSYS : root ? -ioRefused : -EPERM; }
    bool ioInstructions = true;
    bool hasIoInstructions() override { return ioInstructions; }
    bool privileged() override { return root; }
    quint8 inStatus() override { return ioStatus; }
    QByteArray readSmallFile(const QString &path) override { return files.value(path); }
    QStringList folder;   // what /proc/sys/dev/parport lists
    QStringList listFolder(const QString &) override { return folder; }

    void parport(int n, const QByteArray &baseAddr)
    {
        folder << QString("parport%1").arg(n);
        files.insert(QString("/proc/sys/dev/parport/parport%1/base-addr").arg(n), baseAddr);
    }
};

struct PortCase {
    QString spec {};
    QString kernel {};
    QString inputs {};   // as fakes.h writes a reading; "refused": at start
    QString says {};
};

// Kernels outlive the claim threads that may still be using them when a test ends.
FakeKernel &newKernel()
{
    static std::list<FakeKernel> kernels;
    return kernels.emplace_back();
}

}   // namespace

Q_DECLARE_METATYPE(PortCase)

class TestParallelPort : public QObject {
    Q_OBJECT
private slots:
    // What each spec reads, or says, on kernels set up as users meet them. The kernel's
    // steps: parport N BASE-ADDR..., device N ERRNO-ON-OPEN (25: another kind of node),
    // root, io ERRNO-FOR-ROOT, arm (no I/O instructions), ioports, unplugged, held; after "later", what
    // changes once Velmora has started. The fake ppdev port reads 0x78 (nothing active), the
    // fake direct I/O 0x58 (input 3 active: Paper-out low).
    void choosesAndExplains_data()
    {
        QTest::addColumn<PortCase>("c");
        QTest::newRow("auto: ppdev port at 888, ECP form")
            << PortCase {"auto", "parport 0 888 1912; device 0 0", "0000"};
        QTest::newRow("auto: the one at 888, not the first")
            << PortCase {"auto", "parport 0 632 0; parport 1 888 0; device 0 0; device 1 0; root", "0000"};
        QTest::newRow("auto: no parport module, root: I/O if shown")
            << PortCase {"auto", "ioports; root", "0010"};
        QTest::newRow("auto: nothing at all") << PortCase {"auto", "root", "x", "parport_pc"};
        QTest::newRow("device: missing") << PortCase {"/dev/parport3", "", "x", "non esiste"};
        QTest::newRow("device: ENXIO") << PortCase {"/dev/parport0", "device 0 6", "x", "modprobe ppdev"};
        QTest::newRow("device: unplugged while open")
            << PortCase {"/dev/parport0", "device 0 0; unplugged", "x", "non esiste"};
        QTest::newRow("device: held by another driver, not claimed")
            << PortCase {"/dev/parport0", "device 0 0; held", "x", "occupata"};
        QTest::newRow("device: another kind of node, refused at start")
            << PortCase {"/dev/parport0", "device 0 25", "refused", "non è una porta parallela"};
        QTest::newRow("device: another kind appears later, not opened")
            << PortCase {"/dev/parport0", "later; device 0 25", "x", "non è una porta parallela"};
        QTest::newRow("io: user") << PortCase {"io", "ioports", "x", "serve root"};
        QTest::newRow("io: root, kernel locked down") << PortCase {"io", "root; io 1", "x", "anche a root"};
        QTest::newRow("io: an ARM board, no I/O instructions: refused at start")
            << PortCase {"io", "root; arm", "refused", "solo sui PC con processore x86"};
        QTest::newRow("io: a PC whose kernel has no ioperm")
            << PortCase {"io", "root; io 38", "x", "non disponibile su questo sistema"};
    }
    void choosesAndExplains()
    {
        QFETCH(PortCase, c);
        FakeKernel &k = newKernel();
        const QList<Step> all = steps(c.kernel);
        const auto later =
            std::find_if(all.begin(), all.end(), [](const Step &s) { return s.verb == "later"; });
        auto setUp = [&k](const Step &step) {
            const QString n = step.word(0);
            if (step.verb == "io")
                k.ioRefused = n.toInt();
            else if (step.verb == "arm")
                k.ioInstructions = false;
            else if (step.verb == "parport")
                k.parport(n.toInt(), step.words.mid(1).join(QLatin1Char('\t')).toLatin1());
            else if (step.verb == "device")
                k.devices.insert("/dev/parport" + n.toLatin1(), step.word(1).toInt());
            else if (step.verb == "root")
                k.root = true;
            else if (step.verb == "ioports")
                k.files.insert("/proc/ioports", "0000-0cf7 : PCI Bus 0000:00\n  0378-037a : parport0\n");
            else if (step.verb == "unplugged")
                k.statusErrno = ENODEV;
            else if (step.verb == "held")
                k.files.insert("/proc/sys/dev/parport/parport0/devices/active", "lp0\n");
        };
        std::for_each(all.begin(), later, setUp);
        const auto port = makeInputSource(c.spec, k);
        QCOMPARE(!port, c.inputs == "refused");
        std::for_each(later, all.end(), setUp);
        // A claim is made on a thread of its own: the first reads may find it under way.
        InputReading read = port ? (*port)->read() : failure(port.error());
        for (QDeadlineTimer limit(60000); read && read->isEmpty() && !limit.hasExpired(); QTest::qWait(10))
            read = (*port)->read();
        if (c.kernel.contains(" 25"))   // never opened: opening some nodes acts on its own
            QCOMPARE(k.opened, QList<QByteArray> {});
        // The state now (the last sample: a port sampled before this read also gives what it saw).
        QCOMPARE(written(read).section(',', -1), c.inputs == "refused" ? QString("x") : c.inputs);
        QVERIFY2(read.error().contains(c.says), qPrintable(read.error()));
        if (c.kernel.contains("held"))   // a claim would block inside ppdev, holding up the holder too
            QCOMPARE(k.claimAttempts.load(), 0);
    }

    // A claim that takes longer than the window waits is tried again at the next tick;
    // only one pending for seconds (a print job holding the port) is reported as busy.
    void slowClaimIsNotBusyHeldOneIs()
    {
        FakeKernel &k = newKernel();
        k.devices.insert("/dev/parport0", 0);
        k.claimGate.acquire(1000);
        auto port = std::move(*makePpdevPort(
            k, "/dev/parport0", {std::chrono::milliseconds(5), std::chrono::milliseconds(2000)}));
        QCOMPARE(written(port->read()), QString("wait"));
        QCOMPARE(written(port->read()), QString("wait"));
        QString said;
        QTRY_VERIFY_WITH_TIMEOUT(!(said = port->read().error()).isEmpty(), 30000);
        QVERIFY2(said.contains("occupata"), qPrintable(said));
        k.claimGate.release(1000);
        QTRY_COMPARE(written(port->read()), QString("0000"));
        QCOMPARE(k.claimed.load(), 1);
        port.reset();
        QCOMPARE(k.claimed.load(), 0);   // released on the way out: another program can claim it at once
    }

    // A port that fails while open (unplugged, taken away) is let go and opened again at
    // the next read: it is read again once it is back, with no restart.
    void readAgainAfterFailingWhileOpen()
    {
        FakeKernel &k = newKernel();
        k.devices.insert("/dev/parport0", 0);
        auto port = std::move(
            *makePpdevPort(k, "/dev/parport0", {std::chrono::seconds(60), std::chrono::seconds(60)}));
        QCOMPARE(written(port->read()), QString("0000"));
        k.statusErrno = ENODEV;
        QVERIFY(!port->read());
        k.statusErrno = 0;
        k.status = 0x38;
        QCOMPARE(written(port->read()), QString("1000"));
        QCOMPARE(k.opened.size(), 2);
    }

    // The wiring, through the file port: each input is a pin pulled to ground (active low),
    // but Busy, which the port inverts. The file is read anew each time; a bad one is said,
    // naming it.
    void filePortReadsEveryTimeAndNeverBlocks()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("p");
        auto port = std::move(*makeFilePort(path));
        const InputReading none = port->read();   // no file yet: what to do, with the path
        QVERIFY2(none.error().contains("echo 0x78 > " + path), qPrintable(none.error()));
        const std::pair<QByteArray, QString> texts[] = {
            {"0x78\n", "0000"},    {"0x38", "1000"},
            {" 248 \r\n", "0100"}, {"0x58", "0010"},
            {"0x68", "0001"},      {"0x00", "1011"},
            {"0xB8", "1100"},      {"256", "x"},
            {"12x", "x"},          {"99999999999999999999", "x"},
            {"", "wait"},          {" \n", "wait"}};   // emptied by echo, not written yet
        for (const auto &[text, inputs] : texts) {
            wav::writeFile(path, text);
            const InputReading read = port->read();
            QCOMPARE(written(read), inputs);
            if (!read)
                QVERIFY2(read.error().contains(path), qPrintable(read.error()));
        }

        const QString fifo = dir.filePath("fifo");   // would block a plain open for ever: refused unopened
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const auto refused = makeInputSource("file:" + fifo);
        QVERIFY2(!refused && refused.error().contains("non è un file normale"), qPrintable(refused.error()));
    }
};

QTEST_GUILESS_MAIN(TestParallelPort)
#include "tst_parallelport.moc"
