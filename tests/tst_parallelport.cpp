#include "fakes.h"
#include "inputs/sourcechoice.h"
#include "inputs/sources/parallelport.h"
#include "inputs/sources/statusbyte.h"
#include "wavtools.h"

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
    int permitIo() override { return root ? -ioRefused : -EPERM; }
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

// The reading a status byte gives, by the wiring.
InputReading status(quint8 byte) { return std::optional(inputsFromStatus(byte)); }

// Kernels outlive the claim threads that may still be using them when a test ends.
FakeKernel &newKernel()
{
    static std::list<FakeKernel> kernels;
    return kernels.emplace_back();
}

}   // namespace

class TestParallelPort : public QObject {
    Q_OBJECT
private slots:
    // What each spec reads, or says, on kernels set up as users meet them.
    void choosesAndExplains_data()
    {
        QTest::addColumn<QString>("spec");
        // p<N>=<base-addr>, d<N>=<errno on open>, root, io=<errno for root>, ioports, unplugged;
        // after "later", what changes once Velmora has started
        QTest::addColumn<QString>("kernel");
        QTest::addColumn<int>("status");   // -1: a failure whose text holds `says`; -2: refused at start
        QTest::addColumn<QString>("says");
        QTest::newRow("auto: ppdev port at 888, ECP form") << "auto"
                                                           << "p0=888 1912|d0=0" << 0x78 << "";
        QTest::newRow("auto: '888\\t0' as QEMU gives it") << "auto"
                                                          << "p0=888\t0|d0=0" << 0x78 << "";
        QTest::newRow("auto: the one at 888, not the first")
            << "auto"
            << "p0=632 0|p1=888 0|d0=0|d1=0|root" << 0x78 << "";
        QTest::newRow("auto: no access, group lp") << "auto"
                                                   << "p0=888 0|d0=13" << -1 << "gruppo lp";
        QTest::newRow("auto: ppdev not loaded, user") << "auto"
                                                      << "p0=888 0" << -1 << "modprobe ppdev";
        QTest::newRow("auto: ppdev not loaded, root: direct I/O") << "auto"
                                                                  << "p0=888 0|root" << 0x58 << "";
        QTest::newRow("auto: no parport module, root: I/O if shown") << "auto"
                                                                     << "ioports|root" << 0x58 << "";
        QTest::newRow("auto: nothing at all") << "auto"
                                              << "root" << -1 << "parport_pc";
        QTest::newRow("device: missing") << "/dev/parport3"
                                         << "" << -1 << "non esiste";
        QTest::newRow("device: ENXIO") << "/dev/parport0"
                                       << "d0=6" << -1 << "modprobe ppdev";
        QTest::newRow("device: unplugged while open") << "/dev/parport0"
                                                      << "d0=0|unplugged" << -1 << "non esiste";
        QTest::newRow("device: held by another driver, not claimed") << "/dev/parport0"
                                                                     << "d0=0|held" << -1 << "occupata";
        QTest::newRow("device: another kind of node, refused at start")
            << "/dev/parport0"
            << "d0=25" << -2 << "non è una porta parallela";
        QTest::newRow("device: another kind appears later, not opened")
            << "/dev/parport0"
            << "later|d0=25" << -1 << "non è una porta parallela";
        QTest::newRow("io: user") << "io"
                                  << "ioports" << -1 << "serve root";
        QTest::newRow("io: root") << "io"
                                  << "root" << 0x58 << "";
        QTest::newRow("io: root, kernel locked down") << "io"
                                                      << "root|io=1" << -1 << "anche a root";
        QTest::newRow("io: no I/O instructions") << "io"
                                                 << "root|io=38" << -1 << "non disponibile su questo sistema";
    }
    void choosesAndExplains()
    {
        QFETCH(QString, spec);
        QFETCH(QString, kernel);
        QFETCH(int, status);
        QFETCH(QString, says);
        FakeKernel &k = newKernel();
        const QStringList items = kernel.split('|', Qt::SkipEmptyParts);
        const qsizetype later = items.contains("later") ? items.indexOf("later") : items.size();
        auto setUp = [&k](const QString &item) {
            if (item.startsWith("io="))
                k.ioRefused = item.mid(3).toInt();
            else if (item.startsWith('p'))
                k.parport(item.mid(1, 1).toInt(), item.mid(3).replace(' ', '\t').toLatin1());
            else if (item.startsWith('d'))
                k.devices.insert("/dev/parport" + item.mid(1, 1).toLatin1(), item.mid(3).toInt());
            else if (item == "root")
                k.root = true;
            else if (item == "ioports")
                k.files.insert("/proc/ioports", "0000-0cf7 : PCI Bus 0000:00\n  0378-037a : parport0\n");
            else if (item == "unplugged")
                k.statusErrno = ENODEV;
            else if (item == "held")
                k.files.insert("/proc/sys/dev/parport/parport0/devices/active", "lp0\n");
        };
        for (const QString &item : items.first(later))
            setUp(item);
        const auto port = makeInputSource(spec, k);
        QCOMPARE(!port, status == -2);
        for (const QString &item : items.mid(later + 1))
            setUp(item);
        const InputReading read = port ? (*port)->read() : failure(port.error());
        if (kernel.contains("=25"))   // never opened: opening some nodes acts on its own
            QCOMPARE(k.opened, QList<QByteArray> {});
        QCOMPARE(read, status < 0 ? InputReading(failure(read.error())) : ::status(quint8(status)));
        QVERIFY2(read.error().contains(says), qPrintable(read.error()));
        if (kernel.contains("held"))   // a claim would block inside ppdev, holding up the holder too
            QCOMPARE(k.claimAttempts.load(), 0);
    }

    // A claim that takes longer than the window waits is tried again at the next tick;
    // only one pending for seconds (a print job holding the port) is reported as busy.
    void slowClaimIsNotBusyHeldOneIs()
    {
        FakeKernel &k = newKernel();
        k.devices.insert("/dev/parport0", 0);
        k.claimGate.acquire(1000);
        auto port = std::move(*makePpdevPort(k, "/dev/parport0",
                                             {std::chrono::milliseconds(5), std::chrono::milliseconds(300)}));
        QCOMPARE(port->read(), notYet());
        QCOMPARE(port->read(), notYet());
        QTest::qWait(350);
        const InputReading busy = port->read();
        QVERIFY2(busy.error().contains("occupata"), qPrintable(busy.error()));
        k.claimGate.release(1000);
        QTRY_COMPARE(port->read(), status(0x78));
        QCOMPARE(k.claimed.load(), 1);
        port.reset();
        QCOMPARE(k.claimed.load(), 0);   // released on the way out: another program can claim it at once
    }

    // auto looks again after a failure, so loading ppdev while Velmora runs is enough.
    void moduleLoadedLaterIsFound()
    {
        FakeKernel &k = newKernel();
        k.parport(0, "888\t0");
        auto port = makeAutoPort(k);
        QVERIFY(port->read().error().contains("modprobe ppdev"));
        k.devices.insert("/dev/parport0", 0);
        QCOMPARE(port->read(), status(0x78));
    }

    void filePortReadsEveryTimeAndNeverBlocks()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("p");
        auto port = std::move(
            *makeInputSource("file:" + path));   // read anew each time: -1 says why, naming the file
        QVERIFY(!port->read());                  // no file yet
        const std::pair<QByteArray, int> texts[] = {
            {"0x00\n", 0}, {" 248 \r\n", 0xF8}, {"256", -1}, {"12x", -1}, {"99999999999999999999", -1}};
        for (const auto &[text, status] : texts) {
            wav::writeFile(path, text);
            const InputReading read = port->read();
            QVERIFY2(status < 0 ? read.error().contains(path) : read == ::status(quint8(status)),
                     text.constData());
        }

        const QString fifo = dir.filePath("fifo");   // would block a plain open for ever: refused unopened
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const auto refused = makeInputSource("file:" + fifo);
        QVERIFY2(!refused && refused.error().contains("non è un file normale"), qPrintable(refused.error()));
    }
};

QTEST_GUILESS_MAIN(TestParallelPort)
#include "tst_parallelport.moc"
